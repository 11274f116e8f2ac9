// Archives from anywhere (packages, projects): listing and extraction must stay
// inside the target folder whatever the bytes.
#include "FuzzSupport.h"
#include "firmware/ccZip.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzScratchFile file(data, size, QStringLiteral("input.zip"));
    const QString scratch = QFileInfo(file.path()).absolutePath();
    const QString target = scratch + QStringLiteral("/out/deep");
    ccZip zip;
    zip.Init(file.path());
    zip.setMemberSizeLimit(1 << 20);
    for (int i = 1; i <= zip.count() && i <= 4; ++i)
        zip.Decompress(target, zip.GetFile(i));
    zip.Decompress(target, QString());

    // Nothing but the input and the target folder may appear beside the input,
    // and nothing under the target may be a link.
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
    QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (QFileInfo(it.next()).isSymLink())
            std::abort();
    QDir(scratch + QStringLiteral("/out")).removeRecursively();
    return 0;
}
