#include "firmware/PackageValues.h"

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
    {"NB_COURBES", Value::CurveLines, nullptr},
    {"VAL_NBCYL", Value::CylinderCount, "FIX_NBCYL"},
    {"LIMITE_RUPTEUR", Value::PackageRevLimit, nullptr},
    {"VAL_AVSTAT", Value::StaticAdvance, "FIX_AVSTAT"},
    {"HEX_ADD", Value::CodeStart, nullptr},
    {"HEX_LNG", Value::CodeLength, nullptr},
    {"ADD_TABLE_BASSE_L1", Value::TableAddress, nullptr},
    {"ADD_TABLE_HAUTE_L1", Value::TableAddress, nullptr},
    {"ADD_TABLE_B16_L1", Value::TableAddress, nullptr},
    {"ADD_TABLE_H16_L1", Value::TableAddress, nullptr},
    {"ADD_TABLE_BASSE_L2", Value::TableAddress, nullptr},
    {"ADD_TABLE_HAUTE_L2", Value::TableAddress, nullptr},
    {"ADD_TABLE_B16_L2", Value::TableAddress, nullptr},
    {"ADD_TABLE_H16_L2", Value::TableAddress, nullptr},
    {"ADD_TABLE_BASSE", Value::TableAddress, nullptr},
    {"ADD_TABLE_HAUTE", Value::TableAddress, nullptr},
    {"ADD_TABLE_B16", Value::TableAddress, nullptr},
    {"ADD_TABLE_H16", Value::TableAddress, nullptr},
};
// clang-format on

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
