// The programmer window's memory views redrawn for a full image of 16K program
// words and 256 EEPROM bytes: AfficherMemoire, then the events that lay out
// and paint the shown window. Target: under 100 ms.
#include "app/VekContext.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QApplication>
#include <QTextEdit>

#include <benchmark/benchmark.h>

namespace {

class SilentPrompts : public WindowPrompts
{
public:
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &,
                                        const QString &, QMessageBox::StandardButtons,
                                        const QString &) override
    {
        return QMessageBox::Ok;
    }
};

QApplication &application()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_ui_memoryviews";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void MemoryViews16KWords(benchmark::State &state)
{
    application();
    VekContext context;
    context.settings.ICSPChip = QStringLiteral("PIC-16F876A");
    SilentPrompts prompts;
    VEK_ICSP window(context, nullptr, &prompts);
    window.show();
    context.pic.DevicePgmSize = PicImage::CodeWords;
    context.pic.InitMemoire();
    for (int k = 0; k < PicImage::CodeWords; ++k)
        context.pic.ImagePIC.setCodeWord(k, uint16_t((k * 37) & 0x3FFF));
    for (auto _ : state) {
        window.AfficherMemoire();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(window.T_ProgramMem->document()->blockCount());
}

} // namespace

BENCHMARK(MemoryViews16KWords)->Unit(benchmark::kMillisecond)->MinTime(2.0);
