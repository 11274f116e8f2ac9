// Simulated ignition module on a pseudo-terminal, for tests and benchmarks.
// Prints "PTY <path>" (the device the program should open), then streams live
// frames and answers the program's commands; see SimulatedModule.h for the
// control commands read from standard input.
#include "FamilyProtocol.h"
#include "SimulatedModule.h"
#include "live/SimulationCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

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
    const QCommandLineOption corrupt("corrupt", "Chance per frame of a bad checksum.", "p", "0");
    const QCommandLineOption seed("seed", "Random seed.", "n", "1");
    const QCommandLineOption tick("tick-ms", "Pacing step in ms.", "ms", "1");
    const QCommandLineOption rpm("rpm", "Engine speed of the own stream.", "rpm", "3000");
    const QCommandLineOption record("record", "Write every frame sent to this file.", "file");
    const QCommandLineOption stream("stream", "Stream at once, until told to stop.");
    parser.addOptions({rate, baud, split, garbage, corrupt, seed, tick, rpm, record, stream});
    const FamilyProtocol::CommandLine family(parser);
    parser.process(app);

    StreamOptions options;
    options.baud = parser.value(baud).toInt();
    options.rate = parser.isSet(rate) || options.baud <= 0 ? parser.value(rate).toDouble()
                                                           : options.baud / 100.0;
    options.split = parser.isSet(split);
    options.garbage = parser.value(garbage).toDouble();
    options.corrupt = parser.value(corrupt).toDouble();
    options.seed = parser.value(seed).toUInt();
    options.tickMs = parser.value(tick).toInt();
    options.recordPath = parser.value(record);
    const auto period = SimulationCommand::PeriodeSimulation(parser.value(rpm).toInt());

    SimulatedModule module(options, period.value_or(1250));
    QString error;
    if (!module.start(&error)) {
        std::fprintf(stderr, "vek_module_sim: %s\n", qPrintable(error));
        return 1;
    }
    if (auto handler = family.protocol(parser))
        module.useHandler(std::move(handler));
    module.report(QStringLiteral("PTY %1").arg(module.slavePath()));
    if (parser.isSet(stream))
        module.startStream(0);
    return app.exec();
}
