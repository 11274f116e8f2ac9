#include "firmware/TableIncludeFiles.h"

#include "base/BoundedFile.h"
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

bool isWord(QStringView item)
{
    if (item.size() != 4)
        return false;
    for (const QChar c : item) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')))
            return false;
    }
    return true;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The data directive that opens a line: its leading letters when a blank
// follows them (or nothing does); empty when the line opens with an item.
QStringView directiveOf(QStringView line)
{
    qsizetype end = 0;
    while (end < line.size() && line.at(end).isLetter())
        ++end;
    if (end == 0 || (end < line.size() && !isBlank(line.at(end))))
        return {};
    return line.left(end);
}

// "DW", in either case; the letters in any order, as the tables' readers take it.
bool isDataDirective(QStringView directive)
{
    for (const QChar c : directive)
        if (c.toUpper() != QLatin1Char('D') && c.toUpper() != QLatin1Char('W'))
            return false;
    return true;
}

} // namespace

Items LireMots(const QString &text, int most)
{
    Items items;
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(start, end - start).trimmed();
        start = end + 1;
        ++lineNumber;
        const auto damaged = [&](QStringView item) {
            items.damagedLine = lineNumber;
            items.damagedItem = item.toString();
            return items;
        };
        const QStringView directive = directiveOf(line);
        if (!isDataDirective(directive))
            return damaged(directive);
        line = line.mid(directive.size()).trimmed();
        if (line.endsWith(QLatin1Char(',')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        for (const QStringView item : line.split(QLatin1Char(','))) {
            if (!isWord(item))
                return damaged(item);
            if (items.words.size() == most) {
                items.tooMany = true;
                return items;
            }
            items.words << item.toString();
        }
    }
    return items;
}

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

QString RelectureTable(const QString &written, const QByteArray &text)
{
    // Read as the import reads it.
    const BoundedFile::Read back = BoundedFile::readAll(written, BoundedFile::MaxTextFileBytes);
    if (back.ok) {
        const Items read = LireMots(TextEncoding::decodeText(back.bytes));
        const Items meant = LireMots(QString::fromLatin1(text));
        if (read.damagedLine == 0 && !read.tooMany && read.words == meant.words &&
            read.words.size() == WordsPerTable)
            return {};
    }
    return FileWriter::ReadOtherwise();
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
        const QByteArray text = ContenuFichier(atmo, boost, pct);
        const FileWriter::Result written =
            FileWriter::WriteWhole(path, text, FileWriter::Existing::Replace,
                                   {FileWriter::Kind::TableInclude, [&text](const QString &back) {
                                        return RelectureTable(back, text);
                                    }});
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
