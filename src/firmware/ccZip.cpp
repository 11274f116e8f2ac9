#include "firmware/ccZip.h"

#include "base/BoundedFile.h"
#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr qsizetype MaxListedNameLength = 256;
constexpr zip_uint16_t MaxCommentBytes = 0xFFFF;

struct ReadHandleCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ReadHandle = std::unique_ptr<zip_t, ReadHandleCloser>;

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString slashed(const QString &name)
{
    return QString(name).replace('\\', '/');
}

QString entryName(zip_t *archive, zip_uint64_t index)
{
    const char *raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    return raw ? TextEncoding::decodeText(QByteArray(raw)) : QString();
}

bool storedAsLink(zip_t *archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// Name by which members are told apart: folder parts kept, "." parts and
// separators of no meaning dropped, without regard to case.
QString memberKey(const QString &name)
{
    QStringList parts = slashed(name).split('/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    return parts.join('/').toCaseFolded();
}

QString totalExceeded(const QString &name, int64_t limit)
{
    return QStringLiteral("%1: refused, the archive unpacks to more than %2 bytes\n")
        .arg(name)
        .arg(limit);
}

// Name a file is stored under when folder parts are kept: relative, without
// leading "/" or "." and ".." parts.
QString storedName(const QString &path)
{
    QStringList parts = slashed(path).split('/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    parts.removeAll(QStringLiteral(".."));
    return parts.join('/');
}

// An archive is written from its first byte: one that begins as an archive and
// lacks its end was cut short.
bool beginsAsArchive(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

QString text(const char *key)
{
    return VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(key));
}

// "cannot be read" or "cannot be written", then the system's reason when there is one.
QString withCause(ccZip::Direction direction, const QString &cause)
{
    const QString words = text(direction == ccZip::Direction::Writing
                                   ? VEK_LANGUAGE::LangKey("RaisonEcritureImpossible")
                                   : VEK_LANGUAGE::LangKey("RaisonLectureImpossible"));
    return cause.isEmpty() ? words : words + QStringLiteral(" (") + cause + QLatin1Char(')');
}

} // namespace

QString ccZip::FailureReason(Direction direction, int systemError)
{
    return withCause(direction,
                     systemError == 0
                         ? QString()
                         : FileFailureReason::wording(
                               systemError, QString::fromLocal8Bit(std::strerror(systemError))));
}

QString ccZip::ErrorReason(int zipError, int systemError, Direction direction,
                           const QString &archive)
{
    switch (zipError) {
    case ZIP_ER_NOZIP:
        return text(!archive.isEmpty() && beginsAsArchive(archive)
                        ? VEK_LANGUAGE::LangKey("RaisonArchiveTronquee")
                        : VEK_LANGUAGE::LangKey("RaisonPasUneArchive"));
    case ZIP_ER_OPNOTSUPP: // a folder, a device
        return text(VEK_LANGUAGE::LangKey("RaisonPasUneArchive"));
    case ZIP_ER_EOF:
        return text(VEK_LANGUAGE::LangKey("RaisonArchiveTronquee"));
    case ZIP_ER_MULTIDISK:
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_INCONS:
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_COMPRESSED_DATA:
        return text(VEK_LANGUAGE::LangKey("RaisonArchiveEndommagee"));
    case ZIP_ER_NOENT:
        return FailureReason(Direction::Reading, ENOENT);
    case ZIP_ER_WRITE:
    case ZIP_ER_TMPOPEN:
    case ZIP_ER_RENAME:
    case ZIP_ER_CLOSE:
    case ZIP_ER_REMOVE:
    case ZIP_ER_EXISTS:
    case ZIP_ER_RDONLY:
        return FailureReason(Direction::Writing, systemError);
    default:
        break;
    }
    return FailureReason(direction, systemError);
}

void ccZip::failed(const QString &reason)
{
    if (m_reason.isEmpty())
        m_reason = reason;
}

// The reason of a failure of ccZip's own, where none was given on the way.
void ccZip::failedWith(int32_t status)
{
    switch (status) {
    case ZipErrUnsafe:
    case ZipErrTooLarge:
        failed(text(VEK_LANGUAGE::LangKey("RaisonArchiveRefusee")));
        break;
    case ZipErrMember:
        failed(text(VEK_LANGUAGE::LangKey("RaisonArchiveEndommagee")));
        break;
    case ZipErrWrite:
        failed(withCause(Direction::Writing, QString()));
        break;
    default:
        break;
    }
}

void ccZip::failedOn(const zip_error *error, Direction direction, const QString &archive)
{
    // zip_open reports no system error: opening the file again finds it.
    int system = zip_error_code_system(error);
    if (zip_error_system_type(error) != ZIP_ET_SYS)
        system = 0;
    if (zip_error_code_zip(error) == ZIP_ER_OPEN && system == 0 && !archive.isEmpty()) {
        QFile file(archive);
        if (!file.open(QIODevice::ReadOnly)) {
            failed(withCause(Direction::Reading, FileFailureReason::of(file)));
            return;
        }
    }
    failed(ErrorReason(zip_error_code_zip(error), system, direction, archive));
}

bool ccZip::isSafeMemberName(const QString &name)
{
    const QString path = slashed(name);
    if (path.isEmpty() || path.startsWith('/'))
        return false;
    if (path.size() >= 2 && path.at(1) == ':' && path.at(0).isLetter())
        return false; // drive letter
    return !path.split('/').contains(QStringLiteral(".."));
}

void ccZip::Init(const QString &iName)
{
    ViderListe();
    m_name = iName;
    m_reason.clear();
    m_unpacked = 0;
    m_totalReached = false;
    if (QFileInfo(iName).isFile()) {
        m_info.clear();
        if (archiveTooLarge(iName)) {
            m_level = 5;
            return;
        }
        int error = 0;
        ReadHandle archive(zip_open(nativePath(iName).constData(), ZIP_RDONLY, &error));
        if (archive) {
            if (!tooManyMembers(archive.get())) {
                ListerArchive(archive.get());
                ListerArchiveCommentaire(archive.get());
            }
        } else {
            zip_error_t details;
            zip_error_init_with_code(&details, error);
            note(QStringLiteral("%1: %2\n").arg(iName, zip_error_strerror(&details)));
            failedOn(&details, Direction::Reading, iName);
            zip_error_fini(&details);
        }
    }
    m_level = 5;
}

// Notes and says whether the archive is beyond what is ever listed or unpacked.
bool ccZip::archiveTooLarge(const QString &path)
{
    if (QFileInfo(path).size() <= MaxArchiveBytes)
        return false;
    note(QStringLiteral("%1: larger than %2 bytes, not read\n").arg(path).arg(MaxArchiveBytes));
    failed(text(VEK_LANGUAGE::LangKey("RaisonArchiveRefusee")));
    return true;
}

// Entries may share their data, so their number is bounded apart from the size.
bool ccZip::tooManyMembers(zip *archive)
{
    if (zip_get_num_entries(archive, 0) <= MaxMembers)
        return false;
    note(QStringLiteral("%1: more than %2 members, not read\n").arg(m_name).arg(MaxMembers));
    failed(text(VEK_LANGUAGE::LangKey("RaisonArchiveRefusee")));
    return true;
}

void ccZip::ListerArchive(zip *archive)
{
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const QString name = entryName(archive, zip_uint64_t(i)).left(MaxListedNameLength);
        m_members.append(name);
        note(name + '\n');
    }
}

void ccZip::ListerArchiveCommentaire(zip *archive)
{
    int length = 0;
    const char *raw = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_RAW);
    if (!raw || length <= 0)
        return; // no comment: the one set before stays
    m_comment = TextEncoding::decodeText(QByteArray(raw, length));
    note(m_comment + '\n');
}

