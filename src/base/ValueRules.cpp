#include "base/ValueRules.h"

#include "base/FileNameRule.h"
#include "base/FileRefusal.h"
#include "base/MainSettings.h"
#include "base/NumberHelpers.h"
#include "base/SerialOptions.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"
#include "platform/SerialPortNames.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace ValueRules {

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

const QStringList &CylinderCounts()
{
    static const QStringList counts = {QStringLiteral("1"), QStringLiteral("2"),
                                       QStringLiteral("4"), QStringLiteral("6"),
                                       QStringLiteral("8")};
    return counts;
}

namespace {

// A text rule's refusal is never empty, even without language texts: empty means taken.
QString refusal(const char *key, const QStringList &pairs)
{
    const QString text = GetLanguageText(key, pairs);
    return text.isEmpty() ? QLatin1String(key) : text;
}

// A package's name names its archive, as the editor makes it and a project
// finds it again: the file name rule, blanks around it refused, never dropped.
QString packageNameRule(QString &name)
{
    const QString why = FileNameRule::Refusal(name);
    return why.isEmpty()
               ? QString()
               : refusal(LangKey("SaisieNomFichier"), {"%VALEUR%", name, "%RAISON%", why});
}

QString cylinderRule(QString &count)
{
    return CylinderCounts().contains(count)
               ? QString()
               : refusal(LangKey("SaisieCylindres"), {"%VALEUR%", count, "%LISTE%",
                                                      CylinderCounts().join(QStringLiteral(", "))});
}

// The one rule of port names (SerialPortNames), the letters in either case;
// a port taken is kept as "COM2".
QString portRule(QString &port)
{
    if (SerialPortNames::PortNamed(port).kind == SerialPortNames::PortKind::None)
        return refusal(LangKey("SaisiePort"), {"%VALEUR%", port});
    port = SerialPortNames::CanonicalName(port);
    return {};
}

// The live link's port: a port number from 1 to 255 (the configuration
// dialog's options keep "1" to "4"), or the name of a serial port. A name is
// kept as typed, its device judged at each opening.
QString serialPortRule(QString &port)
{
    bool number = false;
    const int n = port.toInt(&number);
    if (number ? n >= 1 && n <= 255
               : SerialPortNames::PortNamed(port).kind == SerialPortNames::PortKind::Serial) {
        port = number ? QString::number(n) : SerialPortNames::CanonicalName(port);
        return {};
    }
    return refusal(LangKey("SetupPortNotSerial"), {"%1", port});
}

// A settings text the configuration dialog can show and write back: each part
// one of its options.
QString serialSettingsRule(QString &text)
{
    const std::optional<QString> offered = SerialOptions::OfferedText(text);
    if (!offered)
        return refusal(LangKey("SaisieReglagesSerie"), {"%VALEUR%", text});
    text = *offered;
    return {};
}

// A language file is one of the language folder, named as it is there.
QString languageFileRule(QString &file)
{
    QString folder = VEK_LANGUAGE::RepertoireLangue();
    if (folder.isEmpty())
        folder = DataPaths::DataDirectory() + QStringLiteral("Languages/");
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files);
    for (const QString &name : files)
        if (name.compare(file, Qt::CaseInsensitive) == 0) {
            file = name;
            return {};
        }
    return refusal(LangKey("SaisieFichierLangue"),
                   {"%VALEUR%", file, "%LISTE%", files.join(QStringLiteral(", "))});
}

// A load-pressure band: one MAP percentage, or two joined by "-", the
// lower first.
QString pressureBandFault(QString &text)
{
    const qsizetype dash = text.indexOf('-', 1);
    const QStringList ends =
        dash < 0 ? QStringList{text} : QStringList{text.left(dash), text.mid(dash + 1)};
    QList<Outcome> read;
    for (const QString &end : ends)
        if (const Outcome o = ValueRules::read(Value::MapPercentage, end, Source::box()); o.taken())
            read << o;
    if (read.size() != ends.size() || *read.first().value > *read.last().value)
        return GetLanguageText("SaisieNonPlage", {"%VALEUR%", text});
    text = read.size() == 1 ? read.first().text : read.first().text + '-' + read.last().text;
    return {};
}

} // namespace

