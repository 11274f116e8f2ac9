#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_about.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "firmware/ui/VEK_ASM.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ui/VEK_ICSP.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

// What a user sees of the windows' layouts, on the smallest screen the program
// is made for: a long status text scrolls in a frame of its own height, the
// windows keep their contents on the screen.
class TestLayouts : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    FakePrompts prompts;

    static const QString threeLines;

    static QWidget *area(QLabel *label)
    {
        // The label sits in its scroll area's viewport.
        QWidget *w = label;
        while (w && !w->objectName().endsWith("Area"))
            w = w->parentWidget();
        return w ? w : label;
    }

    // The main window in language `file`, shown.
    static void showInLanguage(VEK_Accueil &w, const QString &file)
    {
        VEK_LANGUAGE::SetFichierLangue(file);
        w.Form_Load(false);
        VEK_LANGUAGE::SetFichierLangue(file); // the stored settings may name another
        VEK_LANGUAGE::InitLanguage();
        w.InitLangue();
        w.show();
    }

    // The window's frame (its close box in the corner) lies on the screen.
    static bool frameOnScreen(const QWidget &w)
    {
        return w.screen()->availableGeometry().contains(w.frameGeometry());
    }

    // On the screen, and every control has at least its least room in it:
    // none is squeezed into its neighbours.
    static QString offTheScreenOrSqueezed(const QWidget &w)
    {
        const QSize least = w.minimumSizeHint();
        if (frameOnScreen(w) && least.width() <= w.width() && least.height() <= w.height())
            return {};
        return QString("frame %1x%2, contents at least %3x%4")
            .arg(w.frameGeometry().width())
            .arg(w.frameGeometry().height())
            .arg(least.width())
            .arg(least.height());
    }

    // Each of `controls` shows, whole, inside the window `w`.
    static QString controlsOutside(const QWidget &w, const QList<QWidget *> &controls)
    {
        QStringList outside;
        for (const QWidget *c : controls) {
            const QRect at(c->mapTo(&w, QPoint(0, 0)), c->size());
            if (!c->isVisible() || !w.rect().contains(at))
                outside << QString("%1 %2,%3 %4x%5")
                               .arg(c->objectName().isEmpty() ? c->metaObject()->className()
                                                              : c->objectName())
                               .arg(at.x())
                               .arg(at.y())
                               .arg(at.width())
                               .arg(at.height());
        }
        return outside.join(", ");
    }

