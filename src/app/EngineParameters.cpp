#include "app/EngineParameters.h"

#include "app/CurveModel.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

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

// A box text as loaded from a file or a package: the dwell box alone reads
// either decimal separator, the others the number at the start with ".".
static double lire(Box box, const QString &text)
{
    return box == Box::Dwell ? ValeurNumerique(text) : NombreEnTete(text);
}

namespace {

struct Limites {
    double bas, haut;
    bool entier; // whole numbers only
};

Limites limites(Box box)
{
    switch (box) {
    case Box::AvanceStatique:
        return {0, 127.5, false};
    case Box::RegimeMaxi:
        return {0, 10000, true};
    case Box::DureeRetardCliquetis:
        return {0, 255, true};
    case Box::Dwell:
        break;
    }
    return {0, 5, false};
}

// The caption of the box's value, as the messages name it.
QString libelle(Box box)
{
    using VEK_LANGUAGE::LangKey;
    const char *label = box == Box::AvanceStatique ? LangKey("MFAvanceST")
                        : box == Box::RegimeMaxi   ? LangKey("MLMoteur2")
                        : box == Box::Dwell        ? LangKey("MFDwell")
                                                   : LangKey("MLRetardCliquetis3");
    return VEK_LANGUAGE::GetLanguageText(label);
}

} // namespace

// Whole number, halves to the even neighbour, within [low, high]. Texts are
// formatted with "." whatever the locale, so that they read back the same.
static double entier(double value, double low, double high)
{
    return std::clamp(std::nearbyint(value), low, high);
}

QString valider(Box box, const QString &text)
{
    const double v = lire(box, text);
    const Limites l = limites(box);
    switch (box) {
    case Box::AvanceStatique: // a count of half degrees
        return QString::number(entier(v * 2, l.bas * 2, l.haut * 2) / 2, 'f', 1);
    case Box::RegimeMaxi:
    case Box::DureeRetardCliquetis:
        return QString::number(entier(v, l.bas, l.haut), 'f', 0);
    case Box::Dwell:
        return QString::number(std::clamp(v, l.bas, l.haut), 'f', 2);
    }
    return text;
}

Saisie saisir(Box box, const QString &typed)
{
    using VEK_LANGUAGE::GetLanguageText;
    const QString shown = typed.trimmed();
    const auto refus = [&](const QString &reason) {
        return Saisie{{}, libelle(box) + QStringLiteral(" : ") + reason};
    };
    const TypedNumber read = ReadTypedNumber(typed);
    if (!read.number)
        return refus(read.refusal);
    const std::optional<QString> &number = read.number;
    const double v = NombreEnTete(*number);
    const Limites l = limites(box);
    if (!(v >= l.bas && v <= l.haut) || (l.entier && v != std::floor(v)))
        return refus(GetLanguageText(l.entier ? VEK_LANGUAGE::LangKey("SaisieEntierHorsLimites")
                                              : VEK_LANGUAGE::LangKey("SaisieHorsLimites"),
                                     {"%VALEUR%", shown, "%MIN%", CurveModel::texteNombre(l.bas),
                                      "%MAX%", CurveModel::texteNombre(l.haut)}));
    return {valider(box, *number), {}};
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

QList<ValeurRamenee> ramener(EngineParameters &p)
{
    const std::pair<Box, QString *> boxes[] = {
        {Box::AvanceStatique, &p.Txt_av_statique},
        {Box::RegimeMaxi, &p.Txt_rpm_maxi},
        {Box::DureeRetardCliquetis, &p.TxtDureeRetardCliquetis},
        {Box::Dwell, &p.TxtDwell}};
    QList<ValeurRamenee> changed;
    for (const auto &[box, text] : boxes) {
        const QString shown = valider(box, *text);
        // Kept as given only when it is in range and on its step, and the box
        // would read it as the file does: "12,5" is 12 by the file's reading
        // and 12.5 once typed, so it shows as the 12.0 the tables get.
        // An empty box (a package that sets none) stays empty.
        const std::optional<QString> typed = DecimalNumberText(*text);
        const bool readAlike = text->trimmed().isEmpty() ||
                               (typed && NombreEnTete(*typed) == lire(box, *text));
        if (readAlike && lire(box, shown) == lire(box, *text))
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
        lines << libelle(v.box) + QStringLiteral(" : ") + v.lu.trimmed() +
                     QStringLiteral(" \u2192 ") + v.retenu;
    return lines.join(QLatin1Char('\n'));
}

} // namespace EngineParameterRules