const QList<Declaration> &Table()
{
    using P = Path;
    using R = Reading;
    // One row per value, in the order of `Value`.
    static const QList<Declaration> table = {
        {Value::StaticAdvance,
         LangKey("MFAvanceST"),
         R::Decimal,
         0,
         127.5,
         0.5,
         1,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV1, P::CurveFileV2, P::PackageEditor, P::PackageDescription}},
        {Value::RevLimit,
         LangKey("MLMoteur2"),
         R::Whole,
         0,
         10000,
         1,
         0,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV1, P::CurveFileV2}},
        {Value::Dwell,
         LangKey("MFDwell"),
         R::Decimal,
         0,
         5,
         0.01,
         2,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV2}},
        {Value::KnockRetardDuration,
         LangKey("MLRetardCliquetis3"),
         R::Whole,
         0,
         255,
         1,
         0,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV2}},
        {Value::LowRpmAdvance,
         LangKey("MFAvanceBRPM"),
         R::Decimal,
         0,
         12,
         1,
         -1, // as the curve files write it: " 11"
         0,
         nullptr,
         {P::CurveFileV2}},
        {Value::KnockAdvance,
         LangKey("MLRetardCliquetis1"),
         R::Decimal,
         0,
         4,
         0.5,
         -1, // " 2.5", " 2"
         0,
         nullptr,
         {P::CurveFileV2}},
        {Value::MapPercentage,
         LangKey("NomPourcentageMap"),
         R::Decimal,
         0,
         100,
         0,
         0,
         0,
         nullptr,
         {P::TypedBox, P::GridCell}},
        {Value::MapPressureBand,
         LangKey("NomPlagePressionMap"),
         R::Text,
         0,
         0,
         0,
         0,
         0,
         pressureBandFault,
         {P::TypedBox}},
        {Value::ThresholdRpm,
         LangKey("NomSeuilTor"),
         R::Whole,
         500,
         10000,
         1,
         0,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV2}},
        {Value::ThresholdBoost,
         LangKey("NomSeuilTor"),
         R::Whole,
         -1,
         100,
         1,
         0,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV2}},
        {Value::ThresholdSequential,
         LangKey("NomSeuilTor"),
         R::Whole,
         0,
         100,
         1,
         0,
         0,
         nullptr,
         {P::TypedBox, P::CurveFileV2}},
        {Value::ProgrammerDelay,
         LangKey("NomDelaiProgrammation"),
         R::Whole,
         MinIcspDelayUs,
         200,
         1,
         0,
         0,
         nullptr,
         {P::SettingsFile}},
        // The areas of the downloads, the table programming, the packages and the
        // programmer set-up; where they may lie is TablePlacement's rule, for the
        // chip in force. An empty text is no value given: no line count is the
        // two lines of a free setting; a package without a second set of tables
        // leaves its addresses empty, and an area that must be there is refused
        // by the area rule. A zero length is read here and refused there, as an
        // empty area.
        {Value::CurveLines,
         LangKey("NomNombreCourbes"),
         R::Whole,
         1,
         8,
         1,
         0,
         0,
         nullptr,
         {P::PackageDescription, P::SettingsFile},
         true},
        {Value::CodeStart,
         LangKey("NomDebutCode"),
         R::Hex,
         0,
         0xFFFF,
         0,
         0,
         4,
         nullptr,
         {P::PackageEditor, P::PackageDescription, P::SettingsFile, P::SetupDialog},
         true},
        {Value::CodeLength,
         LangKey("NomLongueurCode"),
         R::Hex,
         0,
         0xFFFF,
         0,
         0,
         4,
         nullptr,
         {P::PackageEditor, P::PackageDescription, P::SettingsFile, P::SetupDialog},
         true},
        {Value::TableAddress,
         LangKey("NomAdresseTable"),
         R::Hex,
         0,
         0xFFFF,
         0,
         0,
         4,
         nullptr,
         {P::PackageEditor, P::PackageDescription, P::SettingsFile, P::SetupDialog},
         true},
        {Value::PackageName,
         LangKey("MLXosTypeNomFichier"),
         R::Text,
         0,
         0,
         0,
         0,
         0,
         packageNameRule,
         {P::PackageEditor, P::UpdateEditor, P::Project, P::PackageDescription},
         false,
         {},
         nullptr,
         true},
        {Value::CylinderCount,
         LangKey("MLMoteur1"),
         R::Text,
         0,
         0,
         0,
         0,
         0,
         cylinderRule,
         {P::PackageEditor, P::PackageDescription}},
        {Value::PackageRevLimit,
         LangKey("NomLimiteRupteur"),
         R::Whole,
         1,
         99999,
         1,
         0,
         0,
         nullptr,
         {P::PackageEditor, P::PackageDescription},
         true},
        {Value::Port, LangKey("NomPort"), R::Text, 0, 0, 0, 0, 0, portRule, {P::SettingsFile}},
        // The other keys of the settings file; a box of a dialog that takes one
        // reads it by the same row.
        {.id = Value::WriteAttempts,
         .nameKey = LangKey("MFNbEssaiProg"),
         .reading = R::Whole,
         .lowest = 1,
         .highest = 9,
         .quantum = 1,
         .paths = {P::SettingsFile, P::SetupDialog}},
        {.id = Value::CompilationType,
         .nameKey = LangKey("NomTypeCompilation"),
         .reading = R::Whole,
         .lowest = 8,
         .highest = 88,
         .quantum = 1,
         .paths = {P::SettingsFile},
         .choices = {8, 16, 88}},
        {.id = Value::SerialPort,
         .nameKey = LangKey("NomPort"),
         .reading = R::Text,
         .textRule = serialPortRule,
         .paths = {P::SettingsFile, P::SetupDialog},
         .emptyKey = LangKey("SetupPortEmpty")},
        {.id = Value::SerialSettings,
         .nameKey = LangKey("NomReglagesSerie"),
         .reading = R::Text,
         .textRule = serialSettingsRule,
         .paths = {P::SettingsFile}},
        {.id = Value::ChartType,
         .nameKey = LangKey("NomTypeGraphique"),
         .reading = R::Whole,
         .lowest = 2,
         .highest = 16,
         .quantum = 1,
         .paths = {P::SettingsFile},
         .choices = {2, 3, 4, 5, 16}},
        {.id = Value::LanguageFile,
         .nameKey = LangKey("MFLanguage"),
         .reading = R::Text,
         .textRule = languageFileRule,
         .paths = {P::SettingsFile}},
        {.id = Value::Handshaking,
         .nameKey = LangKey("NomControleFlux"),
         .reading = R::Whole,
         .lowest = 0,
         .highest = 3,
         .quantum = 1,
         .paths = {P::SettingsFile}},
        {.id = Value::BoxType,
         .nameKey = LangKey("MFTypeBoitier"),
         .reading = R::Whole,
         .lowest = 0,
         .highest = 3,
         .quantum = 1,
         .paths = {P::SettingsFile}},
        // The pins of the set-up's lists, in the lists' order; 0 is no pin.
        {.id = Value::OutputPin,
         .nameKey = LangKey("NomBrocheSortie"),
         .reading = R::Whole,
         .lowest = 0,
         .highest = 17,
         .quantum = 1,
         .paths = {P::SettingsFile},
         .choices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17}},
        {.id = Value::InputPin,
         .nameKey = LangKey("NomBrocheEntree"),
         .reading = R::Whole,
         .lowest = 0,
         .highest = 15,
         .quantum = 1,
         .paths = {P::SettingsFile},
         .choices = {0, 10, 11, 12, 13, 15}},
    };
    return table;
}

