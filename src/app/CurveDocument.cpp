#include "app/CurveDocument.h"

#include "app/OptionBoardRules.h"
#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"

#include <QMap>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

const QString kHeaderV2 = QStringLiteral("#VEKP_COURBE 2");
const QString kHeaderV1 = QStringLiteral("#VEKP_COURBE");
const QString kCrLf = QStringLiteral("\r\n");
// A line that cannot be read; its text takes the line number for "%LIGNE%".
const char *const kBadLine = VEK_LANGUAGE::LangKey("CurveFileBadLine");

// Cylinder codes: the first three are those of the older files; the last two
// name the 6- and 8-cylinder positions, which the older files could not store.
const QString kCylinderCodes[CurveDocument::kCylinderPositions] = {
    QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("CYL6"),
    QStringLiteral("CYL8")};

// Words of the extra-output positions; "BOOST" is ours, the older files had none for it.
const QString kHardwareWords[CurveDocument::kHardXLedPositions] = {
    QStringLiteral("PROGRAM"), QStringLiteral("RESET"), QStringLiteral("CLIQUETIS"),
    QStringLiteral("PMH"), QStringLiteral("BOOST")};

QStringList splitLines(const QByteArray &bytes)
{
    QString text = TextEncoding::decodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace('\r', '\n');
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line, not a line
    return lines;
}

QString trimmedEnd(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1).isSpace())
        --n;
    return text.left(n);
}

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

// Half to the even neighbour, as every conversion to an integer of the program.
long long roundHalfEven(double value)
{
    return std::llround(std::nearbyint(value));
}

// A cell as the curve keeps it: a number written with a decimal comma is read
// as if typed, with "."; any other text stays as it is, to be reported.
QString cellText(const QString &cell)
{
    return DecimalNumberText(cell).value_or(cell);
}

// A whole number as a person writes it: optional blanks and sign, digits,
// optional fraction (rounded half to even). Anything else is refused.
std::optional<long long> strictInteger(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == '+' || t.at(i) == '-'))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t.at(i).isDigit())
            ++digits;
        else if (t.at(i) == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0 || digits > 15)
        return std::nullopt;
    return roundHalfEven(NombreEnTete(t));
}

class VekParser
{
public:
    VekParser(const QStringList &lines, const CurveDocument &base, const QString &file)
        : m_lines(lines), m_file(file)
    {
        m_result.document = base;
        m_result.document.rows.clear();
        m_result.document.knockColumn = base.knockColumn;
    }

    CurveReadResult parse()
    {
        int first = 0;
        while (first < m_lines.size() && isBlank(m_lines.at(first)))
            ++first;
        const QString header = first < m_lines.size() ? m_lines.at(first).trimmed() : QString();
        if (header == kHeaderV2) {
            m_result.layout = CurveDocument::Layout::Keyword;
            m_path = ValueRules::Path::CurveFileV2;
            parseKeywords(first + 1);
            takeThresholds();
        } else if (header == kHeaderV1) {
            m_result.layout = CurveDocument::Layout::Positional;
            m_path = ValueRules::Path::CurveFileV1;
            parsePositional(first + 1);
        } else {
            fail(QString::fromLatin1(VEK_LANGUAGE::LangKey("CorruptFile")), first + 1);
        }
        return m_result;
    }

private:
    void fail(const QString &key, int lineIndex)
    {
        if (m_result.errorKey.isEmpty()) {
            m_result.errorKey = key;
            m_result.errorLine = lineIndex;
        }
    }
    void failLine(int index) { fail(QString::fromLatin1(kBadLine), index + 1); }

    // `text` read by the value's rule, from the line being read; a value the
    // rule refuses keeps what the document held, and is listed with any value
    // read otherwise than written.
    std::optional<double> take(ValueRules::Value value, const QString &text, int line,
                               QString *target = nullptr)
    {
        const ValueRules::Outcome o =
            ValueRules::read(value, text, ValueRules::Source::inFile(m_path, m_file, line));
        if (o.listed())
            m_result.values.append(o);
        // A value taken as written keeps its text, so that a file reads back
        // as it was saved ("2.5" stays "2.5").
        if (o.taken() && target)
            *target = o.listed() ? o.text : text.trimmed();
        return o.taken() ? o.value : std::nullopt;
    }
    void takeText(ValueRules::Value value, const QString &text, int line, QString &target)
    {
        take(value, text, line, &target);
    }

