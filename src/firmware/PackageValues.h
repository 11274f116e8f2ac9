#pragma once

#include "base/ValueRules.h"

#include <QList>
#include <QString>

#include <functional>

// The values of a firmware package's description that shape the main window
// and the transfers, each read by its one rule (ValueRules) whichever path
// brings it: the package editor's boxes at Create, a package chosen in the
// firmware list, the package of a project. A description the editor refuses
// is one the list refuses, with the same reason.
namespace PackageValues {

// Key look-up of the [REGLAGE] section; empty for a missing key.
using Lookup = std::function<QString(const QString &key)>;

// One value read: its key and what its rule made of it.
struct Read {
    QString key;
    ValueRules::Value value;
    ValueRules::Outcome outcome;
};

// The checked values of a description, in the description's order, each
// read by its rule with `source` (whose name becomes the key when it has
// none). An empty value says nothing and is left out, except the cylinder
// count and the static advance of a description that fixes them (FIX_NBCYL,
// FIX_AVSTAT "OUI"), which would lock an empty box.
QList<Read> ReadAll(const Lookup &reglage, const ValueRules::Source &source,
                    const std::function<QString(const QString &key)> &nameOf = {});

// The text a key's value is taken as: the rule's text ("10,5" is 10.5; an
// address keeps its digits as written, blanks aside), or the value as it
// stands when it is empty or refused.
QString Taken(const QList<Read> &values, const QString &key, const QString &asWritten);

// A package description checked before it is applied or a project's package
// made: its values each read by their rule (ReadAll), and the curve count
// NB_COURBES 0 to 16. `refusal` names every value refused, its key and
// `file`: the package is not applied. `notes` lists the values taken
// otherwise than written ("10,5" read as 10.5).
struct DescriptionCheck {
    QString refusal;
    QString notes;
};
DescriptionCheck CheckDescription(const Lookup &reglage, const QString &file);

} // namespace PackageValues