const Declaration &Declared(Value value)
{
    return Table().at(int(value));
}

QString Declaration::name() const
{
    return GetLanguageText(QString::fromLatin1(nameKey));
}

double Declaration::onQuantum(double value) const
{
    return quantum > 0 ? RoundHalfEven(value / quantum) * quantum : value;
}

double Declaration::nearestTaken(double value) const
{
    return onQuantum(std::clamp(value, lowest, highest));
}

namespace {

// A bound as the messages show it: "." as the decimal point, no trailing zeros.
QString boundText(double value)
{
    return QString::number(value, 'g', 15);
}

bool isPoint(QChar c)
{
    return c == ',' || c == '.' || QString(c) == QLocale().decimalPoint();
}

// Length of the number that starts `text` (sign, digits, one point, digits),
// 0 when it holds no digit.
qsizetype numberPrefix(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (text[i].isDigit() && text[i].unicode() < 128)
            ++digits;
        else if (!point && isPoint(text[i]))
            point = true;
        else
            break;
    }
    return digits > 0 ? i : 0;
}

QString nameOf(const Declaration &d, const Source &source)
{
    return source.name.isEmpty() ? d.name() : source.name;
}

Outcome fault(const Declaration &d, const Source &source, Fault kind, const QString &reason,
              const QString &takenText = {}, std::optional<double> value = {})
{
    Outcome o;
    o.fault = kind;
    o.reason = reason;
    o.text = takenText;
    o.value = value;
    const QString name = nameOf(d, source);
    if (!source.fromFile())
        o.message = name + QStringLiteral(" : ") + reason;
    else if (source.line > 0)
        o.message = FileRefusal::AtLine(LangKey("ValeurFichierLigne"), source.file, source.line,
                                        {"%NOM%", name, "%RAISON%", reason});
    else
        o.message = FileRefusal::OfFile(LangKey("ValeurFichier"), source.file,
                                        {"%NOM%", name, "%RAISON%", reason});
    return o;
}

