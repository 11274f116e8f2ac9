#include "FailingWrites.h"
#include "FakePrompts.h"
#include "GeneratedTables.h"
#include "Keyboard.h"
#include "ModalAnswer.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/VEK_Accueil.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ui/VEK_ASM.h"
#include "icsp/ChipTable.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using VEK_LANGUAGE::GetLanguageText;

using TestSupport::child;
using TestSupport::row;

class TestVekAsm : public QObject
{
    Q_OBJECT
    VekContext context;
    FakePrompts prompts;
    QTemporaryDir dir{QDir::tempPath() + "/vek asm ui XXXXXX"};
    int rows = 3;
    int buildResult = 0;
    QList<int> builtTypes;
    QStringList percentages{"0", "100", "50", "0", "0", "0", "0", "0", "0"};

    AsmCurveAccess curve()
    {
        AsmCurveAccess access;
        access.gridRows = [this] { return rows; };
        access.buildTables = [this](int type, TableIncludeFiles::TablesExport &t) {
            builtTypes << type;
            t = GeneratedTables::lineTables();
            return buildResult;
        };
        access.mapPercentages = [this] { return percentages; };
        return access;
    }

    QString out(const QString &name) const { return QDir(dir.path()).filePath(name); }

    // The percentages of two curve lines, for a window on the shared curve.
    static QStringList twoLines() { return {"0", "100"}; }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void init()
    {
        context.settings = MainSettings{};
        context.settings.ICSPNbTables = "2";
        prompts = FakePrompts{};
        prompts.folder = dir.path();
        rows = 3;
        buildResult = 0;
        builtTypes.clear();
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void loadTakesTheMainSettings()
    {
        context.settings.TypeCompilation = 16;
        context.settings.ICSPBoitier = 1;
        context.settings.CheminProjetAsm = "/p/vek.asm";
        context.settings.NomFichierLTAB8 = "L8.INC";
        VEK_ASM w(context, curve(), nullptr, &prompts);
        QCOMPARE(w.windowTitle(), GetLanguageText("FormCapt") + " VEKP V 3.9");
        QVERIFY(child<QRadioButton>(w, "Compilation16")->isChecked());
        QVERIFY(!child<QGroupBox>(w, "Frame2")->isEnabled());
        QCOMPARE(child<QLabel>(w, "CheminProjet")->text(), QString("/p/vek.asm"));
        QCOMPARE(child<QLineEdit>(w, "TABL8")->text(), QString("L8.INC"));
        QCOMPARE(child<QLineEdit>(w, "TABH16")->text(), QString("HTAB16_.TXT"));
        QCOMPARE(child<QPushButton>(w, "BP_MPASM")->text(), GetLanguageText("MBMPASM"));
        QCOMPARE(child<QPushButton>(w, "BP_Annuler")->text(), GetLanguageText("MAnnuler"));
        child<QRadioButton>(w, "Compilation88")->click();
        QCOMPARE(w.typeCompilation(), 88);
        QVERIFY(child<QGroupBox>(w, "Frame2")->isEnabled());
        // The export takes the type chosen in the window, saved only on quit.
        w.BP_ExportTables_Click();
        QCOMPARE(builtTypes, QList<int>{88});
        QCOMPARE(context.settings.TypeCompilation, int16_t(16));
    }

    void exportWritesEachLinesFilesUnderTheEightBitNames()
    {
        context.settings.TypeCompilation = 88;
        VEK_ASM w(context, curve(), nullptr, &prompts);
        child<QPushButton>(w, "BP_ExportTables")->click();
        QCOMPARE(builtTypes, QList<int>{88});
        for (const char *name : {"LTAB0.TXT", "HTAB0.TXT", "LTAB1.TXT", "HTAB1.TXT"})
            QVERIFY2(QFile::exists(out(name)), name);
        QVERIFY(!QFile::exists(out("LTAB16_0.TXT")));
        QVERIFY(TestSupport::readFile(out("LTAB1.TXT"))
                    .startsWith("         DW         0782,3421,3422,3423\r\n"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, GetLanguageText("MSGBAsmExportOk1"));

        // Eight lines, as many as the main window has percentage boxes for.
        context.settings.ICSPNbTables = "8";
        child<QPushButton>(w, "BP_ExportTables")->click();
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].text, GetLanguageText("MSGBAsmExportOk1"));
        QVERIFY(QFile::exists(out("LTAB7.TXT")) && QFile::exists(out("HTAB7.TXT")));
        QVERIFY(!QFile::exists(out("LTAB8.TXT")));
    }