    void parseKeywords(int from)
    {
        CurveDocument &doc = m_result.document;
        for (int i = from; i < m_lines.size() && m_result.ok(); ++i) {
            const QString line = m_lines.at(i);
            if (isBlank(line))
                continue;
            const QString text = line.trimmed();
            const qsizetype eq = text.indexOf('=');
            if (eq < 0) {
                failLine(i);
                break;
            }
            QString key = text.left(eq);
            if (key.endsWith(' '))
                key.chop(1);
            const QString value = text.mid(eq + 1);
            if (!key.startsWith('#')) {
                m_result.commentLines.append(i + 1);
                continue;
            }
            m_line = i + 1;
            if (!applyKey(doc, key, value))
                failLine(i);
        }
    }

    bool applyKey(CurveDocument &doc, const QString &key, const QString &value)
    {
        const QString word = value.trimmed().toUpper();
        if (key == QLatin1String("#CYLINDRES")) {
            doc.moteur.NbCylindres = 0;
            for (int p = 0; p < CurveDocument::kCylinderPositions; ++p)
                if (word == kCylinderCodes[p])
                    doc.moteur.NbCylindres = p;
        } else if (key == QLatin1String("#AVANCE STATIQUE")) {
            takeText(ValueRules::Value::StaticAdvance, value, m_line, doc.moteur.Txt_av_statique);
        } else if (key == QLatin1String("#AVANCE BAS REGIME")) {
            if (const auto degrees = take(ValueRules::Value::LowRpmAdvance, value, m_line))
                doc.moteur.CmbAvanceBasRegime = int(*degrees);
        } else if (key == QLatin1String("#MAXI RPM")) {
            takeText(ValueRules::Value::RevLimit, value, m_line, doc.moteur.Txt_rpm_maxi);
        } else if (key == QLatin1String("#DWELL T")) {
            takeText(ValueRules::Value::Dwell, value, m_line, doc.moteur.TxtDwell);
        } else if (key == QLatin1String("#MULTI ETINCELLE")) {
            if (word == QLatin1String("NON") || word == QLatin1String("NO"))
                doc.moteur.MultiSparck = false;
            else if (word == QLatin1String("OUI") || word == QLatin1String("YES"))
                doc.moteur.MultiSparck = true;
        } else if (key == QLatin1String("#CLIQUETIS AVANCE")) {
            if (const auto degrees = take(ValueRules::Value::KnockAdvance, value, m_line))
                doc.moteur.CmbCliquetis = int(*degrees * 2); // half degrees
        } else if (key == QLatin1String("#CLIQUETIS TEMPS")) {
            takeText(ValueRules::Value::KnockRetardDuration, value, m_line,
                     doc.moteur.TxtDureeRetardCliquetis);
        } else if (key == QLatin1String("#HARDWARE")) {
            for (int p = 0; p < CurveDocument::kHardXLedPositions; ++p)
                if (word == kHardwareWords[p])
                    doc.moteur.HardXLED = p;
        } else if (key == QLatin1String("#OPTION")) {
            // Choosing a board clears its channels; later channel lines fill them.
            doc.CarteOptionNom = value.trimmed();
            for (int n = 0; n < CurveDocument::kChannels; ++n) {
                doc.VoiesTOR[n] = VoieTOR{};
                m_channels[n] = {};
            }
        } else if (key == QLatin1String("#KNOCK CURVE")) {
            setKnockColumn(doc, word == QLatin1String("OUI") || word == QLatin1String("YES") ||
                                    word == QLatin1String("TRUE"));
        } else if (key == QLatin1String("#TABLE")) {
            return addRow(doc, value);
        } else {
            return applyChannelKey(doc, key, value);
        }
        return true;
    }