Outcome outOfRange(const Declaration &d, const Source &source, const QString &shown)
{
    const bool hex = d.reading == Reading::Hex;
    const auto bound = [&](double v) {
        return hex ? HexLong(int32_t(v), d.hexDigits) : boundText(v);
    };
    const char *key = d.reading == Reading::Whole ? LangKey("SaisieEntierHorsLimites")
                                                  : LangKey("SaisieHorsLimites");
    return fault(d, source, Fault::OutOfRange,
                 GetLanguageText(key, {"%VALEUR%", shown, "%MIN%", bound(d.lowest), "%MAX%",
                                       bound(d.highest)}));
}

Outcome notAChoice(const Declaration &d, const Source &source, const QString &shown)
{
    QStringList choices;
    for (const int choice : d.choices)
        choices << QString::number(choice);
    return fault(d, source, Fault::OutOfRange,
                 GetLanguageText("SaisieParmi", {"%VALEUR%", shown, "%LISTE%",
                                                 choices.join(QStringLiteral(", "))}));
}

// Whether `shown`, a number that reads as `taken`, is written otherwise than
// the program writes it. Fewer decimals than the program shows, after a
// point, are its own form ("2.5" for "2.50"); a comma, a "+", leading zeros,
// trailing zeros past its decimals or no point where it writes one are not.
bool writtenOtherwise(const QString &shown, const QString &taken)
{
    if (shown == taken)
        return false;
    const bool shorter = shown.contains('.') && taken.startsWith(shown) &&
                         taken.mid(shown.size()).count('0') == taken.size() - shown.size();
    return !shorter;
}

} // namespace

