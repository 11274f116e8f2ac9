// The main window, its dialogs, the assembly window and the package editors in
// each of the five languages, through what the suite drives in them (a start
// with refused settings, refusals, failures, the live link on the simulated
// module): every text they show reads in the chosen language.
#include "FakePrompts.h"
#include "LanguageGuard.h"
#include "MainWindowRig.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_about.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ui/PackageEditorServices.h"
#include "firmware/ui/VEK_ASM.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "live/TrameLive.h"
#include "live/ui/LivePage.h"
#include "platform/PortAccessService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <optional>

class TestOneLanguage : public QObject
{
    Q_OBJECT
    QTemporaryDir store_;
    QTemporaryDir program_;
    std::optional<ShownLog> log_;
    QStringList files_; // typed into the next file dialogs

    // Every box or dialog the windows open is read, then answered as a user
    // who does not go on would; a file dialog gets the next name of files_.
    void answerModals()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        log_->look(*modal);
        if (auto *files = qobject_cast<QFileDialog *>(modal); files && !files_.isEmpty()) {
            auto *name = files->findChild<QLineEdit *>("fileNameEdit");
            name->setFocus();
            name->clear();
            QTest::keyClicks(name, files_.takeFirst());
            static_cast<QDialog *>(files)->accept();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    void startIn(const QString &file)
    {
        log_.emplace(file);
        log_->addNames({"abc"}); // a value the test gives
        TestSupport::useTexts(file);
    }

private slots:
    void initTestCase()
    {
        MainWindowRig::keepSettingsIn(store_.path());
        VEK_Gestion_OS::SetDossierProgramme(program_.path() + '/');
        QDir().mkpath(VEK_Gestion_OS::DossierPaquets());
        TestSupport::writeFile(VEK_Gestion_OS::DossierPaquets() + "DAMAGED.XOS", "not a zip");
    }

    void cleanup() { TestSupport::useFrenchTexts(); }

    // The start with refused stored settings, every page, the dialogs, and
    // the operations that end in a refusal or a failure.
    void mainWindow_data() { TestSupport::addLanguageFileRows(); }

    void mainWindow()
    {
        QFETCH(QString, file);
        startIn(file);
        {
            const auto store = MainSettingsLoader::OpenStore();
            store->clear();
            store->setValue("Config/Language", file);
            store->setValue("ICSP/ICSP_Delay", "abc");
            store->setValue("ICSP/ICSP_NBTABLES", "9");
            store->setValue("ICSP/ICSP_HEXADD", "12345");
        }
        // The window is built in another language, as at a start before the
        // settings are read: every text it keeps must be made again in theirs.
        TestSupport::useTexts(file == "slovak.ini" ? "spanish.ini" : "slovak.ini");
        QTimer answering;
        connect(&answering, &QTimer::timeout, this, &TestOneLanguage::answerModals);
        answering.start(5);
        VEK_Accueil w;
        MainWindowCurveFiles files(w);
        w.Form_Load(true);
        w.show();
        QTRY_VERIFY(!w.findChild<QMessageBox *>("Warning")); // the start's box, answered
        QTRY_VERIFY(!w.findChild<VEK_about *>());            // and the splash
        for (int page = 0; page < w.SSTab1()->count(); ++page) {
            w.SSTab1()->setCurrentIndex(page);
            log_->look(w);
        }

        // Refusals and failures of the main window.
        w.control<QLineEdit>("Txt_av_statique")->setText("abc");
        QTest::keyClick(w.control<QLineEdit>("Txt_av_statique"), Qt::Key_Return);
        const QString corrupt = program_.filePath("corrupt.vek");
        TestSupport::writeFile(corrupt, "#VEKP_COURBE 2\r\n#TABLE=abc;1;2\r\n");
        files.commands().OpenFile(corrupt);
        const QString table = program_.filePath("bad-table.txt");
        TestSupport::writeFile(table, "0782\r\nzz\r\n");
        files_ << table;
        w.BP_import_Click();
        w.TypeVersionOS()->setCurrentIndex(w.TypeVersionOS()->findText("DAMAGED.XOS"));
        w.TypeVersionOS_Click();
        w.settings().CourbeModifie = true;
        w.bp_new_Click();
        w.BP_Bootloader_Click(); // no package chosen
        log_->look(w);
        w.TypeCarteOption()->setCurrentIndex(1);
        w.BP_Parametres_carte_option_Click();
        w.about_Click();
        w.Config_Click();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        PortAccessService ports(program_.path());
        log_->add({VEK_about::StatusText(ports.status())});

        // The live page on the simulated module, then on a port that is missing.
        ModuleSimulator sim;
        QVERIFY(sim.start());
        w.settings().portNumber = 0;
        w.settings().portDevice = sim.devicePath();
        w.SSTab1()->setCurrentIndex(4);
        w.control<QAbstractButton>("ChkBuffer")->click();
        w.control<QPushButton>("Lbl_ON_OFF")->click();
        QVERIFY(w.livePage()->isRunning());
        QVERIFY(sim.sendBytes(TrameLive::withWords(1250, 0, 0, 0, 0, 1).toByteArray()));
        QTRY_VERIFY(w.statusPanel(3).contains("23"));
        log_->look(w);
        w.control<QPushButton>("Lbl_ON_OFF")->click();
        w.settings().portDevice = "/dev/vek-no-such-port";
        w.control<QPushButton>("Lbl_ON_OFF")->click();
        log_->look(w);
        w.SSTab1()->setCurrentIndex(3);
        w.control<QPushButton>("BP_OpenPort")->click();
        log_->look(w);
        VERIFY_ONE_LANGUAGE(*log_, "MessReglagesLus", "MessPortOuverture", "LiveTrameOctets",
                            "BPimportMotInvalide", "CarteTitre", "AboutVersion", "MOFormCapt",
                            "BPNewFileQuestion", "BLAucunFichierOS");
    }

    // The assembly window and the package editors: their refusals and an
    // assembler that cannot write its output.
    void assemblyAndPackages_data() { TestSupport::addLanguageFileRows(); }

    void assemblyAndPackages()
    {
        QFETCH(QString, file);
        startIn(file);
        VekContext context;
        FakePrompts prompts;
        prompts.dialogs = [this](QDialog &dialog) {
            log_->look(dialog);
            return int(QDialog::Rejected);
        };
        {
            AsmCurveAccess curve;
            curve.gridRows = [] { return 1; };
            VEK_ASM assembly(context, curve, nullptr, &prompts);
            assembly.findChild<QPushButton *>("BP_ExportTables")->click();
            assembly.findChild<QPushButton *>("BP_MPASM")->click(); // no project
            QSignalSpy done(&assembly, &VEK_ASM::assemblerDone);
            QTRY_COMPARE(done.size(), 1);
            log_->look(assembly);
            // An output that cannot reach the project.
            QDir project(program_.filePath("project"));
            project.mkpath("prog.cod");
            TestSupport::writeFile(project.filePath("prog.asm"),
                                   "\tLIST P=16F84\n\tORG 0\n\tGOTO 0\n\tEND\n");
            prompts.files << project.filePath("prog.asm");
            assembly.findChild<QPushButton *>("BP_Modifier")->click();
            assembly.findChild<QPushButton *>("BP_MPASM")->click();
            QTRY_COMPARE(done.size(), 2);
            // gpasm refuses the source: its own lines come after ours.
            TestSupport::writeFile(project.filePath("prog.asm"),
                                   "\tLIST P=16F84\n\tORG 0\n\tFOO 0\n\tEND\n");
            assembly.findChild<QPushButton *>("BP_MPASM")->click();
            QTRY_COMPARE(done.size(), 3);
            assembly.findChild<QPushButton *>("BP_CreerOS")->click();
            assembly.findChild<QPushButton *>("BP_CreerMJ")->click();
            log_->look(assembly);
        }
        const PackageEditorServices services = PackageEditorServices::standard(context);
        VEK_New_OS os(context, services, nullptr, &prompts);
        os.findChild<QPushButton *>("BP_OK")->click();
        prompts.files << VEK_Gestion_OS::DossierPaquets() + "DAMAGED.XOS";
        os.findChild<QPushButton *>("BP_Lire_OS")->click();
        log_->look(os);
        VEK_New_MJ mj(context, services, nullptr, &prompts);
        mj.findChild<QPushButton *>("BP_OK")->click();
        log_->look(mj);
        log_->look(prompts);
        VERIFY_ONE_LANGUAGE(*log_, "MessAsmErreur", "MessAsmPasDeProjet", "MessXosLectureEchec",
                            "MSGBAsmExport1");
    }
};

VEK_TEST_MAIN_ON_SCREEN(TestOneLanguage, 1024, 768)
#include "tst_ui_onelanguage.moc"