    bool applyChannelKey(CurveDocument &doc, const QString &key, const QString &value)
    {
        static const QRegularExpression channelKey(QStringLiteral("^#TOR-([0-5]) (TYPE|VALEUR)$"));
        const QRegularExpressionMatch m = channelKey.match(key);
        if (!m.hasMatch())
            return true; // remarks and keys of newer files
        const int n = m.captured(1).toInt();
        if (m.captured(2) == QLatin1String("TYPE")) {
            m_channels[n].word = value.trimmed().toUpper();
            doc.VoiesTOR[n].Action = CurveDocument::channelAction(m_channels[n].word);
        } else {
            m_channels[n].threshold = value;
            m_channels[n].line = m_line;
        }
        return true;
    }

    // Thresholds are read once the file is read, by the rule of their
    // channel's action, whichever line of the channel comes first.
    void takeThresholds()
    {
        CurveDocument &doc = m_result.document;
        for (int n = 0; n < CurveDocument::kChannels; ++n) {
            const Channel &c = m_channels[n];
            if (!c.line || !m_result.ok())
                continue;
            const QString word =
                c.word.isEmpty()
                    ? CurveDocument::channelWord(CurveDocument::channelKind(doc.DeviceCfg, n),
                                                 doc.VoiesTOR[n].Action)
                    : c.word;
            VoieTOR &channel = doc.VoiesTOR[n];
            if (const auto value = CurveDocument::thresholdValue(word)) {
                // One refused leaves a threshold the rule takes, the nearest to
                // what the channel held: the option-board dialog would refuse
                // the 0 of a cleared channel at its OK.
                const std::optional<double> threshold = take(*value, c.threshold, c.line);
                channel.Seuil = static_cast<int32_t>(
                    threshold ? *threshold
                              : ValueRules::Declared(*value).nearestTaken(channel.Seuil));
                continue;
            }
            // An action without threshold keeps a whole number as it is, unused.
            const std::optional<long long> threshold = strictInteger(c.threshold);
            if (threshold && *threshold >= std::numeric_limits<int16_t>::min() &&
                *threshold <= std::numeric_limits<int16_t>::max())
                channel.Seuil = static_cast<int32_t>(*threshold);
        }
    }

    static void setKnockColumn(CurveDocument &doc, bool on)
    {
        doc.knockColumn = on;
        for (QStringList &row : doc.rows)
            row.resize(doc.columnCount());
    }

    bool addRow(CurveDocument &doc, const QString &value)
    {
        // The last cell takes the rest of the value, ";" included.
        QStringList cells;
        qsizetype start = 0;
        for (int c = 0; c < doc.columnCount() - 1; ++c) {
            const qsizetype sep = value.indexOf(';', start);
            if (sep < 0)
                return false;
            cells.append(cellText(value.mid(start, sep - start)));
            start = sep + 1;
        }
        cells.append(cellText(value.mid(start)));
        doc.rows.append(cells);
        m_result.rowLines.append(m_line);
        return true;
    }

    void parsePositional(int from)
    {
        CurveDocument &doc = m_result.document;
        int valueCount = 0;
        for (int i = from; i < m_lines.size() && m_result.ok(); ++i) {
            if (isBlank(m_lines.at(i)))
                continue;
            QStringList cells = trimmedEnd(m_lines.at(i)).split(';');
            if (cells.size() > 1 && cells.last().trimmed().isEmpty())
                cells.removeLast(); // the ";" that ends the last value
            if (valueCount < 3) {
                if (cells.size() != 1 || !m_lines.at(i).contains(';')) {
                    failLine(i);
                    break;
                }
                if (valueCount == 0)
                    takeText(ValueRules::Value::StaticAdvance, cells.first(), i + 1,
                             doc.moteur.Txt_av_statique);
                else if (valueCount == 1)
                    takeText(ValueRules::Value::RevLimit, cells.first(), i + 1,
                             doc.moteur.Txt_rpm_maxi);
                ++valueCount;
                continue;
            }
            for (QString &cell : cells) // blanks before a ";" are no part of the value
                cell = cellText(trimmedEnd(cell));
            if (cells.size() != 3) {
                failLine(i);
                break;
            }
            if (doc.knockColumn)
                cells.append(QString());
            doc.rows.append(cells);
            m_result.rowLines.append(i + 1);
        }
    }