QString numberText(const Declaration &d, double value)
{
    if (d.reading == Reading::Hex)
        return HexLong(int32_t(value), d.hexDigits);
    if (d.decimals < 0 || (d.reading == Reading::Decimal && d.quantum == 0))
        return boundText(value); // as typed, without trailing zeros
    return QString::number(value, 'f', d.decimals);
}

Outcome read(Value value, const QString &text, const Source &source)
{
    const Declaration &d = Declared(value);
    const QString shown = text.trimmed();
    if (shown.isEmpty() && d.mayBeEmpty)
        return {Fault::None, std::nullopt, {}, {}, {}};
    if (shown.isEmpty())
        return fault(d, source, Fault::Empty,
                     GetLanguageText(QLatin1String(d.emptyKey ? d.emptyKey : "SaisieVide")));

    if (d.reading == Reading::Text) {
        QString taken = d.keepsBlanks ? text : shown;
        const QString reason = d.textRule ? d.textRule(taken) : QString();
        if (!reason.isEmpty())
            return fault(d, source, Fault::Refused, reason);
        return {Fault::None, std::nullopt, taken, {}, {}};
    }

    if (d.reading == Reading::Hex) {
        const std::optional<uint32_t> v = HexDigitsValue(shown, d.hexDigits);
        if (!v)
            return fault(d, source, Fault::NotHex,
                         GetLanguageText("SaisieNonHexa", {"%VALEUR%", shown, "%CHIFFRES%",
                                                           QString::number(d.hexDigits)}));
        if (*v < d.lowest || *v > d.highest)
            return outOfRange(d, source, shown);
        return {Fault::None, double(*v), numberText(d, *v), {}, {}};
    }

    const qsizetype prefix = numberPrefix(shown);
    if (prefix == 0)
        return fault(d, source, Fault::NotANumber,
                     GetLanguageText("SaisieNonNombre", {"%VALEUR%", shown}));
    if (prefix < shown.size())
        return fault(d, source, Fault::TrailingText,
                     GetLanguageText("SaisieTexteApres",
                                     {"%VALEUR%", shown, "%RESTE%", shown.mid(prefix).trimmed()}));
    const std::optional<QString> number = DecimalNumberText(shown);
    const double v = number ? NombreEnTete(*number) : 0;
    const bool point = std::any_of(shown.begin(), shown.end(), isPoint);
    if (d.reading == Reading::Whole && point)
        return fault(d, source, Fault::NotWhole,
                     GetLanguageText("SaisieNonEntier", {"%VALEUR%", shown}));
    if (!d.choices.isEmpty() &&
        std::none_of(d.choices.begin(), d.choices.end(), [v](int c) { return c == v; }))
        return notAChoice(d, source, shown);
    if (!(v >= d.lowest && v <= d.highest))
        return outOfRange(d, source, shown);

    const double taken = d.onQuantum(v);
    const QString takenText = numberText(d, taken);
    // A file the program wrote holds its numbers in its own form; anything
    // else was written by hand and is listed with what it became.
    if (source.fromFile() && (taken != v || writtenOtherwise(shown, takenText)))
        return fault(d, source, Fault::ReadAs,
                     GetLanguageText("SaisieLueComme", {"%VALEUR%", shown, "%LU%", takenText}),
                     takenText, taken);
    return {Fault::None, taken, takenText, {}, {}};
}

QString listMessage(const QList<Outcome> &outcomes)
{
    return listMessage(outcomes, LangKey("MessValeursLues"));
}

QString listMessage(const QList<Outcome> &outcomes, const char *headingKey)
{
    QStringList lines;
    for (const Outcome &o : outcomes)
        if (o.listed())
            lines << o.message;
    if (lines.isEmpty())
        return {};
    lines.prepend(GetLanguageText(QLatin1String(headingKey)));
    return lines.join(QLatin1Char('\n'));
}

} // namespace ValueRules
