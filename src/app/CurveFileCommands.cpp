#include "app/CurveFileCommands.h"

#include "app/CurveModel.h"
#include "base/FileRefusal.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "platform/DataPaths.h"

#include <QFileInfo>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

QString modifiedQuestion()
{
    return GetLanguageText("MessModifieCurve1") + QLatin1Char('\n') +
           GetLanguageText("MessModifieCurve2");
}

// The title of a curve known by its file.
QString fileCaption(const QString &path)
{
    return QStringLiteral("VEK-Courbe - [") + QFileInfo(path).fileName() + QLatin1Char(']');
}

QString fileFilter(const QString &curvesSeparator)
{
    return GetLanguageText("FiltreProjet") + QStringLiteral(";;") + GetLanguageText("Courbes") +
           curvesSeparator + QStringLiteral("VEK (*.vek *.VEK);;") +
           GetLanguageText("FiltreMonoCourbe");
}

} // namespace

QString CurveFileCommands::CurveFolder()
{
    return DataPaths::UserDocumentsDirectory(); // where users look for their files
}

bool CurveFileCommands::discardModifiedCurve()
{
    return !m_host.curveModified() ||
           m_host.askYesNo(GetLanguageText("MessWARNING"), modifiedQuestion());
}

void CurveFileCommands::Ouvrir()
{
    if (!discardModifiedCurve())
        return;
    const QString path = m_host.askOpenFileName(GetLanguageText("LoadAdvanceCurves"),
                                                fileFilter(QString()), CurveFolder());
    if (!path.isEmpty())
        OpenFile(path);
}

bool CurveFileCommands::readCurve(const QString &path, CurveFiles::Kind kind, QByteArray &bytes)
{
    QString error;
    if (kind == CurveFiles::Kind::Project) {
        if (m_host.openProject(path, bytes, error))
            return true;
    } else if (CurveFiles::ReadAll(path, bytes, &error)) {
        return true;
    } else {
        error = FileRefusal::OfFile(LangKey("CurveFileReadErr"), path, {"%RAISON%", error});
    }
    m_host.showError(GetLanguageText("MessNoREADING"), error);
    return false;
}

CurveReadResult CurveFileCommands::parse(const QString &path, const QByteArray &bytes,
                                         CurveFiles::Kind kind, const CurveDocument &base) const
{
    if (kind == CurveFiles::Kind::SingleCurve)
        return CurveDocument::parseMrt(bytes, base, m_mrtColumn);
    return CurveDocument::parseVek(bytes, base, CurveFiles::CurveTextName(path));
}

void CurveFileCommands::reportComments(const QString &path, const CurveReadResult &result)
{
    for (const int line : result.commentLines)
        m_host.showMessage(GetLanguageText("MessREADING"),
                           CurveFiles::CurveTextMessage(LangKey("CommentFound"), path, line));
}

QString CurveFileCommands::failureText(const QString &path, const CurveReadResult &result) const
{
    return CurveFiles::CurveTextMessage(result.errorKey, path, result.errorLine);
}

