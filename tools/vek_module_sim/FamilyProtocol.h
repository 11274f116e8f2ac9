#pragma once

#include "ProtocolHandler.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

// The module of the compatible family: a burst of "R" bytes (the program sends
// four, each on its own) asks for its two tables, and it answers once per burst
// with a raw stream of 256 + 256 bytes, no frame, no checksum. Faults on request:
// another byte where 0x82 belongs, fewer bytes than 512, silence, a pause after
// the low table.
class FamilyProtocol : public ProtocolHandler
{
public:
    struct Options {
        uint8_t marker = 0x82;        // byte 1 of the low table
        int length = 512;             // bytes sent per answer (fewer: a short stream)
        int pauseMs = 0;              // silence between the low and the high table
        QByteArray name = "MIRT 2.1"; // low bytes 5 to 12 (Windows-1252)
        QByteArray text = "Allumage compatible, courbe n\xB0"
                          "1 (essai)";
    };
    // "R" bytes closer together than this belong to the same burst.
    static constexpr qint64 BurstGapMs = 300;

    // The simulator's options for this mode: --family and its faults.
    class CommandLine
    {
    public:
        explicit CommandLine(QCommandLineParser &parser);
        // The handler when --family was given, else null.
        std::unique_ptr<FamilyProtocol> protocol(const QCommandLineParser &parser) const;

    private:
        QCommandLineOption m_family, m_marker, m_length, m_silent, m_pause, m_name, m_text;
    };

    explicit FamilyProtocol(const Options &options);

    void onBytes(const QByteArray &bytes, ModuleLine &line) override;
    // The full 512-byte answer before any cut; marker bytes ("R", 0x82) also
    // appear inside the data, as they may in real tables.
    QByteArray tables() const;

private:
    // The module's 9600 baud: about ten bytes every 10 ms.
    static constexpr int TickMs = 10;
    static constexpr qsizetype BytesPerTick = 10;

    void answer(ModuleLine &line);
    void paceNext();

    Options m_options;
    QElapsedTimer m_lastRequest;
    QTimer m_pace;
    QByteArray m_pending; // the answer being sent
    qsizetype m_sent = 0;
    ModuleLine *m_line = nullptr;
};
