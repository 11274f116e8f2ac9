#include "base/NumberHelpers.h"

#include "base/VEK_LANGUAGE.h"

#include <QLocale>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// "," and "." are decimal points whatever the locale, and so is the locale's
// own: the one rule for every number the user types or a file gives.
bool isDecimalPoint(QChar c, const QString &localePoint)
{
    return c == ',' || c == '.' || QStringView(&c, 1) == localePoint;
}

// The accepted prefix from `i` (digits, one point, digits) read by a correctly
// rounded conversion, whatever its length.
double exactReading(QStringView text, qsizetype i)
{
    std::string number;
    const qsizetype n = text.size();
    const auto isDigit = [&](qsizetype k) {
        return k < n && text.at(k) >= '0' && text.at(k) <= '9';
    };
    number.push_back('0'); // "" and ".5" read as 0 and 0.5
    while (isDigit(i))
        number.push_back(char(text.at(i++).unicode()));
    if (i < n && text.at(i) == '.') {
        number.push_back('.');
        ++i;
        while (isDigit(i))
            number.push_back(char(text.at(i++).unicode()));
    }
    double value = 0;
    const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range) {
        // Hundreds of digits: too large, or too small when the whole part is 0.
        const std::string_view whole = std::string_view(number).substr(0, number.find('.'));
        value = whole.find_first_not_of('0') == std::string_view::npos ? 0.0 : HUGE_VAL;
    }
    return value;
}

} // namespace

double NombreEnTete(QStringView text)
{
    // The value must be the double nearest to the decimal text ("0.3" the
    // double nearest to 0.3), since table bytes are rounded from it half to
    // even. Up to 15 significant digits and 22 decimals, the digits as an
    // integer and the power of ten are both exact doubles, so one division
    // gives that nearest double at once; longer texts take the full reading.
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxDigits = 15;
    constexpr int kMaxDecimals = 22;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == '+' || text.at(i) == '-'))
        negative = text.at(i++) == '-';
    uint64_t digits = 0;
    int significant = 0;
    int decimals = 0;
    bool point = false;
    for (qsizetype k = i; k < n; ++k) {
        const char16_t c = text.at(k).unicode();
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            significant += digits != 0;
            decimals += point;
            if (significant > kMaxDigits || decimals > kMaxDecimals) {
                const double value = exactReading(text, i);
                return negative ? -value : value;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // A whole number (engine speeds) needs no division at all.
    const double value = decimals == 0 ? double(digits) : double(digits) / kPowersOfTen[decimals];
    return negative ? -value : value;
}

std::optional<double> ValeurNumerique(const std::optional<QString> &value)
{
    if (!value)
        return std::nullopt;
    return ValeurNumerique(*value);
}

double ValeurNumerique(const QString &value)
{
    const QLocale locale;
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    QString work;
    for (QChar c : value) {
        if ((c >= '0' && c <= '9') || c == '+' || c == '-')
            work.append(c);
        else if (isDecimalPoint(c, decimal))
            work.append('.');
        else if (c.unicode() == 160 || c == ' ' || QString(c) == group)
            continue;
        else
            break;
    }
    return NombreEnTete(work);
}

std::optional<QString> DecimalNumberText(QStringView text)
{
    const QString decimal = QLocale().decimalPoint();
    const qsizetype n = text.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n && text.at(i).isSpace())
        out.append(text.at(i++));
    if (i < n && (text.at(i) == '+' || text.at(i) == '-'))
        out.append(text.at(i++));
    qsizetype digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c >= '0' && c <= '9') {
            out.append(c);
            ++digits;
        } else if (!point && isDecimalPoint(c, decimal)) {
            out.append('.');
            point = true;
        } else {
            break;
        }
    }
    while (i < n && text.at(i).isSpace())
        out.append(text.at(i++));
    if (i != n || digits == 0)
        return std::nullopt;
    return out;
}

TypedNumber ReadTypedNumber(const QString &typed)
{
    if (const std::optional<QString> number = DecimalNumberText(typed))
        return {number->trimmed(), {}};
    return {std::nullopt,
            VEK_LANGUAGE::GetLanguageText("SaisieNonNombre", {"%VALEUR%", typed.trimmed()})};
}

static QString fitHex(QString text, int width)
{
    if (width <= 0)
        return {};
    if (text.size() < width)
        return text.rightJustified(width, '0');
    return text.right(width);
}

QString HexInt(int16_t value, int width)
{
    return fitHex(QString::number(static_cast<uint16_t>(value), 16).toUpper(), width);
}

namespace {
// The value of an ASCII hexadecimal digit, -1 for any other character.
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= '0' && u <= '9'   ? u - '0'
           : u >= 'A' && u <= 'F' ? u - 'A' + 10
           : u >= 'a' && u <= 'f' ? u - 'a' + 10
                                  : -1;
}
} // namespace

int32_t HexBoxValue(const QString &text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    qsizetype n = 0;
    while (n < trimmed.size() && n < 8 && hexDigit(trimmed[n]) >= 0)
        ++n;
    if (n == 0)
        return 0;
    const uint32_t value = *HexDigitsValue(trimmed.first(n), 8);
    return n <= 4 ? int16_t(uint16_t(value)) : int32_t(value);
}

std::optional<uint32_t> HexDigitsValue(QStringView text, int maxDigits)
{
    const QStringView digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > qMin(maxDigits, 8))
        return std::nullopt;
    uint32_t value = 0;
    for (const QChar c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + uint32_t(d);
    }
    return value;
}

std::optional<int> HexAddress(QStringView text)
{
    const std::optional<uint32_t> value = HexDigitsValue(text, 4);
    return value ? std::optional<int>(int(*value)) : std::nullopt;
}

QString HexWord(int32_t value)
{
    return QStringLiteral("0x") + HexLong(value, 4);
}

QString HexLong(int32_t value, int width)
{
    return fitHex(QString::number(static_cast<uint32_t>(value), 16).toUpper(), width);
}

QString StrToHexDump(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        out.append(' ');
        out.append(
            QString::number(static_cast<unsigned char>(c), 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

QString StrToDecDump(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 4);
    for (char c : bytes) {
        out.append(' ');
        out.append(QString::number(static_cast<unsigned char>(c)).rightJustified(3, '0'));
    }
    return out;
}

uint32_t CouleurIndex(int index)
{
    struct Rgb {
        uint32_t r, g, b;
    };
    static const Rgb table[17] = {{255, 255, 255}, {0, 0, 0},     {0, 0, 127},    {0, 127, 0},
                                  {255, 0, 0},     {127, 0, 0},   {127, 0, 127},  {255, 127, 0},
                                  {255, 255, 0},   {0, 255, 0},   {64, 128, 128}, {0, 255, 255},
                                  {0, 0, 255},     {255, 0, 255}, {92, 92, 92},   {184, 184, 184},
                                  {200, 0, 145}};
    if (index < 0 || index > 16)
        return 0;
    const Rgb &c = table[index];
    return c.r + 256 * c.g + 65536 * c.b;
}

int RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it; set it explicitly to be sure.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(saved);
    if (r > 2147483647.0)
        return 2147483647;
    if (r < -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(r);
}
