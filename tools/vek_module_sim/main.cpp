// Simulated ignition module on a pseudo-terminal, for tests and benchmarks.
// Prints "PTY <path>" (the device the program should open), then streams live
// frames and answers the program's commands; see SimulatedModule.h for the
// control commands read from standard input.
#include "BootloaderProtocol.h"
#include "FamilyProtocol.h"
#include "SimulatedModule.h"
#include "live/SimulationCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <sys/prctl.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated ignition module on a pty"));
    parser.addHelpOption();
    const QCommandLineOption rate("rate", "Frames per second.", "n", "100");
    const QCommandLineOption baud("baud", "Pace the bytes as this baud rate allows.", "baud");
    const QCommandLineOption split("split", "Write in random small pieces.");
    const QCommandLineOption garbage("garbage", "Chance per frame of garbage bytes.", "p", "0");
    const QCommandLineOption corrupt("corrupt", "Chance per frame of a damaged byte.", "p", "0");
    const QCommandLineOption markers("markers", "Chance per frame of the marker in a data byte.",
                                     "p", "0.125");
    const QCommandLineOption seed("seed", "Random seed.", "n", "1");
    const QCommandLineOption tick("tick-ms", "Pacing step in ms.", "ms", "1");
    const QCommandLineOption rpm("rpm", "Engine speed of the own stream.", "rpm", "3000");
    const QCommandLineOption record("record", "Write every frame sent to this file.", "file");
    const QCommandLineOption stream("stream", "Stream at once, until told to stop.");
    parser.addOptions(
        {rate, baud, split, garbage, corrupt, markers, seed, tick, rpm, record, stream});
    const QCommandLineOption bootloader("bootloader", "Play the serial bootloader.");
    const QCommandLineOption blName("bl-name", "Module name (12 bytes).", "text");
    const QCommandLineOption blRevision("bl-revision", "Revision byte (hex).", "hex");
    const QCommandLineOption blVersion("bl-version", "Version bytes (hex, 4 digits).", "hex");
    const QCommandLineOption blLate("bl-late-ms", "Delay of late answers.", "ms", "800");
    const QCommandLineOption blWords("bl-flash-words", "Program words of the chip.", "n");
    const QCommandLineOption fault("fault", "Bootloader fault kind:command:n (repeatable).", "f");
    parser.addOptions({bootloader, blName, blRevision, blVersion, blLate, blWords, fault});
    const FamilyProtocol::CommandLine family(parser);
    parser.process(app);

    StreamOptions options;
    options.baud = parser.value(baud).toInt();
    options.rate = parser.isSet(rate) || options.baud <= 0 ? parser.value(rate).toDouble()
                                                           : options.baud / 100.0;
    options.split = parser.isSet(split);
    options.garbage = parser.value(garbage).toDouble();
    options.corrupt = parser.value(corrupt).toDouble();
    options.markers = parser.value(markers).toDouble();
    options.seed = parser.value(seed).toUInt();
    options.tickMs = parser.value(tick).toInt();
    options.recordPath = parser.value(record);
    const auto period = SimulationCommand::PeriodeSimulation(parser.value(rpm).toInt());

    SimulatedModule module(options, period.value_or(1250));
    if (parser.isSet(bootloader)) {
        BootloaderOptions bl;
        bl.baud = options.baud;
        if (parser.isSet(blName))
            bl.name = parser.value(blName).toLatin1();
        if (parser.isSet(blRevision))
            bl.revision = uint8_t(parser.value(blRevision).toUInt(nullptr, 16));
        if (parser.isSet(blVersion)) {
            const uint v = parser.value(blVersion).toUInt(nullptr, 16);
            bl.version[0] = uint8_t(v >> 8);
            bl.version[1] = uint8_t(v & 0xFF);
        }
        bl.lateMs = parser.value(blLate).toInt();
        if (parser.isSet(blWords))
            bl.flashWords = parser.value(blWords).toInt(nullptr, 0);
        for (const QString &text : parser.values(fault)) {
            const std::optional<BootloaderFault> f = BootloaderFault::parse(text);
            if (!f) {
                std::fprintf(stderr, "vek_module_sim: bad fault %s\n", qPrintable(text));
                return 1;
            }
            bl.faults << *f;
        }
        module.useProtocol(std::make_unique<BootloaderProtocol>(bl));
        prctl(PR_SET_TIMERSLACK, 1UL); // pacing sleeps end on time
    }
    QString error;
    if (!module.start(&error)) {
        std::fprintf(stderr, "vek_module_sim: %s\n", qPrintable(error));
        return 1;
    }
    if (auto handler = family.protocol(parser))
        module.useProtocol(std::move(handler));
    module.report(QStringLiteral("PTY %1").arg(module.slavePath()));
    if (parser.isSet(stream))
        module.startStream(0);
    return app.exec();
}
