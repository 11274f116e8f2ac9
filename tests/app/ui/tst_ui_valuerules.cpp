#include "FakePrompts.h"
#include "Keyboard.h"
#include "ModalAnswerer.h"
#include "PortHolders.h"
#include "TestSupport.h"
#include "app/FirmwareProfile.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/MapTableWidget.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_SETUP.h"
#include "app/ui/VEK_cfg_carte_fille.h"
#include "base/MainSettingsLoader.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageDescription.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ui/PackageEditorServices.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <functional>

using namespace ValueRules;

// Every value of the table of value rules, brought in by every path its row
// lists, each through that path's real entry (keys into the box, the file
// read by the program's loader): the same text must leave the same value and
// the same reason on every path. A path listed without a driver here fails.
class TestUiValueRules : public QObject
{
    Q_OBJECT

    // What a path left: the value as the program then holds it, and what it said.
    struct Left {
        QString held;
        QString message;
    };
    using Driver = std::function<Left(const QString &text)>;

    QTemporaryDir dir_;
    LinkedPty programmerPort_; // a port the programmer set-up takes
    std::unique_ptr<VEK_Accueil> w_;
    std::unique_ptr<MainWindowCurveFiles> files_;

    // The warnings the main window showed, closed.
    QString warnings()
    {
        QStringList texts;
        for (QMessageBox *box : w_->findChildren<QMessageBox *>("Warning")) {
            texts << box->text();
            box->close();
            delete box;
        }
        return texts.join('\n');
    }

    Left typeInto(QWidget *page, const QString &box, const QString &text, const QString *held)
    {
        w_->SSTab1()->setCurrentWidget(page);
        if (!Keyboard::focus(w_->findChild<QLineEdit *>(box)))
            return {"no focus", {}};
        Keyboard::retype(text);
        Keyboard::press(Qt::Key_Tab);
        return {*held, warnings()};
    }

    Left openCurve(const QByteArray &lines, const std::function<QString()> &held)
    {
        const QString path = dir_.filePath("values.vek");
        TestSupport::writeFile(path, lines);
        ModalAnswerer answers({});
        files_->commands().OpenFile(path);
        return {held(), answers.texts.join('\n')};
    }

    Left openCurveV2(const QString &key, const QString &text, const std::function<QString()> &held)
    {
        return openCurve("#VEKP_COURBE 2\r\n" + key.toLatin1() + "=" + text.toUtf8() +
                             "\r\n#TABLE=1000;10;8\r\n",
                         held);
    }

    // Thresholds: the channel and the action word of each threshold's value.
    struct Channel {
        int n;
        int action;
        const char *word;
    };
    static Channel channelOf(Value v)
    {
        return v == Value::ThresholdRpm     ? Channel{4, 1, "REGIME"}
               : v == Value::ThresholdBoost ? Channel{5, 2, "BOOST"}
                                            : Channel{3, 3, "SEQUENTIEL"};
    }

    // The threshold a channel holds before: one its rule takes.
    static int32_t firstThreshold(Value v) { return int32_t(Declared(v).nearestTaken(0)); }

    Left typedThreshold(Value v, const QString &text)
    {
        const Channel c = channelOf(v);
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[c.n] = {uint8_t(c.action), firstThreshold(v)};
        VEK_cfg_carte_fille dialog(ctx);
        QStringList refused;
        connect(&dialog, &VEK_cfg_carte_fille::refused, this,
                [&](const QString &m) { refused << m; });
        if (!Keyboard::focus(dialog.SeuilTOR(c.n)))
            return {"no focus", {}};
        Keyboard::retype(text);
        QTest::mouseClick(dialog.findChild<QPushButton *>("BP_OK"), Qt::LeftButton);
        return {QString::number(ctx.optionBoard.VoiesTOR[c.n].Seuil), refused.join('\n')};
    }

