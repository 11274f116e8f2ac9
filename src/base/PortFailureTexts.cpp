#include "base/PortFailureTexts.h"

#include "base/LoadTexts.h"

using VEK_LANGUAGE::ReplacePlaceholders;

PortFailureTexts PortFailureTexts::load()
{
    using T = PortFailureTexts;
    using VEK_LANGUAGE::LangKey;
    T t;
    VEK_LANGUAGE::LoadTexts(t, {
                                   {&T::openFailed, LangKey("MessPortOuverture")},
                                   {&T::noSuchPort, LangKey("PortFaultMissing")},
                                   {&T::notAPort, LangKey("PortFaultNotAPort")},
                                   {&T::notSerial, LangKey("PortFaultNotSerial")},
                                   {&T::notATty, LangKey("PortFaultNotATty")},
                                   {&T::denied, LangKey("PortFaultDenied")},
                                   {&T::inUse, LangKey("PortFaultInUse")},
                                   {&T::inUseBy, LangKey("PortFaultInUseBy")},
                                   {&T::inUseHere, LangKey("PortFaultInUseHere")},
                                   {&T::noModemLines, LangKey("PortFaultNoModemLines")},
                                   {&T::gone, LangKey("PortFaultGone")},
                                   {&T::badSettings, LangKey("PortFaultReglages")},
                               });
    return t;
}

QString PortFailureTexts::describe(const QString &port, const DeviceFailure &failed) const
{
    const QString &systemText = failed.error;
    if (openFailed.isEmpty())
        return systemText;
    // The system's text is "<device>: <its words>".
    const QString device = systemText.section(QStringLiteral(": "), 0, 0);
    QString reason;
    switch (failed.fault) {
    case DeviceFault::NoSuchPort:
        reason = ReplacePlaceholders(noSuchPort, {QStringLiteral("{DEVICE}"), device});
        break;
    case DeviceFault::NotAPort:
        reason = notAPort;
        break;
    case DeviceFault::NotSerial:
        reason = notSerial;
        break;
    case DeviceFault::NotATty:
        reason = ReplacePlaceholders(notATty, {QStringLiteral("{DEVICE}"), device});
        break;
    case DeviceFault::Denied:
        reason = ReplacePlaceholders(denied, {QStringLiteral("{DEVICE}"), device});
        break;
    case DeviceFault::InUse:
        // Never ourselves by name: another window of ours is said as such.
        reason = failed.heldHere ? inUseHere
                 : failed.holder.isEmpty()
                     ? inUse
                     : ReplacePlaceholders(inUseBy, {QStringLiteral("{QUI}"), failed.holder});
        break;
    case DeviceFault::NoModemLines:
        reason = noModemLines;
        break;
    case DeviceFault::Gone:
        reason = gone;
        break;
    case DeviceFault::BadSettings:
        reason = badSettings;
        break;
    case DeviceFault::Other:
        break;
    }
    if (reason.isEmpty())
        reason = systemText;
    return ReplacePlaceholders(
        openFailed, {QStringLiteral("{PORT}"), port, QStringLiteral("{RAISON}"), reason});
}
