#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>

struct zip;       // libzip archive handle
struct zip_error; // libzip error

// One zip archive: its member names and comment, extraction of members into a
// folder, and adding files one at a time with a compression level and a comment.
// Each user makes an object for one archive, uses it for a few calls and drops it.
//
// Extraction never writes outside its target folder: members with an absolute
// path, a ".." part or stored as a link are refused. Sizes an archive declares
// are not trusted: a member is read no further than its declared size, at most
// memberSizeLimit() bytes, and everything unpacked from one archive (from Init
// on, members refused on the way included) to at most totalSizeLimit() bytes.
// Of members whose names differ only by case the first one is the member of
// that name; the others are never unpacked. Archives larger than
// MaxArchiveBytes or with more than MaxMembers members are neither listed nor
// unpacked. Failures are statuses; the messages of the last listing or
// extraction (and of adds since) are in GetZipInfo(), and the reason of the
// first failure, in the user's words, in reason().
class ccZip
{
public:
    enum Status : int32_t {
        ZipOk = 0,
        ZipWarning = 1,     // nothing done: no target folder
        ZipErrArchive = 2,  // archive missing, unreadable, not a zip archive, or not written
        ZipErrMember = 3,   // a member's data could not be read (damaged, encrypted, method)
        ZipErrWrite = 4,    // a file or folder could not be written
        ZipErrUnsafe = 5,   // member refused: absolute path, "..", or a link
        ZipErrTooLarge = 6, // member larger than the size limit
        ZipErrNotFound = 7, // no member of that name, or no file to add
    };

    static constexpr int64_t DefaultMemberSizeLimit = 64LL * 1024 * 1024;
    static constexpr int64_t DefaultTotalSizeLimit = 256LL * 1024 * 1024;
    static constexpr int64_t MaxArchiveBytes = 64LL * 1024 * 1024;
    static constexpr int64_t MaxMembers = 65535;

    ccZip() = default;
    ~ccZip() { ViderListe(); }
    ccZip(const ccZip &) = delete;
    ccZip &operator=(const ccZip &) = delete;

    const QStringList &Col() const { return m_members; }
    int32_t count() const { return static_cast<int32_t>(m_members.size()); }
    QString Name() const { return m_name; }
    QString Comm() const { return m_comment; }
    void setComm(const QString &iComm) { m_comment = iComm; }
    int32_t Level() const { return m_level; }
    void setLevel(int32_t iLevel) { m_level = iLevel; }

    // Names the archive and lists it when it exists; the comment is replaced only
    // by an archive comment; the level becomes 5; the count of bytes unpacked
    // starts again.
    void Init(const QString &iName);
    // Adds a file (bRecurse: a folder with its files below) to the archive,
    // creating it; bJunkDir stores bare names. An existing member of the same
    // name is replaced. Returns a Status.
    int32_t AddFile(const QString &sPath, int16_t bRecurse, int16_t bJunkDir);
    // Member name at position lIndex (from 1), or an empty text.
    QString GetFile(int32_t lIndex) const;
    // Extracts every member (iName empty) or the first member whose name equals
    // iName without regard to case into sTargetRoot, replacing existing files.
    int32_t Decompress(const QString &sTargetRoot, const QString &iName);
    // The bytes of the first member whose name equals iName without regard to
    // case, read as Decompress reads it into a file, and no further than
    // `limit` bytes when it is above 0 (ZipErrTooLarge beyond). Returns a Status.
    int32_t ReadMember(const QString &iName, QByteArray &bytes, int64_t limit = 0);
    // Files written by the last Decompress, in archive order.
    const QStringList &extractedFiles() const { return m_extracted; }
    QString GetZipInfo() const { return m_info; }
    // Why the first failure since Init or the last Decompress happened, in the
    // user's words (ErrorReason); empty when nothing failed.
    QString reason() const { return m_reason; }

    enum class Direction { Reading, Writing };
    // libzip's error `zipError` as the user is told it: not an archive, damaged,
    // cut short, cannot be read or cannot be written, the last two with the
    // system's reason `systemError` (errno, 0 for none). `archive`, when given,
    // is read to tell an archive cut short from a file that is none.
    static QString ErrorReason(int zipError, int systemError, Direction direction,
                               const QString &archive = {});
    // "cannot be read" or "cannot be written", with the system's reason
    // `systemError` (errno) in the user's words when it is not 0.
    static QString FailureReason(Direction direction, int systemError);

    int64_t memberSizeLimit() const { return m_memberLimit; }
    void setMemberSizeLimit(int64_t bytes) { m_memberLimit = bytes; }
    int64_t totalSizeLimit() const { return m_totalLimit; }
    void setTotalSizeLimit(int64_t bytes) { m_totalLimit = bytes; }

    // A name that stays inside the target folder: relative, no ".." part.
    static bool isSafeMemberName(const QString &name);

private:
    void ViderListe() { m_members.clear(); }
    // The archive opened for a read of its members, the messages and the
    // reason of the last operation cleared; null with the failure's `status`.
    zip *openToRead(int32_t &status);
    void ListerArchive(zip *archive);
    void ListerArchiveCommentaire(zip *archive);
    int32_t addFiles(const QList<QPair<QString, QString>> &files);
    int32_t extractOne(zip *archive, uint64_t index, const QString &name,
                       const QString &targetRoot);
    int32_t makeFolders(const QString &targetRoot, const QStringList &parts, qsizetype count,
                        const QString &name);
    int32_t readMember(zip *archive, uint64_t index, const QString &name, QByteArray &out);
    void note(const QString &text) { m_info += text; }
    void failed(const QString &reason);
    void failedWith(int32_t status);
    void failedOn(const zip_error *error, Direction direction, const QString &archive);
    bool archiveTooLarge(const QString &path);
    bool tooManyMembers(zip *archive);

    QStringList m_members;
    QString m_name;
    QString m_comment;
    int32_t m_level = 5;
    QString m_info;
    QString m_reason;
    int64_t m_memberLimit = DefaultMemberSizeLimit;
    int64_t m_totalLimit = DefaultTotalSizeLimit;
    int64_t m_unpacked = 0;      // bytes unpacked from this archive, kept or refused
    bool m_totalReached = false; // a member was refused for the archive's bound
    QStringList m_extracted;
};
