#include "base/PortFailureTexts.h"

#include "base/VEK_LANGUAGE.h"

using VEK_LANGUAGE::ReplacePlaceholders;

PortFailureTexts PortFailureTexts::load()
{
    using VEK_LANGUAGE::GetLanguageText;
    PortFailureTexts t;
    t.openFailed = GetLanguageText(QStringLiteral("MessPortOuverture"));
    t.noSuchPort = GetLanguageText(QStringLiteral("PortFaultMissing"));
    t.notAPort = GetLanguageText(QStringLiteral("PortFaultNotAPort"));
    t.denied = GetLanguageText(QStringLiteral("PortFaultDenied"));
    t.inUse = GetLanguageText(QStringLiteral("PortFaultInUse"));
    t.inUseBy = GetLanguageText(QStringLiteral("PortFaultInUseBy"));
    t.noModemLines = GetLanguageText(QStringLiteral("PortFaultNoModemLines"));
    return t;
}

QString PortFailureTexts::describe(const QString &port, DeviceFault fault, const QString &holder,
                                   const QString &systemText) const
{
    if (openFailed.isEmpty())
        return systemText;
    // The system's text is "<device>: <its words>".
    const QString device = systemText.section(QStringLiteral(": "), 0, 0);
    QString reason;
    switch (fault) {
    case DeviceFault::NoSuchPort:
        reason = ReplacePlaceholders(noSuchPort, {QStringLiteral("{DEVICE}"), device});
        break;
    case DeviceFault::NotAPort:
        reason = notAPort;
        break;
    case DeviceFault::Denied:
        reason = ReplacePlaceholders(denied, {QStringLiteral("{DEVICE}"), device});
        break;
    case DeviceFault::InUse:
        reason = holder.isEmpty() ? inUse
                                  : ReplacePlaceholders(inUseBy, {QStringLiteral("{QUI}"), holder});
        break;
    case DeviceFault::NoModemLines:
        reason = noModemLines;
        break;
    case DeviceFault::Other:
        break;
    }
    if (reason.isEmpty())
        reason = systemText;
    return ReplacePlaceholders(
        openFailed, {QStringLiteral("{PORT}"), port, QStringLiteral("{RAISON}"), reason});
}
