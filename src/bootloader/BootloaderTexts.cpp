#include "bootloader/BootloaderTexts.h"

#include "base/LoadTexts.h"

BootloaderTexts BootloaderTexts::load(const QString &port)
{
    using T = BootloaderTexts;
    using VEK_LANGUAGE::LangKey;
    T t;
    VEK_LANGUAGE::LoadTexts(t, {
                                   {&T::progressCode, LangKey("DP1ProgCODE")},
                                   {&T::blocks, LangKey("Mbloc")},
                                   {&T::blockRefused, LangKey("MessBlocRefuse")},
                                   {&T::blockShort, LangKey("MessBlocIncomplet")},
                                   {&T::cancelled, LangKey("MessTransfertAnnule")},
                                   {&T::connectionCancelled, LangKey("MessConnexionAnnulee")},
                                   {&T::lineLost, LangKey("MessPortPerdu")},
                                   {&T::noAnswer, LangKey("MessCommandeSansReponse")},
                                   {&T::wrongAnswer, LangKey("MessCommandeReponseFausse")},
                                   {&T::identityShort, LangKey("MessIdentiteIncomplete")},
                                   {&T::greetingFailed, LangKey("ICSPTestBad")},
                                   {&T::closedAfterFailure, LangKey("MessDeconnexionApresEchec")},
                                   {&T::closedAfterRefusal, LangKey("MessDeconnexionApresRefus")},
                               });
    t.portFailure = PortFailureTexts::load();
    t.rangeRefused = TablePlacement::ZoneTexts::load();
    t.port = port;
    return t;
}

QString BootloaderTexts::lostLine(const DeviceFailure &line) const
{
    return VEK_LANGUAGE::ReplacePlaceholders(
        lineLost, {"{PORT}", port, "{RAISON}", portFailure.lossReason(line)});
}
