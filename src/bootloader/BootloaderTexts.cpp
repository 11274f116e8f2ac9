#include "bootloader/BootloaderTexts.h"

#include "base/VEK_LANGUAGE.h"

using VEK_LANGUAGE::GetLanguageText;

BootloaderTexts BootloaderTexts::load(const QString &port)
{
    BootloaderTexts t;
    t.progressCode = GetLanguageText("DP1ProgCODE");
    t.blocks = GetLanguageText("Mbloc");
    t.blockRefused = GetLanguageText("MessBlocRefuse");
    t.cancelled = GetLanguageText("MessTransfertAnnule");
    t.rangeRefused = GetLanguageText("MessZoneRefusee");
    t.lineLost = GetLanguageText("MessPortPerdu");
    t.portFailure = PortFailureTexts::load();
    t.identityShort = GetLanguageText("MessIdentiteIncomplete");
    t.greetingFailed = GetLanguageText("ICSPTestBad");
    t.closedAfterFailure = GetLanguageText("MessDeconnexionApresEchec");
    t.port = port;
    return t;
}
