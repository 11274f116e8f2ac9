#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_about.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QLabel>
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
