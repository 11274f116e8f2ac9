#include "firmware/AssemblerOutputs.h"

#include "base/BoundedFile.h"
#include "base/FileRefusal.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/HexFiles.h"
#include "icsp/PicDevice.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <set>
#include <vector>

using VEK_LANGUAGE::LangKey;

namespace AssemblerOutputs {

namespace {

// Far above the outputs of any firmware this program builds.
constexpr qint64 MaxOutputBytes = 64 * 1024 * 1024;

// The symbol file: blocks of 512 bytes; a directory block begins with the
// 128 block numbers of the code image, holds the first and last block of each
// table at these offsets and the number of the next directory block (0: none).
constexpr int CodBlock = 512;
constexpr int CodCodeIndexWords = 128;
constexpr int CodTables[] = {426, 430, 434, 443, 447, 462, 466};
constexpr int CodNextDirectory = 441;

int littleEndian16(const QByteArray &bytes, qsizetype at)
{
    return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8;
}

// Every block the directory at block `dir` names lies within `blocks`.
bool directoryWhole(const QByteArray &bytes, int dir, int blocks)
{
    const qsizetype base = qsizetype(dir) * CodBlock;
    for (int i = 0; i < CodCodeIndexWords; ++i)
        if (littleEndian16(bytes, base + 2 * i) >= blocks)
            return false;
    for (const int table : CodTables)
        if (littleEndian16(bytes, base + table) >= blocks ||
            littleEndian16(bytes, base + table + 2) >= blocks)
            return false;
    return true;
}

bool symbolFileWhole(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() % CodBlock != 0)
        return false;
    const int blocks = int(bytes.size() / CodBlock);
    std::set<int> seen;
    for (int dir = 0; seen.insert(dir).second;) {
        if (!directoryWhole(bytes, dir, blocks))
            return false;
        const int next = littleEndian16(bytes, qsizetype(dir) * CodBlock + CodNextDirectory);
        if (next == 0)
            return true;
        if (next >= blocks)
            return false;
        dir = next;
    }
    return false; // directories that lead round in a circle
}

QString refused(const char *key, const QString &shown, const QStringList &more = {})
{
    return FileRefusal::OfFile(LangKey(key), shown, more);
}

// The output `made`, read and checked; its bytes, or the problem naming `shown`.
struct Checked {
    QByteArray bytes;
    QString problem;
};

Checked check(const QString &extension, const QString &made, const QString &shown)
{
    const BoundedFile::Read read = BoundedFile::readAll(made, MaxOutputBytes);
    if (!read.ok)
        return {{},
                refused("MessHexLectureImpossible", shown,
                        {"%RAISON%", BoundedFile::userReason(read)})};
    if (extension == QLatin1String("lst"))
        return {read.bytes, ListingProblem(read.bytes, shown)};
    if (extension == QLatin1String("cod"))
        return {read.bytes, SymbolFileProblem(read.bytes, shown)};
    return {read.bytes, HexProblem(made, shown)};
}

} // namespace

QString ListingProblem(const QByteArray &bytes, const QString &shown)
{
    // The count of messages is the listing's last line; a form feed may follow.
    static const QRegularExpression lastLine(QStringLiteral("(^|\\n)Messages\\s*:[^\\n]*\\s*$"));
    if (lastLine.match(QString::fromLatin1(bytes)).hasMatch())
        return {};
    return refused("MessAsmListeCoupee", shown);
}

QString SymbolFileProblem(const QByteArray &bytes, const QString &shown)
{
    if (symbolFileWhole(bytes))
        return {};
    return refused("MessAsmCodCoupe", shown, {"{OCTETS}", QString::number(bytes.size())});
}

QString HexProblem(const QString &file, const QString &shown)
{
    // No chip: the file is read for its records alone, wherever its words lie.
    PicDevice none;
    const HexFileResult read = LireFichierHex(none, file, shown);
    return read.succeeded() ? QString() : read.info;
}

Delivery Deliver(const QString &scratch, const QString &projectFolder, const QString &base,
                 bool built)
{
    Delivery out;
    std::vector<std::pair<QString, QByteArray>> outputs; // target, bytes
    for (const QString &extension : Extensions) {
        const QString name = base + QLatin1Char('.') + extension;
        const QString made = QDir(scratch).filePath(name);
        const QString target = QDir::toNativeSeparators(QDir(projectFolder).filePath(name));
        if (!QFileInfo::exists(made)) {
            if (!built)
                continue;
            out.problem = refused("MessAsmSortieAbsente", target);
            return out;
        }
        Checked checked = check(extension, made, target);
        if (!checked.problem.isEmpty()) {
            out.problem = checked.problem;
            return out;
        }
        outputs.emplace_back(target, std::move(checked.bytes));
    }
    for (const auto &[target, bytes] : outputs) {
        // The HEX file is the one the program opens again: read back as it will be.
        FileWriter::ReadBack readBack;
        if (target.endsWith(QLatin1String(".hex")))
            readBack = {FileWriter::Kind::Hex, [shown = target](const QString &back) {
                            return HexProblem(back, shown).isEmpty() ? QString()
                                                                     : FileWriter::ReadOtherwise();
                        }};
        const FileWriter::Result written =
            FileWriter::WriteWhole(target, bytes, FileWriter::Existing::Replace, readBack);
        if (!written) {
            out.problem = refused("MessAsmEcriture", target, {"%RAISON%", written.reason});
            return out;
        }
        out.written << target;
    }
    return out;
}

} // namespace AssemblerOutputs