QString ccZip::GetFile(int32_t lIndex) const
{
    if (lIndex < 1 || lIndex > count())
        return {};
    return m_members.at(lIndex - 1);
}

int32_t ccZip::AddFile(const QString &sPath, int16_t bRecurse, int16_t bJunkDir)
{
    const QFileInfo info(sPath);
    QList<QPair<QString, QString>> files; // path on disk, name in the archive
    if (info.isFile()) {
        files.append({sPath, bJunkDir ? info.fileName() : storedName(sPath)});
    } else if (info.isDir() && bRecurse) {
        const QString base = info.absolutePath(); // names keep the folder itself
        QDirIterator it(sPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo file(it.next());
            files.append(
                {file.filePath(), bJunkDir ? file.fileName()
                                           : QDir(base).relativeFilePath(file.absoluteFilePath())});
        }
        std::sort(files.begin(), files.end());
    }
    if (files.isEmpty()) {
        note(QStringLiteral("%1: nothing to add\n").arg(sPath));
        failed(FailureReason(Direction::Reading, ENOENT));
        return ZipErrNotFound;
    }
    return addFiles(files);
}

namespace {

// The bytes an archive built in memory holds once closed.
bool takeBytes(zip_source_t *source, QByteArray &bytes)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size > zip_uint64_t(ccZip::MaxArchiveBytes) || zip_source_open(source) != 0)
        return false;
    bytes.resize(qsizetype(stat.size));
    const zip_int64_t got = zip_source_read(source, bytes.data(), stat.size);
    zip_source_close(source);
    return got == zip_int64_t(stat.size);
}

} // namespace

