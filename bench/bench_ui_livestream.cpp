// The live page of the main window against the simulated module streaming as
// fast as 115200 baud allows (1152 frames/s), with random splits and 1 % corrupt
// frames, the buffer and the rpm simulation on: the status bar follows the
// frames as it does for a user. Reports frames decoded and logged against
// frames sent, invalid frames accepted, how often the instruments were drawn,
// and the program's CPU time per second of streaming, with the window shown
// and not shown.
// VEK_BENCH_SECONDS sets the streaming time (default 30).
#include "ModuleSimulator.h"
#include "app/ui/VEK_Accueil.h"
#include "base/VEK_LANGUAGE.h"
#include "live/LiveLogger.h"
#include "live/ui/LivePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void LiveStream115200(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIntValue("VEK_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("VEK_BENCH_SECONDS")
                            : 30;
    QTemporaryDir dir;
    const QString record = dir.filePath("sent.txt");
    for (auto _ : state) {
        ModuleSimulator sim;
        sim.start({"--baud", "115200", "--split", "--garbage", "0.01", "--corrupt", "0.01",
                   "--seed", "2026", "--record", record});
        const QString device = sim.devicePath();
        if (device.isEmpty()) {
            state.SkipWithError("simulated module did not start");
            return;
        }
        VEK_Accueil window;
        window.Form_Load(false);
        window.settings().portNumber = 0;
        window.settings().portDevice = device;
        window.settings().serialSettings = "115200,N,8,1";
        window.resize(1200, 860);
        const bool visible = state.range(0) == 1;
        if (visible) // against the window not shown: the cost of drawing
            window.show();
        window.SSTab1()->setCurrentIndex(4);
        LivePage &page = *window.livePage();
        page.findChild<QPushButton *>("Lbl_ON_OFF")->click();
        page.findChild<QCheckBox *>("ChkBuffer")->setChecked(true);
        page.findChild<QCheckBox *>("Chk_Simulation")->setChecked(true);
        if (sim.waitForLine("SIMUL", 5000).isEmpty()) {
            state.SkipWithError("the rpm simulation did not start");
            return;
        }
        QList<TrameLive> decoded;
        decoded.reserve(seconds * 1200);
        page.link().setFrameObserver([&](const TrameLive &f) { decoded << f; });
        runFor(200);

        const quint64 drawn0 = page.displayRefreshes();
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        sim.command("stream 0");
        runFor(seconds * 1000);
        sim.command("stop");
        const QString done = sim.waitForLine("DONE ", 10000);
        runFor(200); // the last bytes
        const double cpu = cpuSeconds() - cpu0;
        const double elapsed = wall.elapsed() / 1000.0;
        const double drawnPerSecond = double(page.displayRefreshes() - drawn0) / elapsed;

        // What was sent, from the simulator's record.
        QSet<QByteArray> valid;
        QList<QByteArray> validInOrder;
        qint64 validSent = 0, corruptSent = 0;
        QFile f(record);
        f.open(QIODevice::ReadOnly);
        while (!f.atEnd()) {
            const QList<QByteArray> parts = f.readLine().trimmed().split(' ');
            if (parts.size() != 2)
                continue;
            if (parts[1] == "V") {
                valid.insert(QByteArray::fromHex(parts[0]));
                validInOrder << QByteArray::fromHex(parts[0]);
                ++validSent;
            } else {
                ++corruptSent;
            }
        }
        qint64 invalidAccepted = 0;
        for (const TrameLive &t : decoded)
            if (!valid.contains(t.toByteArray()))
                ++invalidAccepted;
        int logged = 0;
        LiveLogger::TexteLog(page.link().capture(), &logged);
        QList<QByteArray> decodedBytes;
        for (const TrameLive &t : decoded)
            decodedBytes << t.toByteArray();
        const bool eachOnce = decodedBytes == validInOrder;
        state.counters["each_valid_once_in_order"] = eachOnce ? 1 : 0;

        state.counters["frames_sent_valid"] = double(validSent);
        state.counters["frames_sent_corrupt"] = double(corruptSent);
        state.counters["frames_decoded"] = double(decoded.size());
        state.counters["frames_logged"] = logged;
        state.counters["invalid_accepted"] = double(invalidAccepted);
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / elapsed;
        state.counters["stream_seconds"] = elapsed;
        state.counters["reads_per_second"] = double(page.link().reads()) / elapsed;
        state.counters["display_refreshes_per_second"] = drawnPerSecond;
        std::fprintf(
            stderr,
            "%s: sent valid %lld, corrupt %lld; decoded %lld, logged %d; invalid accepted "
            "%lld; each valid frame once, in order: %s; CPU %.2f %% of one core over %.1f s; "
            "%.0f reads/s, instruments drawn %.1f times/s\n",
            visible ? "visible" : "hidden", validSent, corruptSent, qint64(decoded.size()), logged,
            invalidAccepted, eachOnce ? "yes" : "NO", 100.0 * cpu / elapsed, elapsed,
            double(page.link().reads()) / elapsed, drawnPerSecond);
        state.SetIterationTime(elapsed);
        page.closePort();
        Q_UNUSED(done);
    }
}

} // namespace

BENCHMARK(LiveStream115200)
    ->ArgName("visible")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's own settings and language, in a folder of this run.
    QTemporaryDir store;
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName("VEK_Courbe");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());
    VEK_LANGUAGE::InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
