#include "app/EngineParameters.h"

#include "app/CurveModel.h"
#include "base/NumberHelpers.h"

#include <algorithm>
#include <cmath>

namespace EngineParameterRules {

QStringList CylinderItems()
{
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
            QStringLiteral("8")};
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
    return {QStringLiteral("DISABLE"), QStringLiteral("PROGRAM"), QStringLiteral("RUPTEUR"),
            QStringLiteral("CLIQUETIS"), QStringLiteral("BOOST")};
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

static double lire(Box box, const QString &text)
{
    // The dwell box alone accepts either decimal separator.
    return box == Box::Dwell ? ValeurNumerique(text) : NombreEnTete(text);
}

// Whole number, halves to the even neighbour, within [low, high]. Texts are
// formatted with "." whatever the locale, so that they read back the same.
static double entier(double value, double low, double high)
{
    return std::clamp(std::nearbyint(value), low, high);
}

QString valider(Box box, const QString &text)
{
    const double v = lire(box, text);
    switch (box) {
    case Box::AvanceStatique:
        return QString::number(entier(v * 2, 0, 255) / 2, 'f', 1);
    case Box::RegimeMaxi:
        return QString::number(entier(v, 0, 10000), 'f', 0);
    case Box::DureeRetardCliquetis:
        return QString::number(entier(v, 0, 255), 'f', 0);
    case Box::Dwell:
        return QString::number(std::clamp(v, 0.0, 5.0), 'f', 2);
    }
    return text;
}

QString pas(Box box, const QString &text, int direction)
{
    const double v = lire(box, text) + (direction >= 0 ? step(box) : -step(box));
    return valider(box, CurveModel::texteNombre(v));
}

QString cliquetisPlus(int position)
{
    return CurveModel::texteNombre(4 * (position / 2.0));
}

} // namespace EngineParameterRules
