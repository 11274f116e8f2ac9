#pragma once

#include "base/ValueRules.h"

#include <QString>
#include <QStringList>

// The engine parameters beside the curve, as their controls hold them: list
// positions and box texts. Defaults are those of a new curve.
struct EngineParameters {
    int NbCylindres = 0; // position in CylinderItems()
    QString Txt_rpm_maxi = QStringLiteral("6650");
    QString Txt_av_statique = QStringLiteral("45.0");
    int CmbAvanceBasRegime = 11; // position = degrees
    QString TxtDwell = QStringLiteral("2.5");
    bool MultiSparck = false;
    int CmbCliquetis = 5; // position = 2 x degrees
    QString TxtDureeRetardCliquetis = QStringLiteral("10");
    int HardXLED = 2; // position in HardXLEDItems()

    // Knock retard per detection in degrees (the value of `CmbCliquetis`).
    double retardCliquetis() const { return CmbCliquetis / 2.0; }
};

// The four numeric boxes: clamp, round and format rules, and Page Up/Down steps.
namespace EngineParameterRules {

enum class Box { AvanceStatique, RegimeMaxi, DureeRetardCliquetis, Dwell };

QStringList CylinderItems();        // "1", "2", "4", "6", "8"
QStringList AvanceBasRegimeItems(); // "0.0" to "12.0"
QStringList CliquetisItems();       // "0.0" to "4.0" by 0.5
QStringList HardXLEDItems();        // "DISABLE", "PROGRAM", "RUPTEUR", "CLIQUETIS", "BOOST"

double step(Box box);
// The box's text brought into range and format, as a value loaded from a
// file or a package is; never refuses anything.
QString valider(Box box, const QString &text);
// Page Up (direction +1) or Page Down (-1) on a text the box took: the step
// added, then validated.
QString pas(Box box, const QString &text, int direction);

// The value of the table of value rules a box holds.
ValueRules::Value valueOf(Box box);

// What a box makes of a text the user typed: the text it shows then, or why
// it refuses it (the box then keeps its previous value).
struct Saisie {
    QString texte; // taken: in range, on the box's step and format
    QString refus; // refused: the message, naming the box; empty when taken
    bool prise() const { return refus.isEmpty(); }
};
// The box's value read by the table of value rules (ValueRules::read):
// refused with its reason naming the box ("6,5" is no rev limit, "7.000" is
// not 7000, "7000 rpm" is no number); taken, brought onto the box's step and
// format ("45,3" shows "45.5").
Saisie saisir(Box box, const QString &typed);
// What `Txt_av_cliquetisPlus` shows for a position of `CmbCliquetis`.
QString cliquetisPlus(int position);

// A box value that loading brought into its range or onto its step.
struct ValeurRamenee {
    Box box;
    QString lu;     // as the file or the package gave it
    QString retenu; // as the box now shows it
};
// Brings the four boxes of `p` into range as their lost focus would, so that
// loaded values obey the same rule as typed ones; a value already in range
// and on its step, that a box would read as the file does, keeps its text
// ("45" stays "45"; "12,5" in the static advance, 12 by the file's reading,
// becomes "12.0"). Lists the values changed.
QList<ValeurRamenee> ramener(EngineParameters &p);
// One message naming every value brought into range; empty for none.
QString messageRamenees(const QList<ValeurRamenee> &values);

} // namespace EngineParameterRules