// The archive is built in memory, from the older one when there is one, and
// written whole: the older archive stays as it was until the new one is complete.
int32_t ccZip::addFiles(const QList<QPair<QString, QString>> &files)
{
    QByteArray older;
    if (QFileInfo::exists(m_name)) {
        BoundedFile::Read read = BoundedFile::readAll(m_name, MaxArchiveBytes);
        if (!read.ok) {
            note(QStringLiteral("%1: %2\n")
                     .arg(m_name, read.tooLarge ? QStringLiteral("too large")
                                                : BoundedFile::userReason(read)));
            failed(read.tooLarge ? text(VEK_LANGUAGE::LangKey("RaisonArchiveRefusee"))
                                 : withCause(Direction::Reading, BoundedFile::userReason(read)));
            return ZipErrArchive;
        }
        older = std::move(read.bytes);
    }
    zip_error_t openError;
    zip_error_init(&openError);
    // libzip owns a copy of the older bytes: when it keeps their unchanged start
    // in the new archive it frees them itself.
    void *copy = nullptr;
    if (!older.isEmpty()) {
        copy = std::malloc(size_t(older.size()));
        if (copy)
            std::memcpy(copy, older.constData(), size_t(older.size()));
    }
    zip_source_t *buffer =
        older.isEmpty() || copy
            ? zip_source_buffer_create(copy, zip_uint64_t(older.size()), 1, &openError)
            : nullptr;
    if (!buffer)
        std::free(copy);
    zip_t *archive = nullptr;
    if (buffer)
        archive = zip_open_from_source(buffer, ZIP_CREATE, &openError);
    if (!archive) {
        note(QStringLiteral("%1: %2\n").arg(m_name, zip_error_strerror(&openError)));
        failedOn(&openError, Direction::Writing, m_name);
        zip_error_fini(&openError);
        if (buffer)
            zip_source_free(buffer);
        return ZipErrArchive;
    }
    zip_error_fini(&openError);
    zip_source_keep(buffer); // its bytes are read after the archive is closed
    using BufferHandle = std::unique_ptr<zip_source_t, decltype(&zip_source_free)>;
    const BufferHandle kept(buffer, &zip_source_free);
    const int32_t level = std::clamp(m_level, 0, 9);
    for (const auto &[path, memberName] : files) {
        zip_error_t sourceError;
        zip_error_init(&sourceError);
        zip_source_t *source =
            zip_source_file_create(nativePath(path).constData(), 0, -1, &sourceError);
        const zip_int64_t index = source ? zip_file_add(archive, memberName.toUtf8().constData(),
                                                        source, ZIP_FL_OVERWRITE)
                                         : -1;
        if (index < 0) {
            note(QStringLiteral("%1: %2\n")
                     .arg(path, source ? zip_strerror(archive) : zip_error_strerror(&sourceError)));
            failedOn(source ? zip_get_error(archive) : &sourceError, Direction::Reading, QString());
            if (source)
                zip_source_free(source);
            zip_error_fini(&sourceError);
            zip_discard(archive);
            return ZipErrNotFound;
        }
        zip_error_fini(&sourceError);
        zip_set_file_compression(archive, zip_uint64_t(index),
                                 level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, zip_uint32_t(level));
    }
    if (!m_comment.isEmpty()) {
        const QByteArray comment = TextEncoding::encodeWindows1252(m_comment).left(MaxCommentBytes);
        zip_set_archive_comment(archive, comment.constData(), zip_uint16_t(comment.size()));
    }
    if (zip_close(archive) != 0) {
        note(QStringLiteral("%1: %2\n").arg(m_name, zip_strerror(archive)));
        failedOn(zip_get_error(archive), Direction::Writing, QString());
        zip_discard(archive);
        return ZipErrWrite;
    }
    QByteArray bytes;
    if (!takeBytes(buffer, bytes)) {
        note(QStringLiteral("%1: the archive built could not be read back\n").arg(m_name));
        failed(withCause(Direction::Writing, QString()));
        return ZipErrWrite;
    }
    const FileWriter::Result written = FileWriter::WriteWhole(m_name, bytes);
    if (!written) {
        note(QStringLiteral("%1: %2\n").arg(m_name, written.reason));
        failed(withCause(Direction::Writing, written.reason));
        return ZipErrWrite;
    }
    for (const auto &file : files) {
        m_members.append(file.second.left(MaxListedNameLength));
        note(file.second + '\n');
    }
    return ZipOk;
}

