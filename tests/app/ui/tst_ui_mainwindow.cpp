#include "DialogAnswers.h"
#include "FileDialogAnswer.h"
#include "Keyboard.h"
#include "MainWindowRig.h"
#include "ModalAnswer.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "TestSupport.h"
#include "app/CurveTables.h"
#include "app/ui/EngineParametersPanel.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_SETUP.h"
#include "app/ui/VEK_about.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

// Stands in for the desktop's mail program.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QUrl url;
public slots:
    void open(const QUrl &u) { url = u; }
};

using TestSupport::row;

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir store_;

    static QString caption(VEK_Accueil &w, const char *name)
    {
        QWidget *widget = w.control<QWidget>(name);
        if (auto *group = qobject_cast<QGroupBox *>(widget))
            return group->title();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            return button->text();
        return qobject_cast<QLabel *>(widget)->text();
    }

    QString storeFile() const { return MainSettingsLoader::OpenStore()->fileName(); }

private slots:
    void initTestCase()
    {
        MainWindowRig::keepSettingsIn(store_.path());
        QVERIFY(storeFile().startsWith(store_.path()));
    }

    void init()
    {
        QFile::remove(storeFile());
        VEK_LANGUAGE::SetFichierLangue(QString());
    }

    void firstRunGivesTheDefaults()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        const MainSettings &s = w.settings();
        QCOMPARE(s.portNumber, 1);
        QCOMPARE(s.serialSettings, QString("9600,N,8,1"));
        QCOMPARE(s.TypeCourbe, 16);
        QCOMPARE(s.TypeCompilation, int16_t(8));
        QCOMPARE(s.ICSPBoitier, int16_t(0)); // the free setting's own default, applied last
        QCOMPARE(s.ICSPHEXLNG, QString("400"));
        QCOMPARE(int(s.ICSPPINMCLR), 5);
        QCOMPARE(int(s.ICSPPINCLOCK), 3);
        QCOMPARE(int(s.ICSPPINDATA), 2);
        QCOMPARE(int(s.ICSPPINDATAR), 10);
        QVERIFY(!s.CourbeModifie);
        QCOMPARE(int(s.VersionModule), 3);
        QCOMPARE(VEK_LANGUAGE::FichierLangue(), QString("francais.ini"));
        QCOMPARE(caption(w, "bp_new"), QString("Nouveau"));
        QCOMPARE(w.SSTab1()->tabText(0), QString("Paramètres"));
        QCOMPARE(w.SSTab1()->tabText(4), QString("Real Time"));
        QCOMPARE(w.SSTab1()->currentIndex(), 0);

        QCOMPARE(w.statusPanel(1), QString("COM1"));
        QCOMPARE(w.statusPanel(2), QString("9600,N,8,1"));
        QCOMPARE(w.statusPanel(3), QString("NOM :"));
        QCOMPARE(w.statusPanel(4), QString("LOCAL"));
        QCOMPARE(w.StatusBarCom()->objectName(), QString("StatusBarCom"));

        // Free setting only; the board list from the catalogue, first board applied.
        QCOMPARE(w.TypeVersionOS()->count(), 1);
        QCOMPARE(w.TypeVersionOS()->itemText(0), QString("Paramétrage Libre"));
        QVERIFY(w.TypeCarteOption()->isEnabled());
        QCOMPARE(w.TypeCarteOption()->count(), 3);
        QCOMPARE(w.context().optionBoard.CarteOptionId, QString("0"));
        QCOMPARE(w.context().optionBoard.CarteOptionNom, QString("Sans"));
        QVERIFY(!w.control<QPushButton>("BP_Parametres_carte_option")->isEnabled());

        // New: three columns, no point, the knock items and colour button hidden.
        QCOMPARE(w.tab_avance()->columnCount(), 3);
        QCOMPARE(w.tab_avance()->rowCount(), 0);
        QVERIFY(w.control<QWidget>("cmdGridColor")->isHidden());
        QVERIFY(w.control<QWidget>("txt_av_knock")->isHidden());
        QCOMPARE(w.L_Info()->text(), VEK_LANGUAGE::GetLanguageText("BPNewFileEnd"));
        QCOMPARE(w.control<QComboBox>("HardXLED")->currentText(), QString("RUPTEUR"));
        QCOMPARE(w.control<QComboBox>("CmbAvanceBasRegime")->currentText(), QString("11.0"));
    }

    void storedSettingsReachTheWindow()
    {
        {
            const auto store_ptr = MainSettingsLoader::OpenStore();
            QSettings &store = *store_ptr;
            store.setValue("Config/newport", "/dev/pts/4");
            store.setValue("Config/com$", "19200,N,8,1");
            store.setValue("Config/Language", "english.ini");
            store.setValue("ICSP/ICSP_Broche_MCLR", "300");
        }
        VEK_Accueil w;
        w.Form_Load(false);
        QCOMPARE(w.statusPanel(1), QString("/dev/pts/4"));
        QCOMPARE(w.statusPanel(2), QString("19200,N,8,1"));
        QCOMPARE(int(w.settings().ICSPPINMCLR), 5);
        QCOMPARE(caption(w, "bp_new"), QString("New"));
        // A stored value refused is named by its key once the window is up.
        w.show();
        const auto said = [&w] {
            QStringList texts;
            QList<QMessageBox *> boxes = w.findChildren<QMessageBox *>();
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(top))
                    boxes << box;
            for (QMessageBox *box : boxes)
                texts << box->text();
            return texts.join('\n');
        };
        QTRY_VERIFY2(said().contains("ICSP_Broche_MCLR: \"300\" is not accepted"),
                     qPrintable(said()));
    }

    // A language chosen in the configuration dialog reaches what the window
    // shows already, on the page it shows: the captions, the help text of the
    // button under the pointer and the new curve's title; a curve opened or
    // saved keeps its file's name as the title, and the last file saved gives it.
    void languageChangeRetranslatesWhatIsShown_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("opened");       // a curve file opened after New; empty: none
        QTest::addColumn<QString>("saved");        // the name it is then saved under; empty: none
        QTest::addColumn<QStringList>("captions"); // Quit, its tooltip, the tabs 1 and 4
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("title");
        const QString germanHelp = "Serielle Schnittstelle, Sprache und Diagrammart";
        const QStringList german{"Beenden", "Programm beenden", "Kurven", "Echtzeit"};
        row("French to German", QString("francais.ini"), QString("deutch.ini"), QString(),
            QString(), german, germanHelp, QString("VEK-Courbe - [ Neue Kurve ]"));
        row("Spanish to French", QString("spanish.ini"), QString("francais.ini"), QString(),
            QString(), QStringList{"Quitter", "Quitter le programme", "Courbes", "Real Time"},
            QString("Port série, langue et type de graphique"),
            QString("VEK-Courbe - [ Nouvelle courbe ]"));
        row("New, Open, to German", QString("francais.ini"), QString("deutch.ini"),
            QString("opened.vek"), QString(), german, germanHelp,
            QString("VEK-Courbe - [opened.vek]"));
        row("Open, Save as, to English", QString("francais.ini"), QString("english.ini"),
            QString("opened.vek"), QString("saved.vek"),
            QStringList{"Quit", "Quit the program", "Curves", "Real Time"},
            QString("Serial port, language and chart type"), QString("VEK-Courbe - [saved.vek]"));
    }

    void languageChangeRetranslatesWhatIsShown()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, opened);
        QFETCH(QString, saved);
        QFETCH(QStringList, captions);
        QFETCH(QString, help);
        QFETCH(QString, title);
        MainSettingsLoader::OpenStore()->setValue("Config/Language", from);
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        if (!opened.isEmpty()) {
            const QString path = store_.filePath(opened);
            QVERIFY(TestSupport::writeFile(path, "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n"));
            FileDialogAnswer open(path);
            QTest::mouseClick(w.control<QPushButton>("Ouvrir"), Qt::LeftButton);
            QVERIFY2(open.answered(), qPrintable(open.unexpected.join('\n')));
            QCOMPARE(w.windowTitle(), "VEK-Courbe - [" + opened + "]");
        }
        if (!saved.isEmpty()) {
            FileDialogAnswer save(store_.filePath(saved));
            QTest::mouseClick(w.control<QPushButton>("enregistrer"), Qt::LeftButton);
            QVERIFY2(save.answered(), qPrintable(save.unexpected.join('\n')));
            QVERIFY(QFile::exists(store_.filePath(saved)));
        }
        w.SSTab1()->setCurrentIndex(2);
        auto *config = w.control<QPushButton>("Config");
        const QString before = w.L_Info()->text();
        QTest::mouseMove(config, QPoint(5, 5));
        QTest::mouseMove(config, QPoint(8, 8));
        QVERIFY(!w.StatusBarCom()->currentMessage().isEmpty());
        QCOMPARE(w.L_Info()->text(), before); // help never covers what was done
        QTest::mouseClick(config, Qt::LeftButton);
        auto *dialog = qobject_cast<VEK_SETUP *>(QApplication::activeModalWidget());
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        QRadioButton *language = dialog->languageOption(to);
        QTest::mouseClick(language, Qt::LeftButton, {}, QPoint(6, language->height() / 2));
        QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
        QCOMPARE(w.settings().Language, to);
        QCOMPARE(w.SSTab1()->currentIndex(), 2);
        QCOMPARE((QStringList{caption(w, "Quit"), w.control<QWidget>("Quit")->toolTip(),
                              w.SSTab1()->tabText(1), w.SSTab1()->tabText(4)}),
                 captions);
        // Captions that take another's text take it in the new language.
        QCOMPARE(caption(w, "LabelDwell"), caption(w, "FrameDwell"));
        for (const char *name : {"LabelTERMINAL1", "LabeLREALTIME1"})
            QCOMPARE(caption(w, name), caption(w, "LabelMAPPING3D1"));
        QVERIFY(!caption(w, "LabelMAPPING3D2").isEmpty());
        // The help, as the pointer comes back over the button, in the new language.
        QTest::mouseMove(w.SSTab1(), QPoint(5, 5));
        QTest::mouseMove(config, QPoint(5, 5));
        QTest::mouseMove(config, QPoint(8, 8));
        QCOMPARE(w.StatusBarCom()->currentMessage(), help);
        QVERIFY(w.L_Info()->text() != help);
        QCOMPARE(w.windowTitle(), title);
    }

    // The help of the control under the pointer goes to the status bar, as
    // status tips do in a main window; the information line keeps its text.
    void pointerOverAControlShowsItsHelp()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        const QString info = w.L_Info()->text();
        const auto over = [&w](const char *name) {
            QWidget *control = w.control<QWidget>(name);
            QTest::mouseMove(control, QPoint(3, 3));
            QTest::mouseMove(control, QPoint(5, 5));
            return w.StatusBarCom()->currentMessage();
        };
        QCOMPARE(over("FrameHardware"), VEK_LANGUAGE::GetLanguageText("MMHardwareXLEDControl"));
        w.SSTab1()->setCurrentIndex(1); // the curve page
        QCOMPARE(over("BP_INC"), VEK_LANGUAGE::GetLanguageText("BPINCMM"));
        w.SSTab1()->setCurrentIndex(3); // the terminal page
        QCOMPARE(over("BP_Erraseterm"), VEK_LANGUAGE::GetLanguageText("TermAideEffacer"));
        // The programming button has no help text: none shows over it.
        QCOMPARE(over("BP_Bootloader"), QString());
        QCOMPARE(w.L_Info()->text(), info);
    }

    // Without a catalogue the list offers the boards of the window's design,
    // and a curve file naming one of them gets it back.
    void missingBoardCatalogueKeepsTheDesignBoards()
    {
        QTemporaryDir empty;
        VEK_Accueil w;
        w.context().catalogues = VEK_XML(empty.path());
        w.Form_Load(false);
        QComboBox *boards = w.TypeCarteOption();
        QVERIFY(boards->isEnabled());
        QCOMPARE(boards->count(), 3);
        QCOMPARE(boards->itemText(0), QString("Sans"));
        QCOMPARE(boards->itemText(1), QString("OPT_Q17"));
        QCOMPARE(boards->itemText(2), QString("OPT_Q29"));
        QCOMPARE(boards->currentIndex(), 0);

        const QString vek = empty.filePath("board.vek");
        QVERIFY(TestSupport::writeFile(vek, "#VEKP_COURBE 2\r\n#OPTION=OPT_Q29\r\n"
                                            "#TOR-1 VALEUR=300\r\n#TABLE=1000;10;8\r\n"));
        MainWindowCurveFiles files(w);
        files.commands().OpenFile(vek);
        QCOMPARE(boards->currentText(), QString("OPT_Q29"));
        QCOMPARE(w.context().optionBoard.CarteOptionNom, QString("OPT_Q29"));
        // No description to send: the tables say "no board" rather than carry
        // empty configuration bytes.
        QCOMPARE(w.context().optionBoard.CarteOptionId, QString("0"));
        struct NoQuestions : TableGenerationPrompts {
            bool askTruncation(const QString &, const QString &) override { return false; }
            void showError(const QString &, const QString &) override {}
        } prompts;
        FirmwareTable low;
        QCOMPARE(TableGenerator(CurveTables::EnTete(w.context()), prompts)
                     .GenereLTAB8(low, CurveTables::Grille(w.context()), 45, 1),
                 int16_t(0));
        QCOMPARE(QStringList({low[22], low[23], low[24]}), QStringList({"3400", "34FF", "3406"}));
        QCOMPARE(w.context().optionBoard.VoiesTOR[1].Seuil, 300);
        QVERIFY(files.currentCurve().toVek().contains("#OPTION=OPT_Q29\r\n"));
        QVERIFY(!w.L_Info()->text().isEmpty());
        auto *warning = w.findChild<QWidget *>("Warning");
        QVERIFY(warning);
        QVERIFY(qobject_cast<QLabel *>(warning->findChild<QLabel *>("qt_msgbox_label"))
                    ->text()
                    .contains("carte_option.xml"));
    }

    void aboutBoxWaitsForOk()
    {
        MainSettings settings;
        VEK_about box(settings);
        box.show();
        QVERIFY(!box.findChild<QWidget *>("OK")->isHidden());
        QSignalSpy ticks(box.findChild<QTimer *>("Timer1"), &QTimer::timeout);
        QTRY_VERIFY(ticks.size() >= 2); // where the splash closes, on the first
        QVERIFY(box.isVisible());
        QVERIFY(box.findChild<QLabel *>("LabelRevision")->text() ==
                "Version : 2.0.0 Révision 01 du 07/12/2007");
        QVERIFY(box.findChild<QLabel *>("LabelMEM")->text().endsWith(" Mo"));
        QVERIFY(box.findChild<QLabel *>("LabelWIN")->text().size() > QString("System : ").size());
        for (const char *name : {"BP_LoadDRV", "BP_RemoveDRV", "BP_StartDRV", "BP_StopDRV",
                                 "BP_PauseDRV", "BP_StatusDRV"})
            QVERIFY(box.findChild<QPushButton *>(name));
        box.findChild<QPushButton *>("OK")->click();
        QVERIFY(!box.isVisible());
    }

    // A double-click as the window system delivers it: press, release, press
    // (the double-click), release.
    static void doubleClick(QWidget *widget)
    {
        QWidget *window = widget->window();
        const QPoint at = widget->mapTo(window, widget->rect().center());
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at);
    }

    void sidePanelGesture()
    {
        MainSettings settings;
        VEK_about box(settings);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int narrow = box.width();
        auto *picture1 = box.findChild<QWidget *>("Picture1");
        auto *picture2 = box.findChild<QWidget *>("Picture2");

        doubleClick(picture2);
        QVERIFY(!box.panelOpen());
        QCOMPARE(box.width(), narrow);

        doubleClick(picture1);
        QVERIFY(box.armed());
        doubleClick(picture2);
        QVERIFY(box.panelOpen()); // the release ending the double-click does not close it
        QVERIFY(!box.armed());
        QCOMPARE(box.width(), narrow + VEK_about::kPanelWidth);

        QTest::mouseClick(picture2, Qt::LeftButton);
        QVERIFY(!box.panelOpen());
        QCOMPARE(box.width(), narrow);
        // Once closed, the whole gesture is needed again.
        doubleClick(picture2);
        QVERIFY(!box.panelOpen());
    }

    // Quit on a modified curve asks first, from its button or the window's
    // close box: No keeps the window, and its label no longer says that the
    // program is closing; Yes closes it.
    void quitAsksAboutAModifiedCurve()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        QTest::mouseMove(w.L_Info()); // over no help text, once the question goes
        w.settings().CourbeModifie = true;
        const QString question =
            "La courbe a été modifiée et n'est pas enregistrée.\nAbandonner les modifications ?";
        QString asked, shown;
        {
            const ModalAnswer no([&](QWidget *modal) {
                shown = w.L_Info()->text();
                MainWindowRig::press(QMessageBox::No, &asked)(modal);
            });
            QTest::mouseClick(w.control<QPushButton>("Quit"), Qt::LeftButton);
        }
        QVERIFY(w.isVisible());
        QVERIFY(w.settings().CourbeModifie);
        QCOMPARE(asked, question);
        QCOMPARE(shown, QString("Fin du programme..."));
        QCOMPARE(w.L_Info()->text(), QString());
        DialogAnswers yes({}, {QMessageBox::Yes});
        w.close(); // the window's close box
        QCOMPARE(yes.texts, QStringList{question});
        QVERIFY(!w.isVisible());
    }

    void secondNewAsksAndCancelKeepsTheCurve()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        w.context().tab_avance.appendRow({"1000", "10", "8"});
        QString asked;
        {
            const ModalAnswer cancel(MainWindowRig::press(QMessageBox::Cancel, &asked));
            w.bp_new_Click();
        }
        QCOMPARE(asked, "La courbe actuelle sera perdue. Commencer une nouvelle courbe ?");
        QCOMPARE(w.tab_avance()->rowCount(), 1);
        QCOMPARE(w.L_Info()->text(), "Prêt.");

        const ModalAnswer ok(MainWindowRig::press(QMessageBox::Ok));
        w.settings().CourbeModifie = true;
        w.bp_new_Click();
        QVERIFY(ok.answered());
        QCOMPARE(w.tab_avance()->rowCount(), 0);
        QVERIFY(!w.settings().CourbeModifie);
    }

    // A shown window destroyed while the focus is in an engine box, holding a
    // text it would refuse: the pages go first, while the context they write
    // into is whole, and a window that is going refuses nothing.
    void destroyedWithTheFocusInAnEngineBox()
    {
        auto w = std::make_unique<VEK_Accueil>();
        w->Form_Load(false);
        auto *panel = w->findChild<EngineParametersPanel *>("EngineParameters");
        QVERIFY(panel);
        QSignalSpy refused(panel, &EngineParametersPanel::refused);
        QVERIFY(Keyboard::focus(w->control<QLineEdit>("TxtDwell")));
        Keyboard::retype("2,7x");
        w.reset();
        QCOMPARE(refused.count(), 0);
    }

    // A fresh install: Compilation, Programmer, Configuration, OK without
    // touching anything. Under "AUTO" no chip is chosen yet, so the set-up
    // cannot hold the defaults to some chip's memory: it takes and saves them.
    void freshSetupTakesItsOwnDefaults()
    {
        // COM1 is a pseudo-terminal here, never the machine's own port.
        LinkedPty pty;
        NumberedPorts ports;
        QVERIFY(ports.link("ttyS0", pty.device));
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        QStringList refusals;
        bool saved = false;
        ModalAnswer assembly([&](QWidget *asmWindow) {
            ModalAnswer programmer([&](QWidget *icsp) {
                QTRY_VERIFY(icsp->findChild<QPushButton *>("BP_Config")->isEnabled());
                ModalAnswer setup([&](QWidget *dialog) {
                    QCOMPARE(dialog->objectName(), QString("VEK_SETUP_ICSP"));
                    // A refusal would come up as a box over the dialog.
                    ModalAnswer refusal([&refusals](QWidget *box) {
                        refusals << qobject_cast<QMessageBox *>(box)->text();
                    });
                    QVERIFY(Mouse::click(dialog->findChild<QPushButton *>("OKButton")));
                    saved = !dialog->isVisible();
                });
                QVERIFY(Mouse::click(icsp->findChild<QPushButton *>("BP_Config")));
                QVERIFY(setup.answered());
            });
            QVERIFY(Mouse::click(asmWindow->findChild<QPushButton *>("BP_ICSP")));
            QVERIFY(programmer.answered());
        });
        QVERIFY(Mouse::click(w.control<QPushButton>("BP_Compilation")));
        QVERIFY(assembly.answered());
        QVERIFY2(refusals.isEmpty(), qPrintable(refusals.join("\n")));
        QVERIFY(saved);
        QSettings store(storeFile(), QSettings::IniFormat);
        QCOMPARE(store.value("ICSP/ICSP_Chip").toString(), QString("AUTO"));
        QCOMPARE(store.value("ICSP/ICSP_LTAB_L1").toString(), QString("300"));
        QCOMPARE(store.value("ICSP/ICSP_Port").toString(), QString("COM1"));
    }

    void contactLinksOpenThroughTheDesktop()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("mailto", &catcher, "open");
        MainSettings settings;
        VEK_about box(settings);
        box.show();
        QTest::mouseClick(box.findChild<QWidget *>("Label2"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(catcher.url, QUrl(QString("mailto:") + VEK_about::kMailAddress2));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_ui_mainwindow.moc"
