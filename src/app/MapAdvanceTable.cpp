#include "app/MapAdvanceTable.h"

#include "base/NumberHelpers.h"

#include <QRegularExpression>

namespace MapAdvanceTable {

std::optional<double> CellValue(const CurveColumn &atmo, const CurveColumn &turbo,
                                const QString &rpmText, const QString &percentText)
{
    const int rpm = AdvanceCurveMath::RoundHalfEven(NombreEnTete(rpmText));
    const std::optional<double> a1 = atmo.at(rpm);
    const std::optional<double> a2 = turbo.at(rpm);
    if (!a1 || !a2)
        return std::nullopt;
    return AdvanceCurveMath::BlendAdvance(*a1, *a2, NombreEnTete(percentText));
}

QString CellText(double value)
{
    return QString::number(value, 'g', 15);
}

QString EditPercentCell(const QString &text, QChar key)
{
    if (key.unicode() == 8)
        return text.isEmpty() ? text : text.left(text.size() - 1);
    if (key < QLatin1Char('0') || key > QLatin1Char('9'))
        return text;
    const QString candidate = text + key;
    if (candidate.trimmed().size() > MaxPercentDigits || NombreEnTete(candidate) > MaxPercent)
        return text;
    return candidate;
}

bool IsPercentText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^ ?\\d{0,3}(\\.\\d?)?$"));
    return form.match(text).hasMatch() && NombreEnTete(text) <= MaxPercent;
}

} // namespace MapAdvanceTable
