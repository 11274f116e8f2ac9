#pragma once

#include "base/PortFailureTexts.h"
#include "firmware/TablePlacement.h"

#include <QString>

// The texts a bootloader job reports, looked up on the GUI thread before the job
// starts (language look-ups are not made from the worker thread). Templates keep
// their placeholders; the job fills them with ReplacePlaceholders.
struct BootloaderTexts {
    QString progressCode;                   // "DP1ProgCODE": progress text before the block count
    QString blocks;                         // "Mbloc": after it
    QString blockRefused;                   // {ADR} {REPONSE}
    QString blockShort;                     // {ADR} {REPONSE}: an acknowledgement cut short
    QString cancelled;                      // {ADR}
    QString connectionCancelled;            // the greeting cancelled: not connected
    TablePlacement::ZoneTexts rangeRefused; // which rule a range breaks
    QString lineLost;                       // {PORT} {RAISON}
    QString noAnswer;                       // {MS}: a command unanswered in its time
    QString wrongAnswer;                    // {REPONSE}: a command answered amiss
    PortFailureTexts portFailure;           // a port that would not open
    QString identityShort;                  // {CMD} {RECU} {ATTENDU}
    QString greetingFailed;                 // "ICSPTestBad"
    QString closedAfterFailure;             // the disconnection after a transfer that failed
    QString closedAfterRefusal;             // after a download refused before any frame
    QString port;                           // the port's name in messages
    QString startOfCommunication;           // before each greeting
    QString writing;                        // while the frames go
    QString timeout;                        // a greeting or command unanswered
    QString helloFailed;                    // the download's hello unanswered (two lines)
    QString transferDone;                   // every frame acknowledged
    QString curvesOk;                       // the curve tables sent
    QString firmwareOk;                     // the firmware sent
    QString connected;                      // the module identified
    QString checkPort;                      // its identity unreadable
    QString closeDone;                      // the module left its bootloader
    QString closeFailedInfo;                // the close unanswered, in the label
    QString closeFailed;                    // the same, in the message

    // Reads every text from the current language (GUI thread only).
    static BootloaderTexts load(const QString &port);

    // "MessPortPerdu" for a line lost as `line` says; a device that went away
    // is said so in the user's language.
    QString lostLine(const DeviceFailure &line) const;
};
