#include "app/MapAdvanceTable.h"

#include "app/NumberHelpers.h"

#include <QRegularExpression>

namespace MapAdvanceTable {

std::optional<double> CellValue(const AdvanceCurve &curve, const QString &rpmText,
                                const QString &percentText)
{
    if (curve.isEmpty())
        return std::nullopt;
    const int rpm = AdvanceCurveMath::RoundHalfEven(NombreEnTete(rpmText));
    const double a1 = AdvanceCurveMath::Interpolate(curve, rpm, 1);
    const double a2 = AdvanceCurveMath::Interpolate(curve, rpm, 2);
    return AdvanceCurveMath::BlendAdvance(a1, a2, NombreEnTete(percentText));
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