    Left typedPercentCell(const QString &text)
    {
        w_->SSTab1()->setCurrentIndex(0);
        QTableWidget *cells = w_->findChild<MapTableWidget *>()->talbMapAdj();
        cells->item(0, 2)->setText("50");
        if (!Keyboard::focus(cells))
            return {"no focus", {}};
        cells->setCurrentCell(0, 2);
        // The first key opens the cell's editor; an empty text is typed as its
        // erasing, which opens it too.
        if (text.isEmpty()) {
            Keyboard::press(Qt::Key_F2);
            Keyboard::retype(text);
        } else {
            for (const QChar c : text)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
        Keyboard::press(Qt::Key_Return);
        // The editor hands its text back once the key is done: the focus comes
        // back to the table, or goes to the warning of a refusal.
        if (!QTest::qWaitFor([&] {
                return QApplication::focusWidget() == cells ||
                       w_->findChild<QMessageBox *>("Warning");
            }))
            return {"editor left open", {}};
        return {cells->item(0, 2)->text(), warnings()};
    }

    // The settings file holding the text under `key` ("ICSP/ICSP_Delay"), loaded.
    using Held = std::function<QString(const MainSettings &)>;
    Left storedSetting(const QString &key, const QString &text, const Held &held)
    {
        const QString path = dir_.filePath("settings.ini");
        QFile::remove(path);
        QSettings store(path, QSettings::IniFormat);
        store.setValue(key, text);
        store.sync();
        MainSettings s;
        MainSettingsLoader loader(store);
        loader.Load(s);
        return {held(s), listMessage(loader.RefusedValues())};
    }
    static Held field(QString MainSettings::*held)
    {
        return [held](const MainSettings &s) { return s.*held; };
    }
    template <typename N> static Held number(N MainSettings::*held)
    {
        return [held](const MainSettings &s) { return QString::number(s.*held); };
    }
    // The live link's port as the configuration dialog stores it.
    static QString livePort(const MainSettings &s)
    {
        return s.portNumber ? QString::number(s.portNumber) : s.portDevice;
    }
    // The settings file's key of each value of its own, and what the
    // settings hold of it.
    static std::optional<std::pair<QString, Held>> settingsKey(Value v)
    {
        using S = MainSettings;
        static const QMap<Value, std::pair<QString, Held>> keys = {
            {Value::CurveLines, {"ICSP/ICSP_NBTABLES", field(&S::ICSPNbTables)}},
            {Value::CodeStart, {"ICSP/ICSP_HEXADD", field(&S::ICSPHEXADD)}},
            {Value::CodeLength, {"ICSP/ICSP_HEXLNG", field(&S::ICSPHEXLNG)}},
            {Value::TableAddress, {"ICSP/ICSP_HTAB_L2", field(&S::ICSPHTAB_L2)}},
            {Value::Port, {"ICSP/ICSP_Port", field(&S::ICSPPort)}},
            {Value::ProgrammerDelay, {"ICSP/ICSP_Delay", field(&S::ICSPDELAY)}},
            {Value::WriteAttempts, {"ICSP/ICSP_NbWrite", number(&S::ICSPNBWRT)}},
            {Value::CompilationType, {"Compilation/TypeCompilation", number(&S::TypeCompilation)}},
            {Value::SerialPort, {"Config/newport", livePort}},
            {Value::SerialSettings, {"Config/com$", field(&S::serialSettings)}},
            {Value::ChartType, {"Config/TypeCourbe", number(&S::TypeCourbe)}},
            {Value::LanguageFile, {"Config/Language", field(&S::Language)}},
            {Value::Handshaking, {"Config/Handshaking", number(&S::Handshaking)}},
            {Value::BoxType, {"ICSP/ICSP_Boitier", number(&S::ICSPBoitier)}},
            {Value::OutputPin, {"ICSP/ICSP_Broche_MCLR", number(&S::ICSPPINMCLR)}},
            {Value::InputPin, {"ICSP/ICSP_Broche_DATAR", number(&S::ICSPPINDATAR)}}};
        if (!keys.contains(v))
            return std::nullopt;
        return keys.value(v);
    }

    // Typed into the configuration dialog's port box, then OK.
    Left typedInConfiguration(const QString &text)
    {
        LinkedPty pty;
        NumberedPorts ports; // every numbered port there: the rule alone decides
        for (int n = 0; n < 255; ++n)
            ports.link(QStringLiteral("ttyS%1").arg(n), pty.device);
        VekContext context;
        context.settings = w_->settings();
        VEK_SETUP dialog(context);
        QSettings store(dir_.filePath("configuration.ini"), QSettings::IniFormat);
        dialog.setSettingsStore(&store);
        QStringList said;
        dialog.setWarningSink([&said](const QString &t) { said << t; });
        dialog.otherPort()->click(); // nothing typed is then no port chosen
        if (!Keyboard::focus(dialog.otherPortDevice()))
            return {"no focus", {}};
        Keyboard::retype(text);
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
        return {livePort(context.settings), said.join('\n')};
    }

    // A package: what the main window holds of each value once it is applied.
    struct PackagePlace {
        Value value;
        const char *key;
        const char *box;
        const char *tick; // the check box that shows the box and fixes the value
    };
    static const PackagePlace *packagePlace(Value v)
    {
        static const PackagePlace places[] = {
            {Value::StaticAdvance, "VAL_AVSTAT", "Av_Statique", "FrameAvStatique"},
            {Value::CylinderCount, "VAL_NBCYL", "Nbre_Cylindre", "FrameNbrCyl"},
            {Value::PackageRevLimit, "LIMITE_RUPTEUR", "Limite_Rupteur", nullptr},
            {Value::CurveLines, "NB_COURBES", nullptr, nullptr},
            {Value::CodeStart, "HEX_ADD", "HEXADD", nullptr},
            {Value::CodeLength, "HEX_LNG", "HEXLNG", nullptr},
            {Value::TableAddress, "ADD_TABLE_HAUTE_L2", "ADDH8_2", nullptr}};
        for (const PackagePlace &p : places)
            if (p.value == v)
                return &p;
        return nullptr;
    }
    QString heldOfPackage(Value v, const std::function<QString(const QString &)> &reglage)
    {
        const FirmwareProfile p = PackageProfile(reglage);
        const auto or_ = [](const std::optional<QString> &t, const QString &kept) {
            return t ? *t : kept;
        };
        switch (v) {
        case Value::StaticAdvance:
            return or_(p.AvStatiqueText, w_->context().moteur.Txt_av_statique);
        case Value::CylinderCount:
            return or_(p.NbCylindresText, w_->control<QComboBox>("NbCylindres")->currentText());
        case Value::PackageRevLimit:
            return QString::number(p.LimiteRupteur);
        case Value::CurveLines:
            return p.ICSPNbTables;
        case Value::CodeStart:
            return p.ICSPHEXADD;
        case Value::TableAddress:
            return p.tableAddresses[5];
        default:
            return p.ICSPHEXLNG;
        }
    }
    // What the main window holds of the value now.
    QString heldNow(Value v)
    {
        const MainSettings &s = w_->settings();
        switch (v) {
        case Value::StaticAdvance:
            return w_->context().moteur.Txt_av_statique;
        case Value::CylinderCount:
            return w_->control<QComboBox>("NbCylindres")->currentText();
        case Value::PackageRevLimit:
            return QString::number(s.LimiteRupteur);
        case Value::CurveLines:
            return s.ICSPNbTables;
        case Value::CodeStart:
            return s.ICSPHEXADD;
        case Value::TableAddress:
            return s.ICSPHTAB_L2;
        default:
            return s.ICSPHEXLNG;
        }
    }
    // A package shapes the window: the next path starts in a window of its own.
    void freeSetting()
    {
        files_.reset();
        w_ = std::make_unique<VEK_Accueil>();
        w_->Form_Load(false);
        files_ = std::make_unique<MainWindowCurveFiles>(*w_);
        w_->show();
        // The start's notes (on the package an earlier path left) come over
        // the window once it is up: they speak of other texts.
        TestSupport::settle();
        for (QMessageBox *box : w_->findChildren<QMessageBox *>())
            delete box;
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }

    // The firmware file a package is made of, chosen in an editor.
    void chooseFirmware(QWidget &editor, FakePrompts &prompts)
    {
        const QString hex = dir_.filePath("firmware.hex");
        TestSupport::writeFile(hex, ":020000000028D6\r\n:00000001FF\r\n");
        prompts.files = {hex};
        QTest::mouseClick(editor.findChild<QPushButton *>("BP_SelectFile"), Qt::LeftButton);
    }

    // Typed into a package editor (of a package, or of an update for the
    // package's name), created: the value the package then gives.
    template <typename Editor> Left typedInEditor(Value v, const QString &text)
    {
        const PackagePlace *place = packagePlace(v);
        FakePrompts prompts;
        Editor editor(w_->context(), PackageEditorServices::standard(w_->context()), nullptr,
                      &prompts);
        QDialog &dialog = editor;
        QFile::remove(VEK_Gestion_OS::DossierPaquets() + "VR.XOS");
        chooseFirmware(dialog, prompts);
        dialog.findChild<QLineEdit *>("TxtNomFichier")->setText("VR");
        if (place && place->tick)
            QTest::mouseClick(dialog.findChild<QCheckBox *>(place->tick), Qt::LeftButton);
        if (v == Value::TableAddress) // a first set: the second is then read
            dialog.findChild<QLineEdit *>("ADDL8_1")->setText("300");
        if (!Keyboard::focus(dialog.findChild<QLineEdit *>(place ? place->box : "TxtNomFichier")))
            return {"no focus", {}};
        Keyboard::retype(text);
        QTest::mouseClick(dialog.findChild<QPushButton *>("BP_OK"), Qt::LeftButton);
        QStringList said;
        for (const auto &m : prompts.messages)
            if (m.icon != QMessageBox::Information)
                said << m.text;
        const bool created = dialog.result() == QDialog::Accepted;
        if (v == Value::PackageName)
            return {created ? editor.takenName() : QString(), said.join('\n')};
        if (!created)
            return {heldNow(v), said.join('\n')};
        const QString nfo = dir_.filePath("OS.NFO");
        PackageArchive::unpack(VEK_Gestion_OS::DossierPaquets() + "VR.XOS", {{nfo, "OS.NFO"}});
        return {
            heldOfPackage(
                v, [&](const QString &k) { return VEK_LANGUAGE::ReadIniValue(nfo, "REGLAGE", k); }),
            said.join('\n')};
    }

    // A package holding the text, chosen in the firmware list.
    Left chosenInTheList(Value v, const QString &text)
    {
        const PackagePlace *place = packagePlace(v);
        PackageDescription d;
        d.setInfo("NomDuFichier", "VR");
        d.setReglage("NB_COURBES", "8");
        if (place->tick)
            d.setReglage(v == Value::StaticAdvance ? "FIX_AVSTAT" : "FIX_NBCYL", "OUI");
        if (v == Value::TableAddress) // a first set: the second is then read
            d.setReglage("ADD_TABLE_BASSE_L1", "300");
        d.setReglage(place->key, text);
        const QString said = chooseInTheList(d);
        const QString held = heldNow(v);
        freeSetting();
        return {held, said};
    }

    // The package "VR.XOS" of description `d` chosen in the firmware list:
    // what the window said of it.
    QString chooseInTheList(const PackageDescription &d)
    {
        const QString nfo = dir_.filePath("OS.NFO");
        d.write(nfo);
        QFile::remove(VEK_Gestion_OS::DossierPaquets() + "VR.XOS");
        QDir().mkpath(VEK_Gestion_OS::DossierPaquets());
        PackageArchive::build(VEK_Gestion_OS::DossierPaquets() + "VR.XOS", {{nfo, "OS.NFO"}});
        for (QMessageBox *box : w_->findChildren<QMessageBox *>())
            delete box; // what came before speaks of other texts
        QComboBox *list = w_->TypeVersionOS();
        if (list->findText("VR.XOS") < 0)
            list->addItem("VR.XOS");
        list->setCurrentIndex(list->findText("VR.XOS"));
        w_->TypeVersionOS_Click();
        QStringList said;
        for (const char *name : {"FirmwareError", "FirmwareNotes"})
            for (QMessageBox *box : w_->findChildren<QMessageBox *>(name)) {
                said << box->text();
                delete box;
            }
        return said.join('\n');
    }

    // A package whose description names it by the text, chosen in the firmware list.
    Left pickedInTheList(const QString &text)
    {
        PackageDescription d;
        d.setInfo("NomDuFichier", text);
        const QString said = chooseInTheList(d);
        const QString held = w_->TypeVersionOS()->currentText() == "VR.XOS"
                                 ? VEK_Gestion_OS::LireInfoOS("NomDuFichier")
                                 : QString();
        freeSetting();
        return {held, said};
    }

    // A project whose package has the text as its name.
    Left openedProject(const QString &text)
    {
        PackageDescription d;
        d.setInfo("NomDuFichier", text);
        d.setReglage("NB_COURBES", "8");
        const QString nfo = dir_.filePath("OS.NFO");
        const QString curve = dir_.filePath("COURBE.VEK");
        d.write(nfo);
        TestSupport::writeFile(curve, "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n");
        const QString project = dir_.filePath("vr.xsc");
        PackageArchive::build(project, {{nfo, "OS.NFO"}, {curve, "COURBE.VEK"}});
        ModalAnswerer answers({});
        files_->commands().OpenFile(project);
        QString held;
        if (answers.texts.isEmpty() && w_->TypeVersionOS()->currentIndex() > 0)
            held = w_->TypeVersionOS()->currentText().chopped(4);
        freeSetting();
        return {held, answers.texts.join('\n')};
    }

    // Typed into a box of the programmer set-up, then OK: what the settings
    // then hold. Where the areas may lie for a chip is a rule of its own
    // (tst_ui_setupicsp): the set-up runs here without it.
    Left typedInSetup(Value v, const QString &text)
    {
        static const QMap<Value, std::pair<const char *, Held>> boxes = {
            {Value::CodeStart, {"HEXADD", field(&MainSettings::ICSPHEXADD)}},
            {Value::CodeLength, {"HEXLNG", field(&MainSettings::ICSPHEXLNG)}},
            {Value::TableAddress, {"ADDH8", field(&MainSettings::ICSPHTAB_L1)}},
            {Value::WriteAttempts, {"ICSP_NbWrite", number(&MainSettings::ICSPNBWRT)}}};
        const auto [box, held] = boxes.value(v);
        VekContext context;
        context.settings = w_->settings();
        context.settings.ICSPPort = programmerPort_.device;
        context.settings.ICSPBoitier = 2;
        VEK_SETUP_ICSP setup(context);
        QSettings store(dir_.filePath("setup.ini"), QSettings::IniFormat);
        setup.setSettingsStore(&store);
        QStringList said;
        setup.setWarningSink([&said](const QString &t) { said << t; });
        setup.show();
        setup.SSTab1->setCurrentIndex(1);
        if (!Keyboard::focus(setup.findChild<QWidget *>(box)))
            return {"no focus", {}};
        Keyboard::retype(text);
        QTest::mouseClick(setup.OKButton, Qt::LeftButton);
        return {held(context.settings), said.join('\n')};
    }

    // The driver of `path` for `value`; none when this test cannot drive it.
    Driver driver(Value value, Path path)
    {
        if (path == Path::PackageEditor && (packagePlace(value) || value == Value::PackageName))
            return [=, this](const QString &t) { return typedInEditor<VEK_New_OS>(value, t); };
        if (path == Path::PackageDescription && packagePlace(value))
            return [=, this](const QString &t) { return chosenInTheList(value, t); };
        if (path == Path::Project && value == Value::PackageName)
            return [this](const QString &t) { return openedProject(t); };
        if (path == Path::PackageDescription && value == Value::PackageName)
            return [this](const QString &t) { return pickedInTheList(t); };
        if (path == Path::UpdateEditor && value == Value::PackageName)
            return [this](const QString &t) {
                return typedInEditor<VEK_New_MJ>(Value::PackageName, t);
            };
        if (path == Path::SetupDialog &&
            (value == Value::CodeStart || value == Value::CodeLength ||
             value == Value::TableAddress || value == Value::WriteAttempts))
            return [=, this](const QString &t) { return typedInSetup(value, t); };
        if (path == Path::SetupDialog && value == Value::SerialPort)
            return [this](const QString &t) { return typedInConfiguration(t); };
        if (const auto stored = settingsKey(value); path == Path::SettingsFile && stored)
            return [this, stored](const QString &t) {
                return storedSetting(stored->first, t, stored->second);
            };
        EngineParameters &m = w_->context().moteur;
        QWidget *parameters = w_->findChild<QWidget *>("PageParametres");
        QWidget *map = w_->findChild<QWidget *>("PageMapping");
        struct Engine {
            Value value;
            const char *box;
            const char *key;
            QString *held;
        };
        const Engine engine[] = {
            {Value::StaticAdvance, "Txt_av_statique", "#AVANCE STATIQUE", &m.Txt_av_statique},
            {Value::RevLimit, "Txt_rpm_maxi", "#MAXI RPM", &m.Txt_rpm_maxi},
            {Value::Dwell, "TxtDwell", "#DWELL T", &m.TxtDwell},
            {Value::KnockRetardDuration, "TxtDureeRetardCliquetis", "#CLIQUETIS TEMPS",
             &m.TxtDureeRetardCliquetis}};
        for (const Engine &e : engine) {
            if (e.value != value)
                continue;
            if (path == Path::TypedBox)
                return
                    [=, this](const QString &t) { return typeInto(parameters, e.box, t, e.held); };
            if (path == Path::CurveFileV2)
                return [=, this](const QString &t) {
                    return openCurveV2(e.key, t, [=] { return *e.held; });
                };
            if (path == Path::CurveFileV1 &&
                (e.value == Value::StaticAdvance || e.value == Value::RevLimit)) {
                const bool first = e.value == Value::StaticAdvance;
                return [=, this](const QString &t) {
                    const QByteArray v = t.toUtf8() + ";\r\n";
                    return openCurve("#VEKP_COURBE\r\n" + (first ? v : "45.0;\r\n") +
                                         (first ? "6650;\r\n" : v) + "0;\r\n900;5;6;\r\n",
                                     [=] { return *e.held; });
                };
            }
        }
        if (path == Path::CurveFileV2 && value == Value::LowRpmAdvance)
            return [=, this](const QString &t) {
                return openCurveV2("#AVANCE BAS REGIME", t,
                                   [&m] { return QString::number(m.CmbAvanceBasRegime); });
            };
        if (path == Path::CurveFileV2 && value == Value::KnockAdvance)
            return [=, this](const QString &t) {
                return openCurveV2("#CLIQUETIS AVANCE", t,
                                   [&m] { return QString::number(m.CmbCliquetis / 2.0); });
            };
        if (value == Value::MapPercentage && path == Path::TypedBox)
            return [=, this](const QString &t) {
                w_->context().mapBoxes.tbMapAdj[1] = "50";
                w_->findChild<QLineEdit *>("tbMapAdj1")->setText("50");
                return typeInto(map, "tbMapAdj1", t, &w_->context().mapBoxes.tbMapAdj[1]);
            };
        if (value == Value::MapPercentage && path == Path::GridCell)
            return [this](const QString &t) { return typedPercentCell(t); };
        if (value == Value::MapPressureBand && path == Path::TypedBox)
            return [=, this](const QString &t) {
                return typeInto(map, "tbMap2", t, &w_->context().mapBoxes.tbMap[2]);
            };
        const bool threshold = value == Value::ThresholdRpm || value == Value::ThresholdBoost ||
                               value == Value::ThresholdSequential;
        if (threshold && path == Path::TypedBox)
            return [=, this](const QString &t) { return typedThreshold(value, t); };
        if (threshold && path == Path::CurveFileV2)
            return [=, this](const QString &t) {
                const Channel c = channelOf(value);
                VoieTOR &voie = w_->context().optionBoard.VoiesTOR[c.n];
                voie = {uint8_t(c.action), firstThreshold(value)};
                const QString key = QString("#TOR-%1 ").arg(c.n);
                return openCurve("#VEKP_COURBE 2\r\n" + key.toLatin1() + "TYPE=" + c.word + "\r\n" +
                                     key.toLatin1() + "VALEUR=" + t.toUtf8() +
                                     "\r\n#TABLE=1000;10;8\r\n",
                                 [&voie] { return QString::number(voie.Seuil); });
            };
        return {};
    }

    // The same value, whatever its form: numbers compared as numbers.
    static QString sameForm(const Declaration &d, const QString &held)
    {
        const std::optional<QString> number = DecimalNumberText(held);
        if (d.reading == Reading::Text || !number)
            return held.trimmed();
        return QString::number(NombreEnTete(*number), 'g', 15);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        TestSupport::useFrenchTexts();
        // The packages and temporary files of an earlier run would shape the window.
        QDir(VEK_Gestion_OS::DossierProgramme()).removeRecursively();
        w_ = std::make_unique<VEK_Accueil>();
        w_->Form_Load(false);
        files_ = std::make_unique<MainWindowCurveFiles>(*w_);
        w_->show();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }

    void cleanupTestCase()
    {
        files_.reset();
        w_.reset();
        QDir(VEK_Gestion_OS::DossierProgramme()).removeRecursively();
    }

    void everyPathOfEveryValue_data()
    {
        QTest::addColumn<int>("value");
        int row = 0;
        for (const Declaration &d : Table())
            if (TestSupport::inShard(row++))
                QTest::addRow("%d %s", int(d.id), d.nameKey) << int(d.id);
    }

    void everyPathOfEveryValue()
    {
        QFETCH(int, value);
        const Declaration &d = Declared(Value(value));
        const QString mid = numberText(d, d.onQuantum((d.lowest + d.highest) / 2));
        // Beside the hostile texts, numbers in forms of their own: a file's
        // is listed with what it became, a box's taken silently.
        const QStringList texts{"12,5", "12.5", "abc",  "",         "   ", "-5", "99999",
                                "+07",  "3",    "2.50", "7000 rpm", "1e3", mid};
        for (const QString &text : texts) {
            QString firstHeld;
            QString firstPath;
            for (const Path path : d.paths) {
                const QString pathName = QString("%1 by path %2").arg(d.nameKey).arg(int(path));
                const Driver drive = driver(d.id, path);
                QVERIFY2(drive, qPrintable(pathName + " has no driver in this test"));
                files_->startNewCurve();
                warnings();
                const Left left = drive(text);
                const QString where = pathName + ", \"" + text + "\": ";
                // The same value on every path.
                const QString held = sameForm(d, left.held);
                if (firstPath.isEmpty()) {
                    firstHeld = held;
                    firstPath = pathName;
                }
                QVERIFY2(held == firstHeld,
                         qPrintable(where + held + " where " + firstPath + " holds " + firstHeld));
                // The same reason for a refusal, whichever path; a file also
                // lists a value it reads otherwise than written.
                const Outcome inFile = read(d.id, text, Source::inFile(path, "f", 1));
                const bool fromFile = path != Path::TypedBox && path != Path::GridCell &&
                                      path != Path::PackageEditor && path != Path::UpdateEditor &&
                                      path != Path::SetupDialog;
                const Outcome expected = fromFile ? inFile : read(d.id, text, Source::box());
                if (expected.listed())
                    QVERIFY2(left.message.contains(expected.reason),
                             qPrintable(where + "said \"" + left.message + "\", not \"" +
                                        expected.reason + "\""));
                else
                    QVERIFY2(left.message.isEmpty(), qPrintable(where + left.message));
            }
        }
    }
};

VEK_TEST_MAIN_ON_SCREEN(TestUiValueRules, 1024, 768)
#include "tst_ui_valuerules.moc"