zip *ccZip::openToRead(int32_t &status)
{
    m_info.clear();
    m_reason.clear();
    m_extracted.clear();
    if (archiveTooLarge(m_name)) {
        status = ZipErrTooLarge;
        return nullptr;
    }
    int error = 0;
    ReadHandle archive(zip_open(nativePath(m_name).constData(), ZIP_RDONLY, &error));
    if (!archive) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        note(QStringLiteral("%1: %2\n").arg(m_name, zip_error_strerror(&details)));
        failedOn(&details, Direction::Reading, m_name);
        zip_error_fini(&details);
        status = ZipErrArchive;
        return nullptr;
    }
    if (tooManyMembers(archive.get())) {
        status = ZipErrTooLarge;
        return nullptr;
    }
    return archive.release();
}

int32_t ccZip::Decompress(const QString &sTargetRoot, const QString &iName)
{
    if (sTargetRoot.isEmpty())
        return ZipWarning;
    int32_t opened = ZipOk;
    const ReadHandle archive(openToRead(opened));
    if (!archive)
        return opened;
    const QString root = QDir::cleanPath(sTargetRoot);
    if (!QDir().mkpath(root)) {
        note(QStringLiteral("%1: cannot create the folder\n").arg(root));
        failedWith(ZipErrWrite);
        return ZipErrWrite;
    }
    const bool every = iName.isEmpty();
    const QString wanted = memberKey(iName);
    QSet<QString> seen; // names met so far: the first member of a name is that member
    int32_t status = ZipOk;
    bool matched = false;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries && !matched; ++i) {
        const QString name = entryName(archive.get(), zip_uint64_t(i));
        const QString key = memberKey(name);
        if (!every) {
            matched = key == wanted;
            if (!matched)
                continue;
        } else if (seen.contains(key)) {
            note(QStringLiteral("%1: skipped, an earlier member has that name\n").arg(name));
            continue;
        }
        seen.insert(key);
        const int32_t result = extractOne(archive.get(), zip_uint64_t(i), name, root);
        failedWith(result);
        if (status == ZipOk)
            status = result; // the first failure is the one reported
        if (m_totalReached)
            break; // nothing more is read from this archive
    }
    if (!every && !matched) {
        note(QStringLiteral("%1: no such member\n").arg(iName));
        return ZipErrNotFound;
    }
    return status;
}

int32_t ccZip::ReadMember(const QString &iName, QByteArray &bytes, int64_t limit)
{
    bytes.clear();
    int32_t opened = ZipOk;
    const ReadHandle archive(openToRead(opened));
    if (!archive)
        return opened;
    const QString wanted = memberKey(iName);
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const QString name = entryName(archive.get(), zip_uint64_t(i));
        if (memberKey(name) != wanted)
            continue;
        int32_t status = ZipOk;
        if (!isSafeMemberName(name) || storedAsLink(archive.get(), zip_uint64_t(i))) {
            note(QStringLiteral("%1: refused, a link or a path out of its folder\n").arg(name));
            status = ZipErrUnsafe;
        } else {
            const int64_t bound = m_memberLimit;
            if (limit > 0 && limit < m_memberLimit)
                m_memberLimit = limit;
            status = readMember(archive.get(), zip_uint64_t(i), name, bytes);
            m_memberLimit = bound;
        }
        failedWith(status);
        if (status != ZipOk)
            bytes.clear();
        return status;
    }
    note(QStringLiteral("%1: no such member\n").arg(iName));
    return ZipErrNotFound;
}