private slots:
    void initTestCase() { BootloaderWindowRig::useTextsAndFolder(dir); }

    void mainWindowStatusTextDoesNotSqueezeThePages()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.L_Info()->setText("Une ligne");
        QTest::qWait(20);
        const int pages = w.SSTab1()->height();
        w.L_Info()->setText(threeLines);
        QTest::qWait(20);
        QCOMPARE(w.SSTab1()->height(), pages);
        QVERIFY(area(w.L_Info())->height() < 3 * w.L_Info()->fontMetrics().lineSpacing());
    }

    // Every language's main window fits a 1024x768 screen, its frame included.
    void mainWindowFitsASmallScreen_data() { TestSupport::addLanguageFileRows(); }

    void mainWindowFitsASmallScreen()
    {
        QFETCH(QString, file);
        VEK_LANGUAGE::SetFichierLangue(file);
        VEK_Accueil w;
        w.Form_Load(false);
        VEK_LANGUAGE::SetFichierLangue(file); // the stored settings may name another
        VEK_LANGUAGE::InitLanguage();
        w.InitLangue();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
        QVERIFY2(least.width() <= 1016 && least.height() <= 700,
                 qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
        // and the bar's buttons within the window, none cut at its right edge
        const auto *quit = w.control<QPushButton>("Quit");
        QVERIFY(quit->mapTo(&w, QPoint(quit->width(), 0)).x() <= w.width());
        BootloaderWindowRig::useTextsAndFolder(dir);
    }

    // The live page running with its capture on and its simulation offered:
    // the window keeps its frame on the screen, the lamps, the simulation and
    // the capture's controls inside it, and so after STOP.
    void mainWindowRunningLiveStaysOnTheScreen_data() { TestSupport::addLanguageFileRows(); }

    void mainWindowRunningLiveStaysOnTheScreen()
    {
        QFETCH(QString, file);
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1024, 768));
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VEK_Accueil w;
        showInLanguage(w, file);
        w.settings().portNumber = 0;
        w.settings().portDevice = sim.devicePath();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SSTab1()->setCurrentIndex(4);
        QTest::qWait(20);
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));

        auto *buffer = w.control<QCheckBox>("ChkBuffer");
        auto *run = w.control<QPushButton>("Lbl_ON_OFF");
        QTest::mouseClick(buffer, Qt::LeftButton, {}, QPoint(8, buffer->height() / 2));
        QVERIFY(buffer->isChecked());
        QTest::mouseClick(run, Qt::LeftButton);
        QVERIFY(w.livePage()->isRunning());
        QTest::qWait(20);
        QList<QWidget *> controls;
        for (LedLamp *lamp : w.livePage()->findChildren<LedLamp *>())
            if (lamp->caption() != "STOP")
                controls << lamp;
        QCOMPARE(controls.size(), 9); // eight on the instrument frame and RUN
        for (const char *name : {"Chk_Simulation", "SimulRegime", "BufferStat", "BP_Logger",
                                 "BP_LogDossier", "Lbl_ON_OFF", "Quit"})
            controls << w.control<QWidget>(name);
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        QString outside = controlsOutside(w, controls);
        QVERIFY2(outside.isEmpty(), qPrintable(outside));

        QTest::mouseClick(run, Qt::LeftButton);
        QVERIFY(!w.livePage()->isRunning());
        QTest::qWait(20);
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        controls.removeAll(w.control<QWidget>("Chk_Simulation"));
        controls.removeAll(w.control<QWidget>("SimulRegime"));
        controls.removeIf([](QWidget *c) {
            auto *lamp = qobject_cast<LedLamp *>(c);
            return lamp && lamp->caption() == "RUN";
        });
        outside = controlsOutside(w, controls);
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
        BootloaderWindowRig::useTextsAndFolder(dir);
    }

    // A caption wider than the screen (a language's long text) does not take
    // the window past the screen's edge: its neighbours give up room.
    void mainWindowNeverGrowsPastTheScreen()
    {
        VEK_Accueil w;
        showInLanguage(w, "francais.ini");
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SSTab1()->setCurrentIndex(4);
        QTest::qWait(20);
        auto *folder = w.control<QWidget>("BP_LogDossier");
        qobject_cast<QAbstractButton *>(folder)->setText(QString(200, QChar('W')));
        w.control<QCheckBox>("ChkBuffer")->setChecked(true);
        QVERIFY(folder->sizeHint().width() > 1024);
        QTest::qWait(20);
        QVERIFY2(frameOnScreen(w), qPrintable(QString::number(w.frameGeometry().width())));
        // Back to its own caption, every control has its room again.
        w.InitLangue();
        QTest::qWait(20);
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        const QString outside = controlsOutside(w, {folder, w.control<QWidget>("Quit")});
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
    }

    // In German the address boxes of the package editor and of the programmer
    // set-up still hold six digits ("1300" was shown as "300").
    void addressBoxesHoldTheirDigits_data()
    {
        QTest::addColumn<bool>("setup");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("package editor")
            << false << QStringList{"HEXADD", "HEXLNG", "ADDL8_1", "ADDH8_2"};
        QTest::newRow("programmer set-up")
            << true << QStringList{"HEXADD", "HEXLNG", "ADDL8", "ADDH8", "ADDL16", "ADDH16"};
    }

    void addressBoxesHoldTheirDigits()
    {
        QFETCH(bool, setup);
        QFETCH(QStringList, boxes);
        VEK_LANGUAGE::SetFichierLangue("deutch.ini");
        VEK_LANGUAGE::InitLanguage();
        auto ctx = BootloaderWindowRig::context();
        std::unique_ptr<QDialog> w;
        if (setup)
            w = std::make_unique<VEK_SETUP_ICSP>(*ctx);
        else
            w = std::make_unique<VEK_New_OS>(*ctx, PackageEditorServices::standard(*ctx), nullptr,
                                             &prompts);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (const QString &name : boxes) {
            auto *box = w->findChild<QLineEdit *>(name);
            QVERIFY2(box, qPrintable(name));
            const int digits = box->fontMetrics().horizontalAdvance("1FFFFF");
            QVERIFY2(box->width() > digits,
                     qPrintable(QString("%1: %2").arg(name).arg(box->width())));
        }
        BootloaderWindowRig::useTextsAndFolder(dir);
    }

    // Maximised, the bootloader window keeps a status text of two lines and its
    // status bar at the bottom.
    void bootloaderWindowGrownKeepsStatusAtTheBottom()
    {
        auto ctx = BootloaderWindowRig::context();
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.L_Info->setText(threeLines);
        w.resize(1000, 700);
        QTest::qWait(20);
        QCOMPARE(w.height(), 700);
        QVERIFY(area(w.L_Info)->height() < 3 * w.L_Info->fontMetrics().lineSpacing());
        const QRect bar = w.BarreEtat->geometry();
        QVERIFY2(w.height() - bar.bottom() < 20, qPrintable(QString::number(bar.bottom())));
    }

    // Grown, the first-load window keeps its steps right under their title.
    void firstLoadWindowGrownKeepsItsStepsTogether()
    {
        auto ctx = BootloaderWindowRig::context();
        VEK_BL_INIT w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1000, 700);
        QTest::qWait(20);
        QCOMPARE(w.height(), 700);
        const int gap = w.BP_STEP[1]->y() - w.Label1->y();
        QVERIFY2(gap < 4 * w.Label1->fontMetrics().lineSpacing(), qPrintable(QString::number(gap)));
        QVERIFY(w.height() - w.BarreEtat->geometry().bottom() < 20);
    }

    // The transfer windows' Cancel buttons in the chosen language, not "Annuler".
    void transferWindowsCancelInTheLanguage()
    {
        VEK_LANGUAGE::SetFichierLangue("english.ini");
        VEK_LANGUAGE::InitLanguage();
        auto ctx = BootloaderWindowRig::context();
        VEK_ICSP programmer(*ctx, nullptr, &prompts);
        VEK_KORVAL family(*ctx, nullptr, &prompts);
        for (QDialog *w : std::initializer_list<QDialog *>{&programmer, &family})
            QCOMPARE(w->findChild<QPushButton *>("BP_Annuler")->text(), QString("&Cancel"));
        BootloaderWindowRig::useTextsAndFolder(dir);
    }

    // The programmer set-up's tabs keep their height under a long message.
    void programmerSetupMessageDoesNotShrinkTheTabs()
    {
        auto ctx = BootloaderWindowRig::context();
        VEK_SETUP_ICSP w(*ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int tabs = w.SSTab1->height();
        w.L_Info->setText(threeLines);
        QTest::qWait(20);
        QCOMPARE(w.SSTab1->height(), tabs);
    }

    // Forty lines of assembler messages scroll; the window keeps its size.
    void assemblyWindowLongMessageScrolls()
    {
        auto ctx = BootloaderWindowRig::context();
        VEK_ASM w(*ctx, AsmCurveAccess{}, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int height = w.height();
        QStringList lines;
        for (int i = 1; i <= 40; ++i)
            lines << QString("vek.asm:%1:Error[113] Symbol not previously defined").arg(i);
        auto *info = w.findChild<QLabel *>("L_Info");
        info->setText(lines.join('\n'));
        QTest::qWait(20);
        QCOMPARE(w.height(), height);
        QVERIFY(area(info)->height() < 4 * info->fontMetrics().lineSpacing());
    }

    void aboutSidePanelStaysOnTheScreen()
    {
        MainSettings settings;
        VEK_about box(settings);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QRect room = box.screen()->availableGeometry();
        box.move(room.right() - box.frameGeometry().width() - 4, room.top() + 20);
        QTest::qWait(20);
        box.Picture1_DblClick();
        box.Picture2_DblClick();
        QTest::qWait(20);
        QVERIFY(box.width() > VEK_about::kPanelWidth);
        // Within the screen; a screen narrower than the box keeps its left part.
        const QRect frame = box.frameGeometry();
        QVERIFY(frame.left() >= room.left());
        QVERIFY2(frame.right() <= room.right() || frame.left() == room.left(),
                 qPrintable(QString("%1 > %2").arg(frame.right()).arg(room.right())));
    }
};

const QString TestLayouts::threeLines =
    QStringLiteral("Première ligne d'un message d'état\nDeuxième ligne\nTroisième ligne");

VEK_TEST_MAIN_ON_SCREEN(TestLayouts, 1024, 768)
#include "tst_ui_layouts.moc"
