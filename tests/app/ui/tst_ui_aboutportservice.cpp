#include "Screenshots.h"
#include "TestSupport.h"
#include "app/ui/VEK_about.h"
#include "base/MainSettings.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/PortAccessService.h"
#include "platform/SystemCalls.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <cerrno>

using TestSupport::row;

namespace {

class FakeCalls final : public SystemCalls
{
public:
    int openErrno = 0;
    int open(const char *, int) override { return openErrno ? (errno = openErrno, -1) : 5; }
    int close(int) override { return 0; }
    int ioctl(int, unsigned long, void *) override { return 0; }
};

} // namespace

// The side panel's buttons answer from the system's real state, never pretend.
class TestAboutPortService : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString press(const char *button, const PortAccessService &service)
    {
        MainSettings settings;
        VEK_about box(settings);
        box.setPortAccessService(&service);
        box.findChild<QPushButton *>(button)->click();
        auto *notice = box.findChild<QMessageBox *>("PortServiceNotice");
        return notice ? notice->text() : QString("<no notice>");
    }

private slots:
    void initTestCase()
    {
        VEK_LANGUAGE::InitLanguage();
        TestSupport::writeFile(m_root.path() + "/proc/modules",
                               "ppdev 1 0 - Live 0x0\nparport 1 1 ppdev, Live 0x0\n");
        TestSupport::writeFile(m_root.path() + "/dev/parport0", {});
    }

    // The state first ("Running", "Stopped", or none when the port cannot
    // work as things stand), then what the system says and what to do.
    void statusButton_data()
    {
        QTest::addColumn<bool>("modulesAndDevice");
        QTest::addColumn<int>("openErrno");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("says");
        const auto reason = [](int error) { return QString::fromLocal8Bit(strerror(error)); };
        QTest::newRow("running") << true << 0 << "Running" << QStringList{"/dev/parport0"};
        QTest::newRow("missing permission")
            << true << EACCES << QString() << QStringList{reason(EACCES), "usermod -aG"};
        QTest::newRow("stopped") << true << EBUSY << "Stopped"
                                 << QStringList{"/dev/parport0: " + reason(EBUSY)};
        QTest::newRow("without modules or device")
            << false << 0 << QString()
            << QStringList{
                   "parport, ppdev",
                   "sudo modprobe -a parport_pc ppdev", // -a: both modules loaded
                   VEK_LANGUAGE::GetLanguageText("PortSvcNoDevice", {"%1", "/dev/parport0"})};
    }

    void statusButton()
    {
        QFETCH(bool, modulesAndDevice);
        QFETCH(int, openErrno);
        QFETCH(QString, state);
        QFETCH(QStringList, says);
        QTemporaryDir bare;
        FakeCalls calls;
        calls.openErrno = openErrno;
        const QString root = modulesAndDevice ? m_root.path() : bare.path();
        const QString text = press("BP_StatusDRV", PortAccessService(root, calls));
        if (state.isEmpty())
            QVERIFY2(!text.startsWith("Running") && !text.startsWith("Stopped"), qPrintable(text));
        else
            QVERIFY2(text.startsWith(state + "\n"), qPrintable(text));
        for (const QString &part : says)
            QVERIFY2(text.contains(part), qPrintable(text));
    }

    void otherButtonsSayWhatToDoAndTheState_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");
        row("load", "BP_LoadDRV", "PortSvcInstall");
        row("start", "BP_StartDRV", "PortSvcStart");
        row("stop", "BP_StopDRV", "PortSvcStop");
        row("pause", "BP_PauseDRV", "PortSvcPause");
        row("remove", "BP_RemoveDRV", "PortSvcRemove");
    }

    void otherButtonsSayWhatToDoAndTheState()
    {
        QFETCH(QString, button);
        QFETCH(QString, key);
        FakeCalls calls;
        const QString text = press(qPrintable(button), PortAccessService(m_root.path(), calls));
        QVERIFY(text.startsWith(VEK_LANGUAGE::GetLanguageText(key)));
        QVERIFY(text.contains(VEK_LANGUAGE::GetLanguageText("PortSvcNow") + "\nRunning"));
    }

    void screenshot()
    {
        FakeCalls calls;
        calls.openErrno = EACCES;
        const PortAccessService service(m_root.path(), calls);
        MainSettings settings;
        VEK_about box(settings);
        box.setPortAccessService(&service);
        box.show();
        box.Picture1_DblClick();
        box.Picture2_DblClick();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(box.grab().save(TestSupport::screenshotPath("about_panel.png")));
        box.findChild<QPushButton *>("BP_StatusDRV")->click();
        auto *notice = box.findChild<QMessageBox *>("PortServiceNotice");
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        QVERIFY(notice->grab().save(TestSupport::screenshotPath("about_status.png")));
        notice->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        box.findChild<QPushButton *>("BP_LoadDRV")->click();
        notice = box.findChild<QMessageBox *>("PortServiceNotice");
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        QVERIFY(notice->grab().save(TestSupport::screenshotPath("about_load.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestAboutPortService)
#include "tst_ui_aboutportservice.moc"
