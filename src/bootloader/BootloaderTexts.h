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

    // Reads every text from the current language (GUI thread only).
    static BootloaderTexts load(const QString &port);

    // "MessPortPerdu" for a line lost as `line` says; a device that went away
    // is said so in the user's language.
    QString lostLine(const DeviceFailure &line) const;
};

// Fixed texts of the transfers, shown as they stand.
namespace BootloaderMessages {
inline const QString StartOfCommunication = QStringLiteral("Start of communication.");
inline const QString Writing = QStringLiteral("Ecriture, attendre SVP !");
inline const QString Timeout = QStringLiteral("Timeout of communication !");
inline const QString HelloFailed = QStringLiteral(
    "Timeout of communication, \r\nplease check port and ready of PIC for download ");
inline const QString TransferDone = QString::fromUtf8("Transfert effectué avec succès !");
inline const QString CurvesOk = QStringLiteral("Courbes download OK.");
inline const QString FirmwareOk = QStringLiteral("Firmware download OK.");
inline const QString Connected = QString::fromUtf8("Connection établie...");
inline const QString CheckPort =
    QString::fromUtf8("Vérifier le port COM et la connection du Module");
inline const QString CloseDone = QString::fromUtf8("Transfert finalisé avec succès !");
inline const QString CloseFailedInfo = QStringLiteral("Erreur pendant la cloture du transfert !");
inline const QString CloseFailed = QStringLiteral("Erreur pendant la cloture !");
inline const QString ModuleNotFound = QString::fromUtf8("Module VEK non trouvé...");
inline const QString NoFirmwareFile = QString::fromUtf8("Il n'y a pas de fichier OS présent ... ");
inline const QString NoLpt = QStringLiteral("Pas de transmission possible sur le port LPT");
inline const QString NoPackage = QString::fromUtf8("Aucun fichier OS n'a été sélectionné");
// The first-load window's three steps. The runs of blanks put each instruction
// on its own line in a label as wide as the widest one.
inline const QString FirstLoadSteps[3] = {
    QString::fromUtf8("- Couper l'alimentation du module d'allumage        - Basculer SW101.3 sur "
                      "OFF                                 - Rétablir l'alimentation du module "
                      "d'allumage"),
    QStringLiteral("Lancer le transfert..."),
    QString::fromUtf8("- Couper l'alimentation du module d'allumage        - Basculer SW101.3 sur "
                      "ON                                  - Rétablir l'alimentation du module "
                      "d'allumage"),
};
inline const QString FirstLoadWidestInstruction =
    QString::fromUtf8("- Rétablir l'alimentation du module d'allumage");
} // namespace BootloaderMessages
