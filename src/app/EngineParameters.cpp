#include "app/EngineParameters.h"

#include "app/CurveModel.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"

#include <algorithm>
#include <cmath>

namespace EngineParameterRules {

QStringList CylinderItems()
{
    return ValueRules::CylinderCounts();
}

QStringList AvanceBasRegimeItems()
{
    QStringList items;
    for (int degrees = 0; degrees <= 12; ++degrees)
        items << QString::number(degrees, 'f', 1);
    return items;
}

QStringList CliquetisItems()
{
    QStringList items;
    for (int half = 0; half <= 8; ++half)
        items << QString::number(half / 2.0, 'f', 1);
    return items;
}

QStringList HardXLEDItems()
{
    QStringList items;
    for (const char *key : {"HardXLEDDisable", "HardXLEDProgram", "HardXLEDRupteur",
                            "HardXLEDCliquetis", "HardXLEDBoost"})
        items << VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(key));
    return items;
}

double step(Box box)
{
    switch (box) {
    case Box::AvanceStatique:
    case Box::Dwell:
        return 0.5;
    case Box::RegimeMaxi:
        return 100;
    case Box::DureeRetardCliquetis:
        return 1;
    }
    return 0;
}

// A box value brought into the box's range and onto its step, "." as its
// decimal point whatever the locale, so that it reads back the same.
QString valider(Box box, const QString &text)
{
    const ValueRules::Declaration &d = ValueRules::Declared(valueOf(box));
    const double v = std::clamp(ValeurNumerique(text), d.lowest, d.highest);
    return ValueRules::numberText(d, d.onQuantum(v));
}

ValueRules::Value valueOf(Box box)
{
    switch (box) {
    case Box::AvanceStatique:
        return ValueRules::Value::StaticAdvance;
    case Box::RegimeMaxi:
        return ValueRules::Value::RevLimit;
    case Box::DureeRetardCliquetis:
        return ValueRules::Value::KnockRetardDuration;
    case Box::Dwell:
        break;
    }
    return ValueRules::Value::Dwell;
}

Saisie saisir(Box box, const QString &typed)
{
    const ValueRules::Outcome read =
        ValueRules::read(valueOf(box), typed, ValueRules::Source::box());
    if (!read.taken())
        return Saisie{{}, read.message};
    return {read.text, {}};
}

QString pas(Box box, const QString &text, int direction)
{
    const double v = ValeurNumerique(text) + (direction >= 0 ? step(box) : -step(box));
    return valider(box, CurveModel::texteNombre(v));
}

QString cliquetisPlus(int position)
{
    return CurveModel::texteNombre(4 * (position / 2.0));
}

QList<ValeurRamenee> ramener(EngineParameters &p)
{
    const std::pair<Box, QString *> boxes[] = {
        {Box::AvanceStatique, &p.Txt_av_statique},
        {Box::RegimeMaxi, &p.Txt_rpm_maxi},
        {Box::DureeRetardCliquetis, &p.TxtDureeRetardCliquetis},
        {Box::Dwell, &p.TxtDwell}};
    QList<ValeurRamenee> changed;
    for (const auto &[box, text] : boxes) {
        // Kept as given only when it is one number, in range and on its step.
        // An empty box (a package that sets none) stays empty.
        if (text->trimmed().isEmpty())
            continue;
        const QString shown = valider(box, *text);
        const std::optional<QString> number = DecimalNumberText(*text);
        if (number && NombreEnTete(*number) == NombreEnTete(shown))
            continue;
        changed.append({box, *text, shown});
        *text = shown;
    }
    return changed;
}

QString messageRamenees(const QList<ValeurRamenee> &values)
{
    using VEK_LANGUAGE::GetLanguageText;
    if (values.isEmpty())
        return {};
    QStringList lines{GetLanguageText("MessValeursRamenees")};
    for (const ValeurRamenee &v : values)
        lines << ValueRules::Declared(valueOf(v.box)).name() + QStringLiteral(" : ") +
                     v.lu.trimmed() + QStringLiteral(" \u2192 ") + v.retenu;
    return lines.join(QLatin1Char('\n'));
}

} // namespace EngineParameterRules
