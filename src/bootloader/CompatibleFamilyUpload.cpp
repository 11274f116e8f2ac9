#include "bootloader/CompatibleFamilyUpload.h"

#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int TexteCourtDebut = 5, TexteCourtTaille = 8;
constexpr int TexteLongDebut = 13, TexteLongTaille = 40;

QString texteDepuis(const std::array<uint8_t, 256> &table, int first, int size)
{
    return TextEncoding::decodeWindows1252(
        QByteArray(reinterpret_cast<const char *>(table.data()) + first, size));
}

} // namespace

QString CompatibleFamilyTables::texte8() const
{
    return texteDepuis(basse, TexteCourtDebut, TexteCourtTaille);
}

QString CompatibleFamilyTables::texte40() const
{
    return texteDepuis(basse, TexteLongDebut, TexteLongTaille);
}

FamilyUploadTexts FamilyUploadTexts::load()
{
    // "Lecture de la table basse..." and "octets" give
    // "Lecture de la table basse (512) octets : ".
    const QString bytes = VEK_LANGUAGE::GetLanguageText("Bytes");
    const auto text = [&bytes](const char *key) {
        QString table = VEK_LANGUAGE::GetLanguageText(key);
        while (table.endsWith(QLatin1Char('.')) || table.endsWith(QChar(0x2026)))
            table.chop(1);
        return table.trimmed() + QStringLiteral(" (512) ") + bytes + QStringLiteral(" : ");
    };
    return {text("BPimportTreateCurrentLTAB"), text("BPimportTreateCurrentHTAB")};
}

QString CompatibleFamilyUpload::progressText(int index, const FamilyUploadTexts &texts)
{
    return index < CompatibleFamilyTables::TableSize ? texts.lowTable : texts.highTable;
}

int CompatibleFamilyUpload::progressPercent(int index)
{
    return int(std::nearbyint(index * 100.0 / StreamSize));
}

JobOutcome CompatibleFamilyUpload::operator()(ProgressSink &progress, const CancelToken &cancel)
{
    m_bytes.clear();
    m_tables = {};
    m_lastPercent = -1;
    m_lastHighTable = false;
    reportFrom(0, progress);
    if (!request())
        return finish(FamilyUploadEnd::LinkFailed);
    const FamilyUploadEnd end = receive(progress, cancel);
    if (end == FamilyUploadEnd::Complete) {
        const auto *data = reinterpret_cast<const uint8_t *>(m_bytes.constData());
        std::copy_n(data, CompatibleFamilyTables::TableSize, m_tables.basse.begin());
        std::copy_n(data + CompatibleFamilyTables::TableSize, CompatibleFamilyTables::TableSize,
                    m_tables.haute.begin());
    }
    return finish(end);
}

bool CompatibleFamilyUpload::request()
{
    m_link.discardInput(); // what a previous exchange left
    for (int i = 0; i < 4; ++i) {
        if (const auto written = m_link.write(QByteArrayLiteral("R"));
            written != ByteLink::Status::Ok) {
            m_linkFailure = m_link.failureOf(written);
            return false;
        }
    }
    return true;
}

// Reads in slices so that a cancel is seen quickly; the silence before each new
// byte is bounded by the byte time limit. The first two bytes are read alone so
// that a wrong marker stops the upload without waiting for the rest; then small
// chunks keep the bar moving on a fast line.
FamilyUploadEnd CompatibleFamilyUpload::receive(ProgressSink &progress, const CancelToken &cancel)
{
    qint64 quietMs = 0;
    while (m_bytes.size() < StreamSize) {
        if (cancel.cancelled())
            return FamilyUploadEnd::Cancelled;
        const qsizetype before = m_bytes.size();
        const qsizetype target =
            before < 2 ? 2 : std::min<qsizetype>(before + ReadChunk, StreamSize);
        const qint64 slice = std::min(CancelSliceMs, m_byteTimeoutMs - quietMs);
        const ByteLink::Status status = m_link.read(m_bytes, target - before, slice);
        if (status == ByteLink::Status::Closed || status == ByteLink::Status::Failed) {
            m_linkFailure = m_link.failureOf(status);
            m_bytes.truncate(std::min<qsizetype>(m_bytes.size(), StreamSize));
            return FamilyUploadEnd::LinkFailed;
        }
        if (m_bytes.size() > before) {
            quietMs = 0;
            if (before < 2 && m_bytes.size() >= 2 && uint8_t(m_bytes[1]) != Marker)
                return FamilyUploadEnd::WrongMarker;
            reportFrom(int(std::min<qsizetype>(m_bytes.size(), StreamSize - 1)), progress);
        } else if ((quietMs += slice) >= m_byteTimeoutMs) {
            return m_bytes.isEmpty() ? FamilyUploadEnd::NoAnswer : FamilyUploadEnd::ShortStream;
        }
    }
    return FamilyUploadEnd::Complete;
}

// The bar as it stands before byte `index` is awaited; only changes are sent.
void CompatibleFamilyUpload::reportFrom(int index, ProgressSink &progress)
{
    const int percent = progressPercent(index);
    const bool highTable = index >= CompatibleFamilyTables::TableSize;
    if (percent == m_lastPercent && highTable == m_lastHighTable)
        return;
    m_lastPercent = percent;
    m_lastHighTable = highTable;
    progress.setBar(1, percent, progressText(index, m_texts));
}

JobOutcome CompatibleFamilyUpload::finish(FamilyUploadEnd end)
{
    m_end = end;
    switch (end) {
    case FamilyUploadEnd::Complete:
        return JobOutcome::success();
    case FamilyUploadEnd::Cancelled:
        return JobOutcome::cancelled({});
    default:
        return JobOutcome::failure({});
    }
}
