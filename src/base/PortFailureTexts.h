#pragma once

#include "platform/DeviceResult.h"

#include <QString>

// How every window words a port that would not open, in the user's language:
// "MessPortOuverture" with the port as the user set it ("COM12", "LPT1", a
// device path) and the reason; and why an open port was lost. Read on the GUI
// thread; jobs carry a copy.
struct PortFailureTexts {
    QString openFailed;   // {PORT} {RAISON}
    QString noSuchPort;   // {DEVICE}
    QString notAPort;     //
    QString notSerial;    //
    QString notATty;      // {DEVICE}
    QString denied;       // {DEVICE}
    QString inUse;        // nobody named
    QString inUseBy;      // {QUI}
    QString inUseHere;    // another window of ours
    QString noModemLines; //
    QString gone;         // the device went away while open
    QString badSettings;  // link settings that cannot be set

    // Every text from the current language (GUI thread only).
    static PortFailureTexts load();

    // The sentence for a failed opening of `port`; without texts (nothing
    // loaded) the system's own words.
    QString describe(const QString &port, const DeviceFailure &failed) const;

    // Why an open port was lost, for "MessPortPerdu": a device that went away
    // is said so (the system's words for the call that failed then mislead),
    // any other failure in the system's words.
    QString lossReason(const DeviceFailure &lost) const
    {
        return lost.fault == DeviceFault::Gone && !gone.isEmpty() ? gone : lost.error;
    }
};
