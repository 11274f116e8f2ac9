#include "firmware/TableIncludeFiles.h"

#include "base/FileNameRule.h"
#include "base/FileWriter.h"
#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <cstdlib>

namespace TableIncludeFiles {

namespace {

// Nine blanks, "DW", nine blanks: the column layout the firmware sources use.
const QByteArray LinePrefix = QByteArrayLiteral("         DW         ");

int hexValue(const QString &word)
{
    bool ok = false;
    const int value = word.trimmed().toInt(&ok, 16);
    return ok ? value : 0;
}

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

QString NomFichierLigne(const QString &name, int line)
{
    const QString number = QString::number(line);
    if (name.size() < 4)
        return name + number;
    return name.left(name.size() - 4) + number + name.right(4);
}

int PourcentageMap(const QString &text)
{
    const double value = NombreEnTete(text);
    if (!(value > 0)) // also catches NaN
        return 0;
    if (value >= 100)
        return 100;
    return roundHalfEven(value);
}

QString MelangeMot(const QString &atmo, const QString &boost, int pct)
{
    const int a = hexValue(atmo);
    const int b = hexValue(boost);
    const double d = static_cast<double>(std::abs(b - a) * pct) / 100.0;
    const double word = a > b ? a - d : a + d;
    return HexInt(static_cast<int16_t>(roundHalfEven(word)), 4);
}

QByteArray ContenuFichier(const QStringList &atmo, const QStringList &boost, int pct)
{
    QByteArray text;
    text.reserve(WordsPerTable / WordsPerLine * (LinePrefix.size() + 4 * 5 + 1));
    for (int first = 0; first < WordsPerTable; first += WordsPerLine) {
        text += LinePrefix;
        for (int i = first; i < first + WordsPerLine; ++i) {
            if (i > first)
                text += ',';
            text += MelangeMot(atmo.value(i), boost.value(i), pct).toLatin1();
        }
        text += "\r\n";
    }
    return text;
}

std::optional<int> LignesCourbe(const QString &nbTables)
{
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::CurveLines, nbTables,
                         ValueRules::Source::box(ValueRules::Path::PackageDescription));
    if (!read.taken() || !read.value || *read.value < 1 || *read.value > MaxLignesCourbe)
        return std::nullopt;
    return int(*read.value);
}

QString NamesRefusal(const QString &nomBasse, const QString &nomHaute, int lineCount)
{
    using VEK_LANGUAGE::GetLanguageText;
    for (const auto &[caption, name] :
         {std::pair{"MLabelAsm3B", nomBasse}, std::pair{"MLabelAsm3H", nomHaute}})
        if (const QString why = FileNameRule::Refusal(name); !why.isEmpty())
            return GetLanguageText("MSGBAsmExportNom",
                                   {"%CHAMP%", GetLanguageText(caption), "%NOM%",
                                    TextEncoding::shownInMessage(name), "%RAISON%", why});
    QSet<QString> names;
    for (int line = 0; line < lineCount; ++line)
        for (const QString &base : {nomBasse, nomHaute}) {
            const QString name = NomFichierLigne(base, line);
            if (names.contains(name.toCaseFolded()))
                return GetLanguageText("MSGBAsmExportDouble",
                                       {"%NOM%", name, "%BASSE%", nomBasse, "%HAUTE%", nomHaute});
            names.insert(name.toCaseFolded());
        }
    return {};
}

ExportResult Exporter(const ExportRequest &request)
{
    ExportResult result;
    result.error = NamesRefusal(request.nomBasse, request.nomHaute, request.lineCount);
    if (!result.error.isEmpty()) {
        result.status = ExportResult::BadNames;
        return result;
    }
    const TablesExport &t = request.tables;
    for (const QStringList *table : {&t.hauteAtmo, &t.basseAtmo, &t.hauteBoost, &t.basseBoost})
        if (table->size() != WordsPerTable) {
            result.status = ExportResult::BadTables;
            return result;
        }
    if (request.lineCount < 1 || request.lineCount > MaxLignesCourbe ||
        request.lineCount > request.percentages.size()) {
        result.status = ExportResult::LineCountRefused;
        return result;
    }

    const QDir folder(request.folder);
    auto write = [&](const QString &name, const QStringList &atmo, const QStringList &boost,
                     int pct) {
        const QString path = folder.filePath(name);
        // What the user has of a file not written: the older one, or none.
        QStringList &notWritten = QFileInfo::exists(path) ? result.notWritten : result.notMade;
        if (!result.ok()) {
            notWritten << path;
            return;
        }
        const FileWriter::Result written =
            FileWriter::WriteWhole(path, ContenuFichier(atmo, boost, pct));
        if (!written) {
            result.status = ExportResult::WriteFailed;
            result.failedPath = QDir::toNativeSeparators(path);
            result.error = written.reason;
            notWritten << path;
            return;
        }
        result.written << path;
    };

    for (int line = 0; line < request.lineCount; ++line) {
        const int pct = PourcentageMap(request.percentages.at(line));
        write(NomFichierLigne(request.nomBasse, line), t.basseAtmo, t.basseBoost, pct);
        write(NomFichierLigne(request.nomHaute, line), t.hauteAtmo, t.hauteBoost, pct);
    }
    return result;
}

} // namespace TableIncludeFiles