    const QStringList &m_lines;
    const QString m_file;
    ValueRules::Path m_path = ValueRules::Path::CurveFileV2;
    CurveReadResult m_result;
    int m_line = 0; // line of the key being applied
    struct Channel {
        QString word;      // action word of the file's TYPE line, if any
        QString threshold; // text of the VALEUR line
        int line = 0;      // line of the VALEUR line, 0 for none
    };
    std::array<Channel, CurveDocument::kChannels> m_channels;
};

} // namespace

bool CurveDocument::operator==(const CurveDocument &o) const
{
    for (size_t i = 0; i < VoiesTOR.size(); ++i)
        if (VoiesTOR[i].Action != o.VoiesTOR[i].Action || VoiesTOR[i].Seuil != o.VoiesTOR[i].Seuil)
            return false;
    const EngineParameters &m = moteur, &n = o.moteur;
    const bool sameEngine =
        m.NbCylindres == n.NbCylindres && m.Txt_av_statique == n.Txt_av_statique &&
        m.CmbAvanceBasRegime == n.CmbAvanceBasRegime && m.Txt_rpm_maxi == n.Txt_rpm_maxi &&
        m.TxtDwell == n.TxtDwell && m.MultiSparck == n.MultiSparck &&
        m.CmbCliquetis == n.CmbCliquetis &&
        m.TxtDureeRetardCliquetis == n.TxtDureeRetardCliquetis && m.HardXLED == n.HardXLED;
    return sameEngine && CarteOptionNom == o.CarteOptionNom && DeviceCfg == o.DeviceCfg &&
           knockColumn == o.knockColumn && rows == o.rows;
}

QString CurveDocument::numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'f', 7);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QString CurveDocument::signedNumberText(double value)
{
    const QString text = numberText(value);
    return text.startsWith('-') ? text : QLatin1Char(' ') + text;
}

