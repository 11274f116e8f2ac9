#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "Keyboard.h"
#include "MainWindowRig.h"
#include "ModalAnswer.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_SETUP.h"
#include "app/ui/VEK_about.h"
#include "base/ui/ElidedLabel.h"
#include "base/ui/StatusTipLine.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "firmware/ui/PackageEditorServices.h"
#include "firmware/ui/VEK_ASM.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ui/VEK_ICSP.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePage.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
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
        TestSupport::useTexts(file); // the stored settings may name another
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

    // A link of 150 characters to `pty`'s device, named as a by-id link to a
    // USB adapter is.
    static QString longLink(const LinkedPty &pty)
    {
        const QString start = pty.folder.path() + "/usb-FTDI_FT232R_USB_UART_A50285BI-";
        const QString end = "-if00-port0";
        const QString link = start + QString(150 - start.size() - end.size(), 'x') + end;
        return QFile::link(pty.device, link) ? link : QString();
    }

    static void clickTab(QTabWidget *tabs, int index)
    {
        QVERIFY(QTest::qWaitForWindowExposed(tabs->window()));
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    // The port fields have room for a usual by-id path.
    static bool holdsUsualPath(const QComboBox *field)
    {
        const QString usual = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        return field->lineEdit()->width() >= field->fontMetrics().horizontalAdvance(usual);
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("store"));
    }

    // Each test starts in French, whatever language the one before chose.
    void init() { BootloaderWindowRig::useTextsAndFolder(dir); }

    // A port given as a by-id link of 150 characters, typed in the programmer
    // set-up, in every language: the field has room for a usual by-id path and
    // gives the whole text as its tooltip; the programmer window stays on the
    // screen with its controls inside it (it grew to fit the port), its link
    // panel gives the whole path as its tooltip, and after a shorter port it
    // needs no more room than it opened with.
    void programmerWindowLongPortStaysOnTheScreen_data() { TestSupport::addLanguageFileRows(); }

    void programmerWindowLongPortStaysOnTheScreen()
    {
        QFETCH(QString, file);
        LinkedPty pty;
        const QString link = longLink(pty);
        QVERIFY(!link.isEmpty());
        TestSupport::useTexts(file);
        auto ctx = BootloaderWindowRig::context();
        ctx->settings.ICSPPort = pty.device;
        VEK_ICSP w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int least = w.minimumSizeHint().width();
        struct Field {
            QString tipBefore, tipTyped;
            bool room = false;
        };
        const auto typePort = [&w](const QString &port) {
            Field seen;
            ModalAnswer answer([&seen, port](QWidget *modal) {
                auto *setup = qobject_cast<VEK_SETUP_ICSP *>(modal);
                if (!setup)
                    return;
                clickTab(setup->SSTab1, 1);
                seen.tipBefore = setup->ICSP_COM->toolTip();
                if (Keyboard::focus(setup->ICSP_COM))
                    Keyboard::retype(port);
                seen.tipTyped = setup->ICSP_COM->toolTip();
                seen.room = holdsUsualPath(setup->ICSP_COM);
                QTest::mouseClick(setup->OKButton, Qt::LeftButton);
            });
            QTest::mouseClick(w.BP_Config, Qt::LeftButton);
            return seen;
        };

        const Field typed = typePort(link);
        QCOMPARE(ctx->settings.ICSPPort, link);
        QCOMPARE(typed.tipBefore, pty.device);
        QCOMPARE(typed.tipTyped, link);
        QVERIFY(typed.room);
        TestSupport::settle();
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        const QString outside =
            controlsOutside(w, {w.BP_Quit, w.BP_Annuler, w.findChild<QWidget *>("CmbOscillateur"),
                                w.findChild<QWidget *>("FrameConfiguration")});
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
        QCOMPARE(w.panel(1)->toolTip(), link);

        typePort(pty.device);
        QCOMPARE(ctx->settings.ICSPPort, pty.device);
        TestSupport::settle();
        QVERIFY2(w.minimumSizeHint().width() <= least,
                 qPrintable(QString("%1 > %2").arg(w.minimumSizeHint().width()).arg(least)));
        QVERIFY(frameOnScreen(w));
        QCOMPARE(w.panel(1)->toolTip(), QString());
    }

    // The same port chosen in the configuration dialog: its device field has
    // room for a usual by-id path and gives the whole text as its tooltip; the
    // main window stays on the screen in every language, its port panel gives
    // the whole path as its tooltip (it cut the path in a letter), and after a
    // shorter port the window needs no more room than before.
    void mainWindowLongPortStaysOnTheScreen_data() { TestSupport::addLanguageFileRows(); }

    void mainWindowLongPortStaysOnTheScreen()
    {
        QFETCH(QString, file);
        LinkedPty pty;
        const QString link = longLink(pty);
        QVERIFY(!link.isEmpty());
        VEK_Accueil w;
        showInLanguage(w, file);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int least = w.minimumSizeHint().width();
        const auto choosePort = [&w](const QString &port) {
            QTest::mouseClick(w.control<QPushButton>("Config"), Qt::LeftButton);
            auto *dialog = qobject_cast<VEK_SETUP *>(QApplication::activeModalWidget());
            if (!dialog)
                return QString("no dialog");
            clickTab(dialog->SSTab1(), 1);
            if (!Keyboard::focus(dialog->otherPortDevice()))
                return QString("no focus");
            Keyboard::retype(port);
            const QString tip = dialog->otherPortDevice()->toolTip();
            if (!holdsUsualPath(dialog->otherPortDevice()))
                return QString("no room");
            QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
            return tip;
        };
        QWidget *panel = w.StatusBarCom()->findChild<QWidget *>("Panel1");

        QCOMPARE(choosePort(link), link);
        QCOMPARE(w.statusPanel(1), link);
        TestSupport::settle();
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        QCOMPARE(panel->toolTip(), link);
        QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name), link);

        QCOMPARE(choosePort(pty.device), pty.device);
        TestSupport::settle();
        QVERIFY(w.minimumSizeHint().width() <= least);
        QVERIFY(frameOnScreen(w));
        QCOMPARE(panel->toolTip(), QString());
    }

    // A download that failed, at 1024x768: once its box is closed and the
    // pointer is over a button, the info line still gives the reason, the
    // help shows apart, and the status panel gives the whole reason.
    void bootloaderFailureStaysReadable()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "partial:E3:3"}));
        auto ctx = BootloaderWindowRig::context();
        ctx->settings.ICSPPort = sim.devicePath();
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(BootloaderWindowRig::clickAndWait(w, {}, w.BP_tst));
        QVERIFY(BootloaderWindowRig::clickAndWait(w, {}, w.BP_DLOAD[1]));
        const QString reason = prompts.messages.last().text;
        QCOMPARE(prompts.messages.last().icon, QMessageBox::Critical);
        QTest::mouseMove(w.BP_Quit, QPoint(5, 5));
        QTest::mouseMove(w.BP_Quit, QPoint(8, 8));
        QCOMPARE(w.findChild<StatusTipLine *>("StatusTip")->text(),
                 VEK_LANGUAGE::GetLanguageText("MMBPQuit"));
        QCOMPARE(w.L_Info->text(), reason);
        StatusPanel *status = w.panel(2);
        QVERIFY2(status->shownText() != reason, qPrintable(status->shownText())); // cut here
        QCOMPARE(status->toolTip(), reason);
        QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name), reason);
    }

    void mainWindowStatusTextDoesNotSqueezeThePages()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        w.L_Info()->setText("Une ligne");
        TestSupport::settle();
        const int pages = w.SSTab1()->height();
        w.L_Info()->setText(threeLines);
        TestSupport::settle();
        QCOMPARE(w.SSTab1()->height(), pages);
        QVERIFY(area(w.L_Info())->height() < 3 * w.L_Info()->fontMetrics().lineSpacing());
    }

    // Every language's main window fits a 1024x768 screen, its frame included.
    void mainWindowFitsASmallScreen_data() { TestSupport::addLanguageFileRows(); }

    void mainWindowFitsASmallScreen()
    {
        QFETCH(QString, file);
        VEK_Accueil w;
        showInLanguage(w, file);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize());
        QVERIFY2(least.width() <= 1016 && least.height() <= 700,
                 qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
        // and the bar's buttons within the window, none cut at its right edge
        const auto *quit = w.control<QPushButton>("Quit");
        QVERIFY(quit->mapTo(&w, QPoint(quit->width(), 0)).x() <= w.width());
    }

    // The words a language change puts in the parameters page show whole:
    // the LED list as wide as a list built with its items, and the first
    // column of the MAP tables as wide as its longer text needs.
    void mainWindowLanguageChangeKeepsWordsWhole_data() { TestSupport::addLanguageFileRows(); }

    void mainWindowLanguageChangeKeepsWordsWhole()
    {
        QFETCH(QString, file);
        VEK_Accueil w;
        showInLanguage(w, "francais.ini");
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        VEK_LANGUAGE::SetFichierLangue(file);
        TestSupport::useTexts(file);
        w.InitLangue();
        TestSupport::settle();

        const auto *led = w.control<QComboBox>("HardXLED");
        QComboBox fresh;
        for (int i = 0; i < led->count(); ++i)
            fresh.addItem(led->itemText(i));
        QVERIFY2(led->width() >= fresh.sizeHint().width(),
                 qPrintable(QString("%1 < %2").arg(led->width()).arg(fresh.sizeHint().width())));

        const auto *table = w.control<QTableWidget>("tabl_avance");
        const auto *adjust = w.control<QTableWidget>("talbMapAdj");
        const QString smoothing = adjust->item(0, 0)->text();
        const QString rpm = table->horizontalHeaderItem(0)->text();
        const int needed = std::max(adjust->fontMetrics().horizontalAdvance(smoothing),
                                    table->fontMetrics().horizontalAdvance(rpm));
        QVERIFY2(adjust->columnWidth(0) > needed, qPrintable(QString("\"%1\": %2 <= %3")
                                                                 .arg(smoothing)
                                                                 .arg(adjust->columnWidth(0))
                                                                 .arg(needed)));
        QCOMPARE(table->columnWidth(0), adjust->columnWidth(0));
        QCOMPARE(table->columnWidth(1), adjust->columnWidth(1));
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
        TestSupport::settle();
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));

        auto *buffer = w.control<QCheckBox>("ChkBuffer");
        auto *run = w.control<QPushButton>("Lbl_ON_OFF");
        QTest::mouseClick(buffer, Qt::LeftButton, {}, QPoint(8, buffer->height() / 2));
        QVERIFY(buffer->isChecked());
        QTest::mouseClick(run, Qt::LeftButton);
        QVERIFY(w.livePage()->isRunning());
        TestSupport::settle();
        QList<QWidget *> controls;
        for (LedLamp *lamp : w.livePage()->findChildren<LedLamp *>())
            if (lamp->caption() != VEK_LANGUAGE::GetLanguageText("LiveArret"))
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
        TestSupport::settle();
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        controls.removeAll(w.control<QWidget>("Chk_Simulation"));
        controls.removeAll(w.control<QWidget>("SimulRegime"));
        controls.removeIf([](QWidget *c) {
            auto *lamp = qobject_cast<LedLamp *>(c);
            return lamp && lamp->caption() == VEK_LANGUAGE::GetLanguageText("LiveMarche");
        });
        outside = controlsOutside(w, controls);
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
    }

    // A caption wider than the screen (a language's long text) does not take
    // the window past the screen's edge: its neighbours give up room.
    void mainWindowNeverGrowsPastTheScreen()
    {
        VEK_Accueil w;
        showInLanguage(w, "francais.ini");
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SSTab1()->setCurrentIndex(4);
        TestSupport::settle();
        auto *folder = w.control<QWidget>("BP_LogDossier");
        qobject_cast<QAbstractButton *>(folder)->setText(QString(200, QChar('W')));
        w.control<QCheckBox>("ChkBuffer")->setChecked(true);
        QVERIFY(folder->sizeHint().width() > 1024);
        TestSupport::settle();
        QVERIFY2(frameOnScreen(w), qPrintable(QString::number(w.frameGeometry().width())));
        // Back to its own caption, every control has its room again.
        w.InitLangue();
        TestSupport::settle();
        QVERIFY2(offTheScreenOrSqueezed(w).isEmpty(), qPrintable(offTheScreenOrSqueezed(w)));
        const QString outside = controlsOutside(w, {folder, w.control<QWidget>("Quit")});
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
    }

    // German: after "Bereit zur Übertragung" the info line shows the next
    // text, and nothing of the former one: what the screen shows of the label
    // is what a fresh paint of it shows (the dots of the "Ü" went on standing
    // above the next text).
    void infoLineLeavesNoStalePixels()
    {
        TestSupport::useTexts("deutch.ini");
        auto ctx = BootloaderWindowRig::context();
        ctx->TypeVersionOS = "Paramétrage Libre"; // the connection is refused, said in L_Info
        VEK_BL w(*ctx, nullptr, &prompts);
        QCursor::setPos(w.screen()->geometry().bottomRight()); // no hover help yet
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.L_Info->text(), VEK_LANGUAGE::GetLanguageText("BEPItem2"));
        const QRect at(w.L_Info->mapTo(&w, QPoint(0, 0)), w.L_Info->size());
        const auto onScreen = [&] {
            return w.screen()->grabWindow(w.winId()).toImage().copy(at).convertToFormat(
                QImage::Format_RGB32);
        };
        const auto freshPaint = [&] {
            return w.L_Info->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        QTRY_COMPARE(onScreen(), freshPaint()); // the first text is on the screen
        QVERIFY(Mouse::click(w.BP_tst));        // refused: no package is chosen
        QVERIFY(w.L_Info->text() != VEK_LANGUAGE::GetLanguageText("BEPItem2"));
        QTRY_COMPARE(onScreen(), freshPaint());
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
        TestSupport::useTexts("deutch.ini");
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
    }

    // A firmware file of a path of a few hundred characters chosen in the
    // package editors, in every language: the window stays on the screen with
    // its buttons inside it and its boxes of their height; the path shows its
    // start and its end, and whole as its tooltip.
    void packageEditorsLongPathStayOnTheScreen_data() { TestSupport::addLanguageFileRows(); }

    void packageEditorsLongPathStayOnTheScreen()
    {
        QFETCH(QString, file);
        TestSupport::useTexts(file);
        auto ctx = BootloaderWindowRig::context();
        QString path = dir.path();
        while (path.size() < 300)
            path += "/Projets du module VEK, version de travail";
        path += "/firmware.hex";
        const auto services = PackageEditorServices::standard(*ctx);
        VEK_New_OS os(*ctx, services, nullptr, &prompts);
        VEK_New_MJ mj(*ctx, services, nullptr, &prompts);
        for (QDialog *w : std::initializer_list<QDialog *>{&os, &mj}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            prompts.files = {path};
            QTest::mouseClick(w->findChild<QPushButton *>("BP_SelectFile"), Qt::LeftButton);
            TestSupport::settle();
            QVERIFY2(offTheScreenOrSqueezed(*w).isEmpty(), qPrintable(offTheScreenOrSqueezed(*w)));
            QList<QWidget *> controls;
            for (const char *name : {"BP_OK", "BP_Annuler", "BP_Lire_OS", "BP_SelectFile"})
                controls << w->findChild<QWidget *>(name);
            const QString outside = controlsOutside(*w, controls);
            QVERIFY2(outside.isEmpty(), qPrintable(outside));
            // The text boxes (a combo box's own line edit is sized by it).
            for (QLineEdit *box : w->findChildren<QLineEdit *>())
                if (box->isVisible() && !qobject_cast<QComboBox *>(box->parentWidget()))
                    QVERIFY2(box->height() >= box->sizeHint().height(),
                             qPrintable(QString("%1: %2 < %3")
                                            .arg(box->objectName())
                                            .arg(box->height())
                                            .arg(box->sizeHint().height())));
            auto *shown = w->findChild<ElidedLabel *>("Lbl_NomFichierHEXXEH");
            QCOMPARE(shown->text(), path);
            QCOMPARE(shown->toolTip(), path);
            QVERIFY(shown->shownText().startsWith(dir.path().left(5)));
            QVERIFY(shown->shownText().endsWith("firmware.hex"));
        }
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
        TestSupport::settle();
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
        TestSupport::settle();
        QCOMPARE(w.height(), 700);
        const int gap = w.BP_STEP[1]->y() - w.Label1->y();
        QVERIFY2(gap < 4 * w.Label1->fontMetrics().lineSpacing(), qPrintable(QString::number(gap)));
        QVERIFY(w.height() - w.BarreEtat->geometry().bottom() < 20);
    }

    // The transfer windows' Cancel buttons in the chosen language, not "Annuler".
    void transferWindowsCancelInTheLanguage()
    {
        TestSupport::useTexts("english.ini");
        auto ctx = BootloaderWindowRig::context();
        VEK_ICSP programmer(*ctx, nullptr, &prompts);
        VEK_KORVAL family(*ctx, nullptr, &prompts);
        for (QDialog *w : std::initializer_list<QDialog *>{&programmer, &family})
            QCOMPARE(w->findChild<QPushButton *>("BP_Annuler")->text(), QString("&Cancel"));
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
        TestSupport::settle();
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
        TestSupport::settle();
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
        TestSupport::settle();
        box.Picture1_DblClick();
        box.Picture2_DblClick();
        TestSupport::settle();
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
