#include "firmware/PackageValues.h"

#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageDescription.h"

namespace PackageValues {

namespace {

using ValueRules::Value;

struct Checked {
    const char *key;
    Value value;
    const char *fixedBy; // the flag that makes an empty value a fault
};

// clang-format off
constexpr Checked kChecked[] = {
    {"VAL_NBCYL", Value::CylinderCount, "FIX_NBCYL"},
    {"LIMITE_RUPTEUR", Value::PackageRevLimit, nullptr},
    {"VAL_AVSTAT", Value::StaticAdvance, "FIX_AVSTAT"},
    {"HEX_ADD", Value::PackageAddress, nullptr},
    {"HEX_LNG", Value::PackageCodeLength, nullptr},
    {"ADD_TABLE_BASSE_L1", Value::PackageAddress, nullptr},
    {"ADD_TABLE_HAUTE_L1", Value::PackageAddress, nullptr},
    {"ADD_TABLE_B16_L1", Value::PackageAddress, nullptr},
    {"ADD_TABLE_H16_L1", Value::PackageAddress, nullptr},
    {"ADD_TABLE_BASSE_L2", Value::PackageAddress, nullptr},
    {"ADD_TABLE_HAUTE_L2", Value::PackageAddress, nullptr},
    {"ADD_TABLE_B16_L2", Value::PackageAddress, nullptr},
    {"ADD_TABLE_H16_L2", Value::PackageAddress, nullptr},
    {"ADD_TABLE_BASSE", Value::PackageAddress, nullptr},
    {"ADD_TABLE_HAUTE", Value::PackageAddress, nullptr},
    {"ADD_TABLE_B16", Value::PackageAddress, nullptr},
    {"ADD_TABLE_H16", Value::PackageAddress, nullptr},
};
// clang-format on

// The curve count: its leading number, 0 to 16 (what the boxes and the
// export make of it is their own rule).
bool curveCountInRange(const QString &value)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return true;
    const double number = NombreEnTete(text);
    return number >= 0 && number <= 16; // also false for NaN
}

} // namespace

QList<Read> ReadAll(const Lookup &reglage, const ValueRules::Source &source,
                    const std::function<QString(const QString &key)> &nameOf)
{
    QList<Read> values;
    for (const Checked &c : kChecked) {
        const QString key = QLatin1String(c.key);
        const QString text = reglage(key);
        const bool required = c.fixedBy && PackageDescription::isYes(reglage(c.fixedBy));
        if (text.trimmed().isEmpty() && !required)
            continue;
        ValueRules::Source named = source;
        if (named.name.isEmpty())
            named.name = nameOf ? nameOf(key) : key;
        values.append({key, c.value, ValueRules::read(c.value, text, named)});
    }
    return values;
}

QString Taken(const QList<Read> &values, const QString &key, const QString &asWritten)
{
    for (const Read &r : values) {
        if (r.key != key || !r.outcome.taken())
            continue;
        if (ValueRules::Declared(r.value).reading == ValueRules::Reading::Hex)
            return asWritten.trimmed();
        return r.outcome.text;
    }
    return asWritten;
}

DescriptionCheck CheckDescription(const Lookup &reglage, const QString &file)
{
    DescriptionCheck check;
    QStringList refused;
    const QString count = reglage(QStringLiteral("NB_COURBES"));
    if (!curveCountInRange(count))
        refused << VEK_LANGUAGE::GetLanguageText(
            "MessValeurHorsPlage",
            {QStringLiteral("%FICHIER%"), file, QStringLiteral("%CLE%"),
             QStringLiteral("NB_COURBES"), QStringLiteral("%VALEUR%"),
             TextEncoding::shownInMessage(count), QStringLiteral("%MAX%"), QStringLiteral("16")});
    QList<ValueRules::Outcome> notes;
    for (const Read &read : ReadAll(
             reglage, ValueRules::Source::inFile(ValueRules::Path::PackageDescription, file, 0))) {
        if (!read.outcome.taken())
            refused << read.outcome.message;
        else if (read.outcome.listed())
            notes << read.outcome;
    }
    if (!refused.isEmpty())
        check.refusal = (QStringList{VEK_LANGUAGE::GetLanguageText("MessPaquetRefuse")} + refused)
                            .join(QLatin1Char('\n'));
    check.notes = ValueRules::listMessage(notes);
    return check;
}

} // namespace PackageValues
