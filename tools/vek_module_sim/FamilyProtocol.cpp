#include "FamilyProtocol.h"

#include <QTimer>

namespace {

// `text` cut or padded with blanks to `size` bytes.
QByteArray fitted(const QByteArray &text, int size)
{
    return text.left(size).leftJustified(size, ' ');
}

} // namespace

FamilyProtocol::CommandLine::CommandLine(QCommandLineParser &parser)
    : m_family("family", "Play a module of the compatible family (table upload)."),
      m_marker("family-marker", "Byte 1 of the low table, in hex.", "hex", "82"),
      m_length("family-length", "Bytes per answer (under 512: a short stream).", "n", "512"),
      m_silent("family-silent", "Never answer."),
      m_pause("family-pause-ms", "Silence between the two tables.", "ms", "0"),
      m_name("family-name", "8-character text of the low table.", "text"),
      m_text("family-text", "40-character text of the low table.", "text")
{
    parser.addOptions({m_family, m_marker, m_length, m_silent, m_pause, m_name, m_text});
}

std::unique_ptr<FamilyProtocol>
FamilyProtocol::CommandLine::protocol(const QCommandLineParser &parser) const
{
    if (!parser.isSet(m_family))
        return nullptr;
    Options options;
    options.marker = uint8_t(parser.value(m_marker).toUInt(nullptr, 16));
    options.length = parser.isSet(m_silent) ? 0 : parser.value(m_length).toInt();
    options.pauseMs = parser.value(m_pause).toInt();
    if (parser.isSet(m_name))
        options.name = parser.value(m_name).toLatin1();
    if (parser.isSet(m_text))
        options.text = parser.value(m_text).toLatin1();
    return std::make_unique<FamilyProtocol>(options);
}

FamilyProtocol::FamilyProtocol(const Options &options) : m_options(options)
{
    m_pace.setInterval(TickMs);
    m_pace.callOnTimeout([this] { paceNext(); });
}

QByteArray FamilyProtocol::tables() const
{
    QByteArray low(256, '\0');
    QByteArray high(256, '\0');
    for (int i = 0; i < 256; ++i) {
        low[i] = char((i * 7 + 3) & 0xFF);
        high[i] = char(0xFF - i);
    }
    low[0] = 'R';
    low[1] = char(m_options.marker);
    low[2] = char(0x82);
    low.replace(5, 8, fitted(m_options.name, 8));
    low.replace(13, 40, fitted(m_options.text, 40));
    low[60] = 'R';
    high[17] = char(0x82);
    return low + high;
}

void FamilyProtocol::onBytes(const QByteArray &bytes, ModuleLine &line)
{
    for (char c : bytes) {
        if (c != 'R') {
            line.report(QStringLiteral("IGNORED %1").arg(uint8_t(c)));
            continue;
        }
        const bool sameBurst = m_lastRequest.isValid() && m_lastRequest.elapsed() < BurstGapMs;
        m_lastRequest.start();
        if (!sameBurst)
            answer(line);
    }
}

void FamilyProtocol::answer(ModuleLine &line)
{
    m_pending = tables().left(qMax(0, m_options.length));
    m_sent = 0;
    m_line = &line;
    line.report(QStringLiteral("FAMILY ANSWER %1 %2")
                    .arg(m_pending.size())
                    .arg(QString(m_pending.toHex())));
    if (!m_pending.isEmpty() && !m_pace.isActive())
        m_pace.start();
}

// One tick's worth of bytes at the module's 9600 baud; a pause after the low table.
void FamilyProtocol::paceNext()
{
    qsizetype end = qMin(m_sent + BytesPerTick, m_pending.size());
    if (m_sent < 256 && end > 256)
        end = 256;
    m_line->send(m_pending.mid(m_sent, end - m_sent));
    m_sent = end;
    if (m_sent == m_pending.size()) {
        m_pace.stop();
    } else if (m_sent == 256 && m_options.pauseMs > 0) {
        m_pace.stop();
        QTimer::singleShot(m_options.pauseMs, [this] { m_pace.start(); });
    }
}