    // The folder choice never opens in a folder that does not exist.
    void exportFolderChoiceStartsInAnExistingFolder()
    {
        // A home of the test's own, whose desktop folder does not exist yet.
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME")
                               : qputenv("XDG_CONFIG_HOME", oldConfig);
        });
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QVERIFY(desktop.startsWith(home.path()));
        QVERIFY(!QFileInfo::exists(desktop));
        VEK_ASM w(context, curve(), nullptr, &prompts);
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.folderStarts.size(), 1);
        QVERIFY2(QFileInfo(prompts.folderStarts.first()).isDir(),
                 qPrintable(prompts.folderStarts.first()));
        QDir().mkpath(desktop); // a desktop that exists is the place to start
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.folderStarts.last(), desktop);
    }

    // An export that cannot be made says why in one message; what is refused
    // before the folder is asked asks for none.
    void failedExportsSayWhy_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("folderAsked");
        QTest::addColumn<bool>("built"); // the tables were generated
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text"); // for a file that cannot be written, a part of it
        const auto text = [](const char *key) { return GetLanguageText(key); };
        const QString failed = text("MSGBAsmExportEr2");
        QTest::newRow("curve of one point")
            << "one point" << false << false << int(QMessageBox::Critical) << text("MSGBAsmExport3")
            << text("MSGBAsmExport1") + "\n" + text("MSGBAsmExport2");
        // The line counts the curve download and the table programming refuse.
        const QString lines = "Le nombre de courbes du firmware \"%1\" doit être de 1 à 8, une "
                              "case de pourcentage MAP par courbe : rien n'est écrit.";
        QTest::newRow("16 curves")
            << "16" << false << false << int(QMessageBox::Warning) << failed << lines.arg("16");
        QTest::newRow("9 curves") << "9" << false << false << int(QMessageBox::Warning) << failed
                                  << lines.arg("9");
        QTest::newRow("no curve") << "0" << false << false << int(QMessageBox::Warning) << failed
                                  << lines.arg("0");
        QTest::newRow("folder choice cancelled")
            << "no folder" << true << false << int(QMessageBox::Question) << failed
            << text("MSGBAsmExportEr1");
        QTest::newRow("generator stopped")
            << "generator" << true << true << int(QMessageBox::Question) << failed
            << text("MSGBAsmExportEr1");
        QTest::newRow("type 16") << "type 16" << true << false << int(QMessageBox::NoIcon)
                                 << text("MSGBAsm2") << text("MSGBAsm1");
        // Half-way: the user learns which files are whole, which older ones
        // stay as they were, and which were not made.
        QTest::newRow("file in the way")
            << "HTAB0.TXT" << true << true << int(QMessageBox::Critical) << failed
            << "HTAB0.TXT : c'est un dossier\nFichiers écrits en entier : LTAB0.TXT\n"
               "Fichiers laissés tels qu'ils étaient : HTAB0.TXT\n"
               "Fichiers non créés : LTAB1.TXT, HTAB1.TXT";
        QTest::newRow("disk fills over one older file")
            << "disk fills, one older" << true << true << int(QMessageBox::Critical) << failed
            << "LTAB0.TXT : fichier trop grand pour le système\n"
               "Fichiers laissés tels qu'ils étaient : LTAB0.TXT\n"
               "Fichiers non créés : HTAB0.TXT, LTAB1.TXT, HTAB1.TXT";
        // The older files stay as they were and no success is said.
        QTest::newRow("disk fills")
            << "disk fills" << true << true << int(QMessageBox::Critical) << failed
            << "LTAB0.TXT : fichier trop grand pour le système\n"
               "Fichiers laissés tels qu'ils étaient : LTAB0.TXT, HTAB0.TXT, LTAB1.TXT, "
               "HTAB1.TXT";
    }

    void failedExportsSayWhy()
    {
        QFETCH(QString, change);
        QFETCH(bool, folderAsked);
        QFETCH(bool, built);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(QString, text);
        rows = change == "one point" ? 2 : 3;
        if (change == "16" || change == "9" || change == "0")
            context.settings.ICSPNbTables = change;
        if (change == "no folder")
            prompts.folder.clear();
        buildResult = change == "generator" ? -1 : 0;
        if (change == "type 16")
            context.settings.TypeCompilation = 16;
        if (change == "HTAB0.TXT")
            QVERIFY(QDir(dir.path()).mkdir("HTAB0.TXT")); // a folder where the file goes
        const bool fills = change.startsWith("disk fills");
        const QStringList older =
            change == "disk fills" ? QStringList{"LTAB0.TXT", "HTAB0.TXT", "LTAB1.TXT", "HTAB1.TXT"}
                                   : QStringList{"LTAB0.TXT"};
        if (fills)
            for (const QString &name : older)
                QVERIFY(TestSupport::writeFile(out(name), name.toLatin1()));
        VEK_ASM w(context, curve(), nullptr, &prompts);
        {
            std::optional<FailingWrites> full;
            if (fills)
                full.emplace(64);
            w.BP_ExportTables_Click();
        }
        QCOMPARE(prompts.folderAsks, folderAsked ? 1 : 0);
        QCOMPARE(builtTypes.isEmpty(), !built);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(int(prompts.messages[0].icon), icon);
        QCOMPARE(prompts.messages[0].title, title);
        if (change == "HTAB0.TXT" || fills) {
            QVERIFY2(prompts.messages[0].text.endsWith(text), qPrintable(prompts.messages[0].text));
            QVERIFY(child<QLabel>(w, "L_Info")->text().endsWith(text));
            if (fills)
                for (const QString &name : older)
                    QCOMPARE(TestSupport::readFile(out(name)), name.toLatin1());
        } else {
            QCOMPARE(prompts.messages[0].text, text);
            QVERIFY(QDir(dir.path()).isEmpty());
        }
    }

    // Names typed that cannot name the export's files are refused before the
    // folder is asked, naming the box: nothing is built or written.
    void unusableNamesExportNothing_data()
    {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("refusal");
        const QString nothing = ". Rien n'est exporté.";
        row("low name empty", "", "HTAB.TXT",
            "TableBasse : nom de fichier «  » refusé : aucun nom n'est donné" + nothing);
        row("high name of blanks", "LTAB.TXT", "   ",
            "TableHaute : nom de fichier «     » refusé : aucun nom n'est donné" + nothing);
        row("a folder", "tables/LTAB.TXT", "HTAB.TXT",
            "TableBasse : nom de fichier « tables/LTAB.TXT » refusé : un nom de fichier ne peut "
            "pas contenir « / » (ni aucun de / \\ : * ? \" < > |)" +
                nothing);
        row("a wildcard", "LTAB.TXT", "H*.TXT",
            "TableHaute : nom de fichier « H*.TXT » refusé : un nom de fichier ne peut pas "
            "contenir « * » (ni aucun de / \\ : * ? \" < > |)" +
                nothing);
        row("a device's name", "CON.TXT", "HTAB.TXT",
            "TableBasse : nom de fichier « CON.TXT » refusé : c'est le nom d'un périphérique "
            "(CON, PRN, AUX, NUL, COM1…, LPT1…) sur d'autres systèmes" +
                nothing);
        row("ended by a dot", "LTAB.TXT", "HTAB.",
            "TableHaute : nom de fichier « HTAB. » refusé : un nom de fichier ne peut ni "
            "commencer par un blanc ni finir par un blanc ou un point" +
                nothing);
        row("one name for both", "T.TXT", "T.TXT",
            "Le fichier « T0.TXT » serait écrit deux fois par l'exportation (noms de la table "
            "basse « T.TXT » et de la table haute « T.TXT ») : donnez deux noms qui ne se "
            "recouvrent pas" +
                nothing);
        row("names differing by case", "ltab.txt", "LTAB.TXT",
            "Le fichier « LTAB0.TXT » serait écrit deux fois par l'exportation (noms de la table "
            "basse « ltab.txt » et de la table haute « LTAB.TXT ») : donnez deux noms qui ne se "
            "recouvrent pas" +
                nothing);
    }

    void unusableNamesExportNothing()
    {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, refusal);
        VEK_ASM w(context, curve(), nullptr, &prompts);
        for (const auto &[box, name] : {std::pair{"TABL8", low}, std::pair{"TABH8", high}}) {
            QVERIFY(Keyboard::focus(child<QLineEdit>(w, box)));
            Keyboard::retype(name);
        }
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_ExportTables")));
        QCOMPARE(prompts.folderAsks, 0);
        QVERIFY(builtTypes.isEmpty());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, refusal);
        QCOMPARE(child<QLabel>(w, "L_Info")->text(), refusal);
        QVERIFY(QDir(dir.path()).isEmpty());
        // The writing itself takes the same rule.
        TableIncludeFiles::ExportRequest request;
        request.folder = dir.path();
        request.nomBasse = low;
        request.nomHaute = high;
        request.lineCount = 2;
        request.percentages = percentages;
        request.tables = GeneratedTables::lineTables();
        const TableIncludeFiles::ExportResult written = TableIncludeFiles::Exporter(request);
        QCOMPARE(written.status, TableIncludeFiles::ExportResult::BadNames);
        QCOMPARE(written.error, refusal);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void quitSavesTheCompilationSettingsAndCancelDoesNot()
    {
        QSettings store(out("settings.ini"), QSettings::IniFormat);
        {
            VEK_ASM w(context, curve(), nullptr, &prompts);
            w.setSettingsStore(&store);
            child<QRadioButton>(w, "Compilation88")->click();
            child<QLineEdit>(w, "TABL8")->setText("BASSE.INC");
            child<QPushButton>(w, "BP_Annuler")->click();
            QCOMPARE(w.result(), int(QDialog::Rejected));
        }
        QCOMPARE(context.settings.TypeCompilation, int16_t(8));
        QCOMPARE(context.settings.NomFichierLTAB8, QString("LTAB.TXT"));
        QVERIFY(!store.contains("Compilation/TypeCompilation"));

        VEK_ASM w(context, curve(), nullptr, &prompts);
        w.setSettingsStore(&store);
        child<QRadioButton>(w, "Compilation88")->click();
        child<QLineEdit>(w, "TABH16")->setText("H16.INC");
        child<QPushButton>(w, "BP_Quitter")->click();
        QCOMPARE(context.settings.TypeCompilation, int16_t(88));
        QCOMPARE(context.settings.NomFichierHTAB16, QString("H16.INC"));
        QCOMPARE(store.value("Compilation/TypeCompilation").toString(), QString("88"));
        QCOMPARE(store.value("Compilation/NomFichierHTAB16").toString(), QString("H16.INC"));
        QCOMPARE(store.value("Compilation/NomFichierLTAB8").toString(), QString("LTAB.TXT"));
    }

    // Settings the disk refuses are not taken for saved: the window says so once.
    void quitSaysOnceWhenTheSettingsCannotBeSaved()
    {
        QSettings store(out("settings.ini"), QSettings::IniFormat);
        VEK_ASM w(context, curve(), nullptr, &prompts);
        w.setSettingsStore(&store);
        child<QLineEdit>(w, "TABH16")->setText("H16.INC");
        {
            const FailingWrites full(16);
            child<QPushButton>(w, "BP_Quitter")->click();
        }
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, "Les réglages n'ont pas pu être enregistrés dans " +
                                               out("settings.ini") +
                                               " : fichier trop grand pour le système.");
        QVERIFY(!QFile::exists(out("settings.ini"))); // no settings file cut short
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    void projectChoiceEditorAndAssemblerRun()
    {
        const QString project = out("my firmware.asm");
        QVERIFY(TestSupport::writeFile(project, "        list p=16F84A\nstart   goto START\n"
                                                "        end\n"));
        VEK_ASM w(context, curve(), nullptr, &prompts);
        prompts.files = {QString()};
        w.BP_Modifier_Click(); // cancelled: nothing changes
        QCOMPARE(context.settings.CheminProjetAsm, QString());
        prompts.files = {project};
        w.BP_Modifier_Click();
        QCOMPARE(context.settings.CheminProjetAsm, project);
        QCOMPARE(child<QLabel>(w, "CheminProjet")->text(), project);

        child<QPushButton>(w, "BP_EditProg")->click();
        QCOMPARE(prompts.opened, QStringList{project});

        QSignalSpy done(&w, &VEK_ASM::assemblerDone);
        child<QPushButton>(w, "BP_MPASM")->click();
        QVERIFY(!child<QPushButton>(w, "BP_MPASM")->isEnabled());
        QVERIFY(done.wait(60000));
        QVERIFY(child<QPushButton>(w, "BP_MPASM")->isEnabled());
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(child<QLabel>(w, "L_Info")->text(),
                 "Assemblage réussi : " + out("my firmware.hex"));
        // The outputs beside the project, and nothing else of the run.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"my firmware.asm", "my firmware.cod", "my firmware.hex",
                              "my firmware.lst"}));
        QCOMPARE(QDir(QDir::tempPath()).entryList({"vek-asm-*"}, QDir::Dirs), QStringList());
    }

    // Each operation starts from a fresh status: an export cancelled after an
    // assembly or an export says no more that they succeeded, a refusal
    // corrected is no longer shown, and a window opened again says nothing.
    void statusStartsFreshForEachOperation()
    {
        const QString project = out("fresh.asm");
        QVERIFY(TestSupport::writeFile(project, "        list p=16F84A\n        end\n"));
        context.settings.CheminProjetAsm = project;
        auto w = std::make_unique<VEK_ASM>(context, curve(), nullptr, &prompts);
        auto *info = child<QLabel>(*w, "L_Info");
        auto *exportButton = child<QPushButton>(*w, "BP_ExportTables");
        QSignalSpy done(w.get(), &VEK_ASM::assemblerDone);
        QVERIFY(Mouse::click(child<QPushButton>(*w, "BP_MPASM")));
        QVERIFY(done.wait(60000));
        QVERIFY(info->text().contains("fresh.hex"));
        const QString notDone = GetLanguageText("MSGBAsmExportEr1");
        prompts.folder.clear(); // the folder choice cancelled
        QVERIFY(Mouse::click(exportButton));
        QCOMPARE(info->text(), notDone);
        QVERIFY(info->styleSheet().isEmpty()); // a cancel is no failure

        prompts.folder = dir.path();
        QVERIFY(Mouse::click(exportButton));
        QCOMPARE(info->text(), GetLanguageText("MSGBAsmExportOk1"));
        prompts.folder.clear();
        QVERIFY(Mouse::click(exportButton));
        QCOMPARE(info->text(), notDone);

        child<QLineEdit>(*w, "TABL8")->setText("LTAB?");
        QVERIFY(Mouse::click(exportButton));
        QVERIFY(info->text().contains("LTAB?"));
        QVERIFY(!info->styleSheet().isEmpty());
        child<QLineEdit>(*w, "TABL8")->setText("LTAB");
        QVERIFY(Mouse::click(exportButton));
        QCOMPARE(info->text(), notDone);
        QVERIFY(info->styleSheet().isEmpty());

        w.reset();
        context.tab_avance.setRows({{"1000", "10", "6"}, {"6000", "30", "20"}}, false);
        VEK_ASM again(context, curve(), nullptr, &prompts);
        QCOMPARE(child<QLabel>(again, "L_Info")->text(), QString());
    }

    void assemblerErrorsAndMissingAssemblerAreShown()
    {
        const QString project = out("bad.asm");
        QVERIFY(TestSupport::writeFile(project, "        list p=16F84A\n        nosuchop 1\n"
                                                "        end\n"));
        context.settings.CheminProjetAsm = project;
        VEK_ASM w(context, curve(), nullptr, &prompts);
        QSignalSpy done(&w, &VEK_ASM::assemblerDone);
        w.BP_MPASM_Click();
        QVERIFY(done.wait(60000));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Critical);
        QVERIFY(prompts.messages[0].text.contains("bad.asm:2:Error["));
        QVERIFY(child<QLabel>(w, "L_Info")->text().contains("bad.asm:2:Error["));

        w.assembler().setProgram("vek-no-such-assembler");
        w.BP_MPASM_Click();
        QVERIFY(done.wait(60000));
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(prompts.messages[1].text.contains("gputils"));
    }

    // The assembler's outputs reach the project's folder only whole and through
    // the program's writer: when gpasm's own writes are cut short (a full disk
    // while it runs), when the writer's fail (the disk fills after), or when an
    // output is missing, the window names the file and the reason, then what
    // gpasm said, and the project's older files stay byte for byte.
    void outputsThatCannotBePutAreSaid_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("says"); // %1: the listing, %2: the HEX file
        const QString kept = "\nL'assemblage n'est pas mis en place : les fichiers du projet sont "
                             "gardés tels quels.";
        QTest::newRow("gpasm's writes cut")
            << "gpasm"
            << "La liste %1 produite par l'assembleur s'arrête avant son bilan des erreurs : "
               "elle est incomplète." +
                   kept;
        QTest::newRow("the writer's writes fail")
            << "writer"
            << "Le fichier %1 n'a pas pu être écrit : fichier trop grand pour le système." + kept;
        QTest::newRow("an output missing") << "missing"
                                           << "L'assembleur n'a pas produit le fichier %1." + kept +
                                                  "\ngpasm : « gpasm: cannot write the listing »";
    }

    void outputsThatCannotBePutAreSaid()
    {
        QFETCH(QString, fault);
        QFETCH(QString, says);
        QByteArray source = "        list p=16F84A\n        org 0\n";
        for (int i = 0; i < 300; ++i) // a listing past 4 KiB, a HEX file below
            source += "        nop\n";
        QVERIFY(TestSupport::writeFile(out("big.asm"), source + "        end\n"));
        const QMap<QString, QByteArray> older{{"big.lst", "OLD LISTING"},
                                              {"big.cod", QByteArray(512, '\0')},
                                              {"big.hex", ":00000001FF\r\n"}};
        for (auto f = older.begin(); f != older.end(); ++f)
            QVERIFY(TestSupport::writeFile(out(f.key()), f.value()));
        context.settings.CheminProjetAsm = out("big.asm");
        VEK_ASM w(context, curve(), nullptr, &prompts);
        if (fault == "missing") {
            // An assembler that ends well but writes nothing.
            QVERIFY(TestSupport::writeFile(out("fake-gpasm"),
                                           "#!/bin/sh\necho 'gpasm: cannot write the listing'\n"));
            QFile(out("fake-gpasm")).setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner);
            w.assembler().setProgram(out("fake-gpasm"));
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy done(&w, &VEK_ASM::assemblerDone);
        {
            // Inherited by gpasm when set before the click; else only the writer meets it.
            std::optional<FailingWrites> full;
            if (fault == "gpasm")
                full.emplace(4096);
            QVERIFY(Mouse::click(child<QPushButton>(w, "BP_MPASM")));
            if (fault == "writer")
                full.emplace(8);
            QVERIFY(done.wait(60000));
        }
        says = says.arg(out("big.lst"), out("big.hex"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(prompts.messages[0].text, says);
        QCOMPARE(child<QLabel>(w, "L_Info")->text(), says.section('\n', 0, 0));
        TestSupport::keepScreenshot(w.grab(), "VEK_ASM_outputs_" + fault + ".png");
        for (auto f = older.begin(); f != older.end(); ++f)
            QCOMPARE(TestSupport::readFile(out(f.key())), f.value());
        // The scratch folder goes with the run.
        QCOMPARE(QDir(QDir::tempPath()).entryList({"vek-asm-*"}, QDir::Dirs), QStringList());
    }

    void exportFromTheSharedCurveThroughTheGenerators()
    {
        context.tab_avance.setRows({{"1000", "10", "6"}, {"6000", "30", "20"}}, false);
        context.moteur.Txt_av_statique = "40";
        VEK_ASM w(context, std::function<QStringList()>(twoLines), nullptr, &prompts);
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, GetLanguageText("MSGBAsmExportOk1"));
        const QByteArray low0 = TestSupport::readFile(out("LTAB0.TXT"));
        QVERIFY(low0.startsWith("         DW         0782,"));
        QVERIFY(low0 != TestSupport::readFile(out("LTAB1.TXT"))); // atmospheric, then boost

        // A truncation refused in the generators ends the export with the failure message.
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        context.moteur.Txt_av_statique = "5";
        prompts.messages.clear();
        prompts.answer = QMessageBox::No;
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(prompts.messages[1].text, GetLanguageText("MSGBAsmExportEr1"));
        QVERIFY(QDir(dir.path()).isEmpty());

        context.tab_avance.setRows({{"1000", "10", "6"}}, false);
        prompts.messages.clear();
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.messages[0].title, GetLanguageText("MSGBAsmExport3"));
    }

    // A curve with cells that are not numbers, out of range or out of order
    // never becomes tables: the export names the rows and writes nothing.
    void unusableCurveIsRefusedWithTheRowsNamed()
    {
        context.tab_avance.setRows(
            {{"1000", "10", "6"}, {"3000", "24,5", "20"}, {"6000", "30", "20"}}, false);
        VEK_ASM w(context, std::function<QStringList()>(twoLines), nullptr, &prompts);
        w.BP_ExportTables_Click();
        QCOMPARE(prompts.folderAsks, 0);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(prompts.messages[0].text, context.tab_avance.invalidValuesMessage());
        QVERIFY(prompts.messages[0].text.contains("24,5"));
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(w.findChild<QLabel *>("L_Info")->text() != GetLanguageText("MSGBAsmExportOk1"));
    }

    void programmerButtonOpensTheProgrammerWindow()
    {
        VEK_ASM w(context, curve(), nullptr, &prompts);
        QString shown;
        w.setShowModal([&shown](QDialog &dialog) {
            shown = dialog.objectName();
            return 0;
        });
        // Firmware a package editor imported for the chip in force stays to be
        // programmed; for another chip the window starts on a blank image.
        context.pic.setChip(*ChipTable::fixedChip("PIC-16F84"));
        context.pic.InitMemoire();
        context.pic.ImagePIC.setCodeWord(3, 0x1234);
        context.pic.HexFileName = "import.hex";
        w.BP_ICSP_Click();
        QCOMPARE(shown, QString("VEK_ICSP"));
        QCOMPARE(context.pic.HexFileName, QString("import.hex"));
        QCOMPARE(context.pic.ImagePIC.codeWord(3), uint16_t(0x1234));
        QVERIFY(prompts.messages.isEmpty());

        context.settings.ICSPChip = "PIC-16F628";
        w.BP_ICSP_Click();
        QCOMPARE(context.pic.DeviceChip, QString("16F628"));
        QVERIFY(context.pic.HexFileName.isEmpty());
        QCOMPARE(context.pic.ImagePIC.codeWord(3), uint16_t(0x3FFF));
    }

    void compilationButtonOpensTheAssemblyWindow()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        VEK_Gestion_OS::SetDossierProgramme(dir.path() + "/program/");
        VEK_Accueil main;
        main.Form_Load(false);
        QCOMPARE(main.TypeVersionOS()->findText("NEUF.XOS"), -1);
        QString shown;
        ModalAnswer answer([&shown](QWidget *modal) {
            auto *window = qobject_cast<VEK_ASM *>(modal);
            if (!window)
                return;
            shown = window->windowTitle();
            // As the package editors leave it: a new package in the folder.
            QDir().mkpath(VEK_Gestion_OS::DossierPaquets());
            TestSupport::writeFile(VEK_Gestion_OS::DossierPaquets() + "NEUF.XOS", "PK");
            window->findChild<QPushButton *>("BP_Annuler")->click();
        });
        main.BP_Compilation_Click();
        QVERIFY(shown.startsWith(GetLanguageText("FormCapt")));
        // The new package is offered at once; the choice in force stays, not re-applied.
        QVERIFY(main.TypeVersionOS()->findText("NEUF.XOS") > 0);
        QCOMPARE(main.TypeVersionOS()->currentIndex(), 0);
    }

    void screenshot()
    {
        context.settings.CheminProjetAsm = out("vek_mz300.asm");
        QVERIFY(TestSupport::writeFile(context.settings.CheminProjetAsm,
                                       "        list p=16F84A\n        include \"LTAB0.TXT\"\n"
                                       "        end\n"));
        VEK_ASM w(context, curve(), nullptr, &prompts);
        QSignalSpy done(&w, &VEK_ASM::assemblerDone);
        w.BP_MPASM_Click();
        QVERIFY(done.wait(60000));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(TestSupport::screenshotPath("vek_asm.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestVekAsm)
#include "tst_ui_vekasm.moc"
