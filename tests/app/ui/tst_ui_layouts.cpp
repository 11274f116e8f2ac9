#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
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

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

// What a user sees of the windows' layouts: a long status text scrolls in a
// frame of its own height, the windows keep their contents on the screen.
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

QTEST_MAIN(TestLayouts)
#include "tst_ui_layouts.moc"
