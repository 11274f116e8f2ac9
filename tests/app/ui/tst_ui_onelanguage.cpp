// Every window in each of the five languages: what it shows, opened and
// through the operations the simulators allow, reads in the chosen language.
#include "FakePrompts.h"
#include "LanguageGuard.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_SETUP.h"
#include "app/ui/VEK_about.h"
#include "app/ui/VEK_cfg_carte_fille.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "firmware/ui/PackageEditorServices.h"
#include "firmware/ui/VEK_ASM.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

class TestOneLanguage : public QObject
{
    Q_OBJECT
    QTemporaryDir store_;
    LanguageGuard guard_;
    QStringList shown_;

    void look(const QWidget &window) { shown_ << ShownTexts::of(&window); }
    void look(const FakePrompts &prompts)
    {
        for (const FakePrompts::Shown &m : prompts.messages)
            shown_ << m.title << m.text << m.details;
        shown_ << prompts.fileFilters << prompts.asked;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName("VEK_Courbe");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store_.path());
        guard_.addNames({"VEK", "Courbe", "VEKP", "JDM", "MIRT", "KORVALx", "PIC"});
    }

    void everyWindowSpeaksTheChosenLanguage_data() { TestSupport::addLanguageFileRows(); }

    void everyWindowSpeaksTheChosenLanguage()
    {
        QFETCH(QString, file);
        shown_.clear();
        guard_.setLanguage(file);
        {
            const auto store = MainSettingsLoader::OpenStore();
            store->clear();
            store->setValue("Config/Language", file);
            store->setValue("ICSP/ICSP_Delay", "abc");
            store->setValue("ICSP/ICSP_NBTABLES", "9");
        }
        VEK_LANGUAGE::SetFichierLangue(QString());
        VEK_Accueil w;
        QTimer answering;
        connect(&answering, &QTimer::timeout, this, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                look(*modal);
                modal->close();
            }
        });
        answering.start(5);
        w.Form_Load(true);
        w.show();
        TestSupport::settle();
        shown_ << ShownTexts::ofApplication();
        for (int page = 0; page < w.SSTab1()->count(); ++page) {
            w.SSTab1()->setCurrentIndex(page);
            look(w);
        }
        VekContext &context = w.context();
        {
            VEK_SETUP dialog(context, nullptr, &w);
            look(dialog);
        }
        {
            VEK_about about(context.settings, &w);
            look(about);
        }
        w.TypeCarteOption()->setCurrentIndex(1);
        {
            VEK_cfg_carte_fille board(context, &w);
            look(board);
        }
        FakePrompts prompts;
        {
            VEK_ASM assembly(context, [] { return QStringList(); }, &w, &prompts);
            look(assembly);
        }
        {
            VEK_New_OS os(context, PackageEditorServices::standard(context), &w, &prompts);
            look(os);
            VEK_New_MJ mj(context, PackageEditorServices::standard(context), &w, &prompts);
            look(mj);
        }
        {
            VEK_SETUP_ICSP setup(context, &w);
            look(setup);
        }
        {
            VEK_BL bl(context, &w, &prompts);
            look(bl);
            VEK_BL_INIT init(context, &w, &prompts);
            look(init);
            VEK_KORVAL korval(context, &w, &prompts);
            look(korval);
        }
        look(prompts);
        const QStringList offences = guard_.offences(shown_);
        for (const QString &o : offences)
            qWarning().noquote() << "OFFENCE" << file << o;
        QVERIFY2(offences.isEmpty(), qPrintable(QString::number(offences.size()) + " texts:\n" +
                                                offences.join('\n')));
    }
};

VEK_TEST_MAIN_ON_SCREEN(TestOneLanguage, 1024, 768)
#include "tst_ui_onelanguage.moc"