void CurveFileCommands::OpenFile(const QString &path)
{
    const CurveFiles::Kind kind = CurveFiles::KindOf(path);
    if (kind == CurveFiles::Kind::Unknown) {
        m_host.showError(GetLanguageText("MessNoREADING"),
                         FileRefusal::OfFile(LangKey("BadFormat"), path));
        return;
    }
    QByteArray bytes;
    if (!readCurve(path, kind, bytes)) {
        if (kind == CurveFiles::Kind::Project)
            m_host.restoreFirmware();
        return;
    }
    if (kind == CurveFiles::Kind::SingleCurve) {
        const bool atmo =
            m_host.askYesNo(GetLanguageText("MessWARNING"),
                            GetLanguageText("MonoCourbe") + QLatin1Char('\n') +
                                GetLanguageText("MonoCourbeQuestion") + QLatin1Char('\n') +
                                GetLanguageText("MonoCourbeOui") + QLatin1Char('\n') +
                                GetLanguageText("MonoCourbeNon") + QLatin1Char('\n'));
        m_mrtColumn = atmo ? CurveDocument::MrtColumn::Atmo : CurveDocument::MrtColumn::Turbo;
    }

    // Check the whole file against the curve as it is, before changing anything.
    CurveDocument base = m_host.currentCurve();
    base.CarteOptionNom.reset();
    base.knockColumn = false; // as a new curve has it
    const CurveReadResult check = parse(path, bytes, kind, base);
    reportComments(path, check);
    if (!check.ok()) {
        m_host.showError(GetLanguageText("MessNoREADING"), failureText(path, check));
        if (kind == CurveFiles::Kind::Project)
            m_host.restoreFirmware();
        return;
    }

    // What the file does not set keeps the values of the new curve and of the
    // project's firmware, so it is read again over them.
    m_host.startNewCurve();
    if (kind == CurveFiles::Kind::Project)
        m_host.applyProjectFirmware();
    base = m_host.currentCurve();
    base.CarteOptionNom.reset();
    const CurveReadResult result = parse(path, bytes, kind, base);
    if (!result.ok()) { // cannot happen: the file was checked over the same layout
        m_host.showError(GetLanguageText("MessNoREADING"), failureText(path, result));
        return;
    }
    // Engine values and thresholds were read by the rules of their boxes.
    const CurveDocument &document = result.document;
    m_host.showCurve(document);
    if (result.layout == CurveDocument::Layout::Keyword) {
        m_host.setCaption(fileCaption(path));
        m_host.setCurveModified(false);
    }
    m_host.setInfoText(GetLanguageText("OuvrirClickEnd"));
    if (!result.values.isEmpty())
        m_host.showMessage(GetLanguageText("MessWARNING"), ValueRules::listMessage(result.values));
    // The curve stays open to be mended, but the user learns at once what the
    // export and the downloads will refuse.
    const QString invalid = CurveModel::invalidValuesMessage(
        document.rows, CurveFiles::CurveTextName(path), result.rowLines);
    if (!invalid.isEmpty())
        m_host.showError(GetLanguageText("MessWARNING"), invalid);
}

void CurveFileCommands::enregistrer()
{
    CurveFiles::Kind kind = CurveFiles::Kind::Project;
    const QString path = m_host.askSaveFileName(
        GetLanguageText("enregistrerClick"), fileFilter(QStringLiteral(" ")), CurveFolder(), kind);
    if (path.isEmpty())
        return; // Cancel
    SaveFile(path, kind);
}

bool CurveFileCommands::SaveFile(const QString &chosen, CurveFiles::Kind wanted)
{
    if (chosen.trimmed().isEmpty()) {
        m_host.showError(GetLanguageText("MessWARNING"), GetLanguageText("enregistrerWriteErr"));
        return false;
    }
    const QString path = CurveFiles::WithExtension(chosen, wanted);
    const CurveDocument curve = m_host.currentCurve();
    QString error;
    bool written = false;
    const CurveFiles::Kind kind = CurveFiles::KindOf(path);
    switch (kind) {
    case CurveFiles::Kind::SingleCurve:
    case CurveFiles::Kind::Curve:
        written = CurveFiles::WriteCurve(path, curve, kind, &error);
        break;
    case CurveFiles::Kind::Project:
        written = m_host.saveProject(path, curve, error);
        break;
    case CurveFiles::Kind::Unknown:
        break;
    }
    if (!written) {
        m_host.showError(
            GetLanguageText("MessWARNING"),
            FileRefusal::OfFile(LangKey("CurveFileWriteErr"), path, {"%RAISON%", error}));
        return false;
    }
    m_host.setCaption(fileCaption(path)); // the curve is now this file
    // A single curve holds the rpm and Atmo columns only: what it leaves out
    // is still unsaved, and quitting still asks.
    if (CurveFiles::KindOf(path) == CurveFiles::Kind::SingleCurve) {
        m_host.setInfoText(GetLanguageText("enregistrerMonoCourbe"));
        return true;
    }
    m_host.setCurveModified(false);
    m_host.setInfoText(GetLanguageText("enregisterEnd"));
    return true;
}

bool CurveFileCommands::ConfirmQuit()
{
    m_host.setProgressText(GetLanguageText("QuitClick"));
    if (!discardModifiedCurve())
        return false;
    m_host.deleteTemporaryFiles();
    return true;
}