int CurveDocument::optionBoardEntry(const QStringList &boardNames, const QString &name)
{
    for (qsizetype i = 0; i < boardNames.size(); ++i)
        if (boardNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return 0;
}

QChar CurveDocument::channelKind(const QString &deviceCfg, int channel)
{
    const qsizetype index = 5 - channel;
    return index >= 0 && index < deviceCfg.size() ? deviceCfg.at(index) : QChar();
}

QString CurveDocument::channelWord(QChar kind, int action)
{
    static const QString inputs[] = {QStringLiteral("DISABLE"), QStringLiteral("COURBE"),
                                     QStringLiteral("RUPTEUR2"), QStringLiteral("SEQUENTIEL")};
    static const QString outputs[] = {QStringLiteral("DISABLE"), QStringLiteral("REGIME"),
                                      QStringLiteral("BOOST"), QStringLiteral("CLIQUETIS"),
                                      QStringLiteral("BATTERIE")};
    if (kind == 'I' && action >= 0 && action < 4)
        return inputs[action];
    if (kind == 'O' && action >= 0 && action < 5)
        return outputs[action];
    return QStringLiteral("DISABLE");
}

uint8_t CurveDocument::channelAction(const QString &word)
{
    if (word == QLatin1String("COURBE") || word == QLatin1String("REGIME"))
        return 1;
    if (word == QLatin1String("RUPTEUR2") || word == QLatin1String("BOOST"))
        return 2;
    if (word == QLatin1String("SEQUENTIEL") || word == QLatin1String("CLIQUETIS"))
        return 3;
    if (word == QLatin1String("BATTERIE"))
        return 4;
    return 0;
}

QByteArray CurveDocument::toVek() const
{
    QString out;
    auto line = [&out](const QString &key, const QString &value) {
        out += key + '=' + value + kCrLf;
    };
    out += kHeaderV2 + kCrLf;
    const bool knownCylinders = moteur.NbCylindres >= 0 && moteur.NbCylindres < kCylinderPositions;
    line(QStringLiteral("#CYLINDRES"), kCylinderCodes[knownCylinders ? moteur.NbCylindres : 0]);
    line(QStringLiteral("#AVANCE STATIQUE"), moteur.Txt_av_statique);
    line(QStringLiteral("#AVANCE BAS REGIME"), signedNumberText(moteur.CmbAvanceBasRegime));
    line(QStringLiteral("#MAXI RPM"), moteur.Txt_rpm_maxi);
    line(QStringLiteral("#DWELL T"), moteur.TxtDwell);
    line(QStringLiteral("#MULTI ETINCELLE"),
         moteur.MultiSparck ? QStringLiteral("OUI") : QStringLiteral("NON"));
    line(QStringLiteral("#CLIQUETIS AVANCE"), signedNumberText(moteur.CmbCliquetis / 2.0));
    line(QStringLiteral("#CLIQUETIS TEMPS"), moteur.TxtDureeRetardCliquetis);
    // No word for "nothing chosen": the reader then keeps its default.
    const bool knownHardware = moteur.HardXLED >= 0 && moteur.HardXLED < kHardXLedPositions;
    line(QStringLiteral("#HARDWARE"), knownHardware ? kHardwareWords[moteur.HardXLED] : QString());
    line(QStringLiteral("#OPTION"), CarteOptionNom.value_or(QString()));
    for (int n = 0; n < kChannels; ++n) {
        const QString prefix = QStringLiteral("#TOR-") + QString::number(n);
        line(prefix + QStringLiteral(" TYPE"),
             channelWord(channelKind(DeviceCfg, n), VoiesTOR[n].Action));
        line(prefix + QStringLiteral(" VALEUR"), signedNumberText(VoiesTOR[n].Seuil));
    }
    if (knockColumn)
        line(QStringLiteral("#KNOCK CURVE"), QStringLiteral("OUI"));
    for (const QStringList &row : rows)
        line(QStringLiteral("#TABLE"), row.join(';'));
    return TextEncoding::encodeWindows1252(out);
}

QByteArray CurveDocument::toMrt() const
{
    QString out;
    for (const QStringList &row : rows)
        out += row.value(0) + ';' + row.value(1) + kCrLf;
    return TextEncoding::encodeWindows1252(out);
}

CurveReadResult CurveDocument::parseVek(const QByteArray &bytes, const CurveDocument &base,
                                        const QString &file)
{
    const QStringList lines = splitLines(bytes);
    return VekParser(lines, base, file).parse();
}

std::optional<ValueRules::Value> CurveDocument::thresholdValue(const QString &word)
{
    // The option-board dialog's name of the action the word stands for.
    static const QMap<QString, QString> actions{{"REGIME", "RPM"},
                                                {"RUPTEUR2", "Select. RUPTEUR(2)"},
                                                {"BOOST", "BOOST"},
                                                {"SEQUENTIEL", "Coupure SEQUENTIEL"}};
    return OptionBoardRules::thresholdValue(actions.value(word));
}

CurveReadResult CurveDocument::parseMrt(const QByteArray &bytes, const CurveDocument &base,
                                        MrtColumn column)
{
    CurveReadResult result;
    result.layout = Layout::SingleCurve;
    result.document = base;
    result.document.rows.clear();
    const QStringList lines = splitLines(bytes);
    for (int i = 0; i < lines.size(); ++i) {
        if (isBlank(lines.at(i)))
            continue;
        const QString line = trimmedEnd(lines.at(i));
        const qsizetype sep = line.indexOf(';');
        if (sep < 0) {
            result.errorKey = QString::fromLatin1(kBadLine);
            result.errorLine = i + 1;
            return result;
        }
        QStringList cells(result.document.columnCount(), QStringLiteral("0"));
        // The rpm in the grid's own number text; a cell that is no number stays, to be reported.
        const std::optional<QString> rpm = DecimalNumberText(line.left(sep));
        cells[0] = rpm ? numberText(NombreEnTete(*rpm)) : line.left(sep);
        cells[column == MrtColumn::Atmo ? 1 : 2] = cellText(line.mid(sep + 1));
        if (result.document.knockColumn)
            cells[3] = QString();
        result.document.rows.append(cells);
        result.rowLines.append(i + 1);
    }
    return result;
}
