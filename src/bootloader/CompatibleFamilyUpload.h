#pragma once

#include "base/Jobs.h"
#include "platform/ByteLink.h"

#include <QString>

#include <array>
#include <cstdint>
#include <utility>

// The two lookup tables of a compatible-family module, in reception order, and
// the two texts the module keeps at the start of its low table.
struct CompatibleFamilyTables {
    static constexpr int TableSize = 256;
    std::array<uint8_t, TableSize> basse{}; // low table
    std::array<uint8_t, TableSize> haute{}; // high table

    // Low entries 5 to 12 and 13 to 52, one Windows-1252 character per byte.
    QString texte8() const;
    QString texte40() const;
};

// The bar's text before the percentage while each table comes, looked up on
// the GUI thread before the upload starts.
struct FamilyUploadTexts {
    QString lowTable;
    QString highTable;

    // The texts of the current language (GUI thread only).
    static FamilyUploadTexts load();
};

// How an upload ended. Every end but Complete is a stop of the upload.
enum class FamilyUploadEnd {
    Complete,    // 512 bytes, byte 1 was 0x82
    NoAnswer,    // not a single byte within the time limit
    ShortStream, // the module went quiet before byte 512
    WrongMarker, // byte 1 was not 0x82: not a table stream
    Cancelled,   // the user cancelled
    LinkFailed,  // the port failed or went away
};

// Asks a compatible-family module for its tables ("R" four times, each written
// on its own) and takes its raw answer: 256 bytes of the low table, then 256 of
// the high table, no frames and no checksum. Byte 1 must be 0x82. Each byte must
// come within a time limit, and a cancel ends the wait within a short slice.
// Run off the GUI thread as a job; the owner reads the result once it ends.
class CompatibleFamilyUpload
{
public:
    static constexpr int StreamSize = 2 * CompatibleFamilyTables::TableSize;
    static constexpr uint8_t Marker = 0x82;
    static constexpr qint64 DefaultByteTimeoutMs = 1000;
    static constexpr qint64 CancelSliceMs = 50;
    static constexpr qsizetype ReadChunk = 16;

    explicit CompatibleFamilyUpload(ByteLink &link, qint64 byteTimeoutMs = DefaultByteTimeoutMs,
                                    FamilyUploadTexts texts = {})
        : m_link(link), m_byteTimeoutMs(byteTimeoutMs), m_texts(std::move(texts))
    {}

    // The exchange. How it ended is end(), not the outcome's code (which stays
    // the protocol's); the message is empty: the window words the end in the
    // user's language.
    JobOutcome operator()(ProgressSink &progress, const CancelToken &cancel);

    FamilyUploadEnd end() const { return m_end; }
    int received() const { return int(m_bytes.size()); } // bytes taken, 0 to 512
    uint8_t markerSeen() const { return m_bytes.size() > 1 ? uint8_t(m_bytes[1]) : 0; }
    const DeviceFailure &linkFailure() const { return m_linkFailure; }
    // Filled when end() is Complete.
    const CompatibleFamilyTables &tables() const { return m_tables; }

    // Bar 1 at byte `index` (0 to 511): its text and its percentage, rounded
    // half to even (12 at byte 64, 62 at byte 320).
    static QString progressText(int index, const FamilyUploadTexts &texts = {});
    static int progressPercent(int index);

private:
    JobOutcome finish(FamilyUploadEnd end);
    bool request();
    FamilyUploadEnd receive(ProgressSink &progress, const CancelToken &cancel);
    void reportFrom(int first, ProgressSink &progress);

    ByteLink &m_link;
    qint64 m_byteTimeoutMs;
    FamilyUploadTexts m_texts;
    QByteArray m_bytes;
    CompatibleFamilyTables m_tables;
    FamilyUploadEnd m_end = FamilyUploadEnd::NoAnswer;
    DeviceFailure m_linkFailure;
    int m_lastPercent = -1; // what bar 1 shows, to send only changes
    bool m_lastHighTable = false;
};