int32_t ccZip::extractOne(zip *archive, uint64_t index, const QString &name,
                          const QString &targetRoot)
{
    if (!isSafeMemberName(name)) {
        note(QStringLiteral("%1: refused, its path leaves the target folder\n").arg(name));
        return ZipErrUnsafe;
    }
    if (storedAsLink(archive, index)) {
        note(QStringLiteral("%1: refused, stored as a link\n").arg(name));
        return ZipErrUnsafe;
    }
    const QString path = slashed(name);
    QStringList parts = path.split('/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    if (parts.isEmpty())
        return ZipOk;
    const bool folderOnly = path.endsWith('/');
    const int32_t folders =
        makeFolders(targetRoot, parts, parts.size() - (folderOnly ? 0 : 1), name);
    if (folders != ZipOk || folderOnly)
        return folders;

    const QString target = targetRoot + '/' + parts.join('/');
    const QFileInfo existing(target);
    if (existing.isSymLink()) {
        QFile::remove(target); // replace the link itself, never what it points to
    } else if (existing.isDir()) {
        note(QStringLiteral("%1: a folder of that name is in the way\n").arg(name));
        return ZipErrWrite;
    }
    QByteArray bytes;
    const int32_t status = readMember(archive, index, name, bytes);
    if (status != ZipOk)
        return status;
    const FileWriter::Result written = FileWriter::WriteWhole(target, bytes);
    if (!written) {
        note(QStringLiteral("%1: %2\n").arg(name, written.reason));
        failed(withCause(Direction::Writing, written.reason));
        return ZipErrWrite;
    }
    m_extracted.append(target);
    note(QStringLiteral("  inflating: %1\n").arg(name));
    return ZipOk;
}

// Unpacks one member into `out`, reading no byte past the smallest of its declared
// size and the bounds; every byte read counts towards the archive's total.
int32_t ccZip::readMember(zip *archive, uint64_t index, const QString &name, QByteArray &out)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        note(QStringLiteral("%1: refused, its size is not known\n").arg(name));
        return ZipErrMember;
    }
    if (stat.size > zip_uint64_t(m_memberLimit)) {
        note(QStringLiteral("%1: refused, larger than %2 bytes\n").arg(name).arg(m_memberLimit));
        return ZipErrTooLarge;
    }
    const int64_t declared = int64_t(stat.size);
    if (declared > m_totalLimit - m_unpacked) {
        m_totalReached = true;
        note(totalExceeded(name, m_totalLimit));
        return ZipErrTooLarge;
    }
    zip_file_t *file = zip_fopen_index(archive, index, 0);
    if (!file) {
        note(QStringLiteral("%1: %2\n").arg(name, zip_strerror(archive)));
        failedOn(zip_get_error(archive), Direction::Reading, QString());
        return ZipErrMember;
    }
    int32_t status = ZipOk;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    int64_t total = 0;
    while (status == ZipOk) {
        // One byte more than declared is enough to know that the size lies.
        const int64_t wanted = std::min<int64_t>(buffer.size(), declared - total + 1);
        const zip_int64_t got = zip_fread(file, buffer.data(), zip_uint64_t(wanted));
        if (got == 0)
            break;
        if (got < 0) {
            note(QStringLiteral("%1: %2\n").arg(name, zip_file_strerror(file)));
            failedOn(zip_file_get_error(file), Direction::Reading, QString());
            status = ZipErrMember;
            break;
        }
        total += got;
        m_unpacked += got;
        if (total > declared) {
            note(QStringLiteral("%1: refused, it holds more than the %2 bytes it declares\n")
                     .arg(name)
                     .arg(declared));
            status = ZipErrMember;
        } else {
            out.append(buffer.constData(), qsizetype(got));
        }
    }
    zip_fclose(file);
    return status;
}

// Creates the first `count` parts below the target folder, never through a link.
int32_t ccZip::makeFolders(const QString &targetRoot, const QStringList &parts, qsizetype count,
                           const QString &name)
{
    QString folder = targetRoot;
    for (qsizetype k = 0; k < count; ++k) {
        folder += '/' + parts.at(k);
        const QFileInfo info(folder);
        if (info.isSymLink()) {
            note(QStringLiteral("%1: refused, its path goes through a link\n").arg(name));
            return ZipErrUnsafe;
        }
        if (!info.exists() && !QDir().mkdir(folder)) {
            note(QStringLiteral("%1: cannot create the folder %2\n").arg(name, folder));
            return ZipErrWrite;
        }
        if (info.exists() && !info.isDir()) {
            note(QStringLiteral("%1: %2 is not a folder\n").arg(name, folder));
            return ZipErrWrite;
        }
    }
    return ZipOk;
}
