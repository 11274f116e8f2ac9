#include "base/FileFailureReason.h"

#include "base/VEK_LANGUAGE.h"

#include <QFileDevice>
#include <QtGlobal>

#include <cerrno>
#include <cstring>

namespace FileFailureReason {

namespace {

// The errors a user meets, with the key that words each.
struct Worded {
    int errnum;
    const char *key;
};
constexpr Worded Usual[] = {
    {ENOENT, VEK_LANGUAGE::LangKey("RaisonFichierAbsent")},
    {ENOTDIR, VEK_LANGUAGE::LangKey("RaisonPasUnDossier")},
    {EACCES, VEK_LANGUAGE::LangKey("RaisonAccesRefuse")},
    {EPERM, VEK_LANGUAGE::LangKey("RaisonAccesRefuse")},
    {ENOSPC, VEK_LANGUAGE::LangKey("RaisonDisquePlein")},
    {EDQUOT, VEK_LANGUAGE::LangKey("RaisonDisquePlein")},
    {EROFS, VEK_LANGUAGE::LangKey("RaisonLectureSeule")},
    {EIO, VEK_LANGUAGE::LangKey("RaisonErreurMateriel")},
    {EISDIR, VEK_LANGUAGE::LangKey("RaisonEstUnDossier")},
    {EFBIG, VEK_LANGUAGE::LangKey("RaisonFichierTropGrand")},
    {ENAMETOOLONG, VEK_LANGUAGE::LangKey("RaisonNomTropLong")},
};

} // namespace

const char *key(int errnum)
{
    for (const Worded &w : Usual)
        if (w.errnum == errnum)
            return w.key;
    return nullptr;
}

// Qt words a failed file operation with qt_error_string(errno) (its own,
// possibly translated, texts for a few errors) or with the C library's text.
int errnoOf(const QString &systemText)
{
    for (const Worded &w : Usual)
        if (systemText == qt_error_string(w.errnum) ||
            systemText == QString::fromLocal8Bit(std::strerror(w.errnum)))
            return w.errnum;
    return 0;
}

QString wording(int errnum, const QString &systemText)
{
    const char *worded = key(errnum);
    const QString words =
        worded ? VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(worded)) : QString();
    return words.isEmpty() ? systemText : words;
}

QString wording(const QString &systemText)
{
    return wording(errnoOf(systemText), systemText);
}

QString of(const QFileDevice &file)
{
    return wording(file.errorString());
}

} // namespace FileFailureReason
