// Archives from anywhere (packages, projects): listing and extraction must stay
// inside the target folder whatever the bytes, and within the archive's bound,
// also when many entries share one member's data.
#include "FuzzSupport.h"
#include "firmware/ccZip.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdlib>

namespace {

constexpr int64_t TotalLimit = 4 << 20;

void extract(const QByteArray &bytes)
{
    FuzzScratchFile file(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()),
                         QStringLiteral("input.zip"));
    const QString scratch = QFileInfo(file.path()).absolutePath();
    const QString target = scratch + QStringLiteral("/out/deep");
    ccZip zip;
    zip.Init(file.path());
    zip.setMemberSizeLimit(1 << 20);
    zip.setTotalSizeLimit(TotalLimit);
    for (int i = 1; i <= zip.count() && i <= 4; ++i)
        zip.Decompress(target, zip.GetFile(i));
    zip.Decompress(target, QString());

    // Nothing but the input and the target folder may appear beside the input,
    // nothing under the target may be a link, and no more than the bound is there.
    const QStringList beside =
        QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : beside)
        if (name != QStringLiteral("input.zip") && name != QStringLiteral("out"))
            std::abort();
    const QStringList outside =
        QDir(scratch + QStringLiteral("/out"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (outside.size() > 1 || (outside.size() == 1 && outside.first() != QStringLiteral("deep")))
        std::abort();
    int64_t unpacked = 0;
    QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo found(it.next());
        if (found.isSymLink())
            std::abort();
        unpacked += found.isFile() ? found.size() : 0;
    }
    if (unpacked > TotalLimit)
        std::abort();
    QDir(scratch + QStringLiteral("/out")).removeRecursively();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    extract(bytes);
    const QByteArray shared = withSharedData(bytes);
    if (!shared.isEmpty())
        extract(shared);
    return 0;
}
