#pragma once

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// What the tests of the windows with bootloader buttons share: French texts,
// a program folder of their own, and a module that takes a 16F876A with two
// table lines at 0x300 / 0x500, a 0x200-word firmware and a three-point curve.
namespace BootloaderWindowRig {

inline void useTextsAndFolder(const QTemporaryDir &programFolder)
{
    VEK_LANGUAGE::SetFichierLangueDefaut("francais.ini");
    VEK_LANGUAGE::SetFichierLangue("francais.ini");
    VEK_LANGUAGE::InitLanguage();
    VEK_Gestion_OS::SetDossierProgramme(programFolder.path() + '/');
}

inline std::unique_ptr<VekContext> context()
{
    auto ctx = std::make_unique<VekContext>();
    ctx->TypeVersionOS = "VEK-MZ300.XOS";
    ctx->settings.ICSPChip = "PIC-16F876A";
    ctx->settings.TypeCompilation = 8;
    ctx->settings.ICSPNbTables = "2";
    ctx->settings.ICSPLTAB_L1 = "300";
    ctx->settings.ICSPHTAB_L1 = "500";
    ctx->settings.ICSPHEXADD = "000";
    ctx->settings.ICSPHEXLNG = "200";
    ctx->tab_avance.setRows({{"1000", "12", "8"}, {"3000", "16", "11"}, {"7000", "18", "15"}},
                            false);
    ctx->moteur.Txt_av_statique = "20";
    return ctx;
}

// The package's 0x200-word firmware, with bytes that look like commands.
inline PicDevice packageFirmware()
{
    PicDevice firmware;
    firmware.setChip(*ChipTable::fixedChip("PIC-16F876A"));
    firmware.InitMemoire();
    for (int k = 0; k < 0x200; ++k)
        firmware.ImagePIC.setCodeWord(k, uint16_t(k % 2 ? 0x00EA : 0x3AE3 - k));
    return firmware;
}

// Rows of the refusals both windows make before opening any port.
inline void addRefusalRows()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("says");
    QTest::newRow("parallel port") << "LPT1"
                                   << "A.XOS" << BootloaderMessages::NoLpt;
    QTest::newRow("no package") << "/dev/null"
                                << "" << BootloaderMessages::NoPackage;
}

} // namespace BootloaderWindowRig
