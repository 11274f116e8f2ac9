#include "app/FirmwareProfile.h"

#include "app/VekContext.h"
#include "base/MainSettingsLoader.h"
#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "firmware/PackageValues.h"
#include "firmware/TableIncludeFiles.h"
#include "firmware/VEK_Gestion_OS.h"

#include <cmath>

namespace {

// Flags of a description: exactly "OUI" is yes.
bool flag(const QString &value)
{
    return value == QLatin1String("OUI");
}

int16_t boitierCode(const QString &value)
{
    if (value == QLatin1String("VEKP"))
        return 1;
    if (value == QLatin1String("VEK-MZ300"))
        return 2;
    if (value == QLatin1String("Q-PAK"))
        return 3;
    return 0;
}

// Each compilation type keeps its own table generator; the others have none.
int16_t compilationType(const QString &value)
{
    if (value == QLatin1String("8"))
        return 8;
    if (value == QLatin1String("88"))
        return 88;
    return 16;
}

QString orZero(const QString &address)
{
    return address.isEmpty() ? QStringLiteral("0") : address;
}

std::array<QString, 8> packageAddresses(const DescriptionLookup &reglage)
{
    std::array<QString, 8> addresses;
    if (!reglage(QStringLiteral("ADD_TABLE_BASSE_L1")).isEmpty()) {
        const char *keys[8] = {"ADD_TABLE_BASSE_L1", "ADD_TABLE_HAUTE_L1", "ADD_TABLE_B16_L1",
                               "ADD_TABLE_H16_L1",   "ADD_TABLE_BASSE_L2", "ADD_TABLE_HAUTE_L2",
                               "ADD_TABLE_B16_L2",   "ADD_TABLE_H16_L2"};
        for (int i = 0; i < 8; ++i)
            addresses[i] = orZero(reglage(QLatin1String(keys[i])));
        // An empty second set is no second set, not tables at 0.
        for (const int i : {4, 5})
            addresses[i] = reglage(QLatin1String(keys[i])).trimmed();
        return addresses;
    }
    // Older descriptions: one set of addresses for both curves.
    const char *keys[4] = {"ADD_TABLE_BASSE", "ADD_TABLE_HAUTE", "ADD_TABLE_B16", "ADD_TABLE_H16"};
    for (int i = 0; i < 4; ++i)
        addresses[i] = addresses[i + 4] = orZero(reglage(QLatin1String(keys[i])));
    return addresses;
}

} // namespace

PackageChoice LoadPackageProfile(const QString &package)
{
    // A package refused, or that cannot be read, leaves the files in use as they were.
    const VEK_Gestion_OS::Result loaded = VEK_Gestion_OS::ChargerOS(package);
    VEK_Gestion_OS::InitDescriptionTemp();
    PackageChoice choice{std::nullopt, loaded.message, loaded.notes};
    if (loaded.ok())
        choice.profile =
            PackageProfile([](const QString &key) { return VEK_Gestion_OS::LireReglageOS(key); });
    return choice;
}

std::optional<MapBoxLayout> MapBoxesFor(const QString &curveCount)
{
    // The line counts the transfers take; one line has no range to share out.
    const std::optional<int> lines = TableIncludeFiles::LignesCourbe(curveCount);
    if (!lines || *lines < 2)
        return std::nullopt;
    const int n = *lines;
    MapBoxLayout layout;
    layout.count = n;
    for (int i = 0; i < n; ++i) {
        layout.percentTexts << QLatin1Char(' ') + QString::number(i * 100 / (n - 1));
        layout.rangeTexts << QString::number(i * 100 / n) + QLatin1Char('-') +
                                 QString::number((i + 1) * 100 / n);
    }
    return layout;
}

FirmwareProfile FreeSettingProfile(const SettingLookup &icspSetting)
{
    FirmwareProfile p;
    p.TypeCompilation = 8;
    p.FrameMoteur = p.FrameAvanceST = true;
    p.NbCylindresEnabled = true;
    p.LimiteRupteur = 50000;
    p.AvStatiqueEnabled = true;
    // In the box's own form, so that a curve saved with it reads back as written.
    p.AvStatiqueText = QStringLiteral("45.0");
    p.FrameAvanceBRPM = p.FrameHardware = p.FrameCarteOption = p.FrameMultiEtincelle = true;
    p.FrameRetardCliquetis = p.FrameDwell = p.FrameTableMap = p.TerminalDisplay = true;
    // A package may have hidden the terminal's port controls and the live
    // instruments; nothing but the free setting can bring them back.
    p.TerminalPort = p.FrameKT5 = true;

    // Read by the rules the settings loader reads them by; the box type has
    // a default of its own here, a refused text gives it too.
    const QString noBox = QStringLiteral("0");
    p.ICSPBoitier = static_cast<int16_t>(
        MainSettingsLoader::Setting(QStringLiteral("ICSP_Boitier"),
                                    icspSetting(QStringLiteral("ICSP_Boitier"), noBox), noBox)
            .toInt());
    const auto area = [&icspSetting](const char *key) {
        const QString k = QLatin1String(key);
        return MainSettingsLoader::Setting(k, icspSetting(k, MainSettingsLoader::Default(k)));
    };
    p.ICSPHEXADD = area("ICSP_HEXADD");
    p.ICSPHEXLNG = area("ICSP_HEXLNG");
    p.ICSPNbTables = area("ICSP_NBTABLES");
    const char *keys[8] = {"ICSP_LTAB_L1", "ICSP_HTAB_L1", "ICSP_LTAB16_L1", "ICSP_HTAB16_L1",
                           "ICSP_LTAB_L2", "ICSP_HTAB_L2", "ICSP_LTAB16_L2", "ICSP_HTAB16_L2"};
    for (int i = 0; i < 8; ++i)
        p.tableAddresses[i] = area(keys[i]);
    return p;
}

FirmwareProfile PackageProfile(const DescriptionLookup &reglage)
{
    auto shown = [&reglage](const char *key) { return flag(reglage(QLatin1String(key))); };
    FirmwareProfile p;
    p.TypeCompilation = compilationType(reglage(QStringLiteral("COMPILATION")));
    p.FrameMoteur = shown("EN_SET_MOTEUR");
    p.NbCylindresEnabled = !shown("FIX_NBCYL");
    const QList<PackageValues::Read> values = PackageValues::ReadAll(
        reglage, ValueRules::Source::inFile(ValueRules::Path::PackageDescription, {}, 0));
    const auto taken = [&](const char *key) -> std::optional<QString> {
        const QString text = PackageValues::Taken(values, QLatin1String(key), {});
        return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
    };
    p.NbCylindresText = taken("VAL_NBCYL");
    p.FrameAvanceST = shown("EN_SET_AVANCE");
    p.LimiteRupteur = taken("LIMITE_RUPTEUR").value_or(QStringLiteral("0")).toInt();
    p.AvStatiqueEnabled = !shown("FIX_AVSTAT");
    p.AvStatiqueText = taken("VAL_AVSTAT");
    p.FrameAvanceBRPM = shown("AVANCEBRPM");
    p.FrameHardware = shown("HARDWARE");
    p.FrameCarteOption = shown("IO_TOR");
    p.FrameMultiEtincelle = shown("MULTISPARK");
    p.FrameRetardCliquetis = shown("RETARDKNOCK");
    p.FrameDwell = shown("DWELL");
    p.FrameTableMap = shown("MODE3D");
    p.TerminalDisplay = p.TerminalPort = shown("TERMINALRS232");
    p.FrameKT5 = shown("DIAG_KT5");
    p.ICSPBoitier = boitierCode(reglage(QStringLiteral("TYPEBOITIER")));
    p.chip = reglage(QStringLiteral("MODCHIP"));
    p.TypeTransfert = reglage(QStringLiteral("TRANSFERT"));
    p.ICSPHEXADD = reglage(QStringLiteral("HEX_ADD"));
    p.ICSPHEXLNG = reglage(QStringLiteral("HEX_LNG"));
    p.ICSPNbTables = PackageValues::Taken(values, QStringLiteral("NB_COURBES"), {});
    if (p.ICSPNbTables.isEmpty()) // no count given: two lines
        p.ICSPNbTables = QStringLiteral("2");
    p.mapBoxes = MapBoxesFor(p.ICSPNbTables);
    p.tableAddresses = packageAddresses(reglage);
    return p;
}

void ApplyProfileSettings(const FirmwareProfile &profile, VekContext &context)
{
    MainSettings &s = context.settings;
    s.TypeCompilation = profile.TypeCompilation;
    s.LimiteRupteur = profile.LimiteRupteur;
    s.ICSPBoitier = profile.ICSPBoitier;
    if (profile.chip) {
        context.pic.DeviceChip = *profile.chip;
        s.ICSPChip = *profile.chip;
    }
    if (profile.TypeTransfert)
        context.TypeTransfert = *profile.TypeTransfert;
    s.ICSPHEXADD = profile.ICSPHEXADD;
    s.ICSPHEXLNG = profile.ICSPHEXLNG;
    s.ICSPNbTables = profile.ICSPNbTables;
    QString *targets[8] = {&s.ICSPLTAB_L1, &s.ICSPHTAB_L1, &s.ICSPLTAB16_L1, &s.ICSPHTAB16_L1,
                           &s.ICSPLTAB_L2, &s.ICSPHTAB_L2, &s.ICSPLTAB16_L2, &s.ICSPHTAB16_L2};
    for (int i = 0; i < 8; ++i)
        *targets[i] = profile.tableAddresses[i];
}

FirmwareListRefresh KeepEntryInUse(QStringList listed, const QString &inUse)
{
    int chosen = listed.indexOf(inUse);
    if (chosen < 0) {
        listed.append(inUse);
        chosen = int(listed.size()) - 1;
    }
    return {std::move(listed), chosen};
}

TransferWindow TransferWindowFor(const QString &typeTransfert)
{
    if (typeTransfert == QLatin1String("ICSP"))
        return TransferWindow::Icsp;
    if (typeTransfert == QLatin1String("BOOTLOADER"))
        return TransferWindow::Bootloader;
    if (typeTransfert == QLatin1String("BL_INIT"))
        return TransferWindow::BlInit;
    if (typeTransfert == QLatin1String("KORVALx"))
        return TransferWindow::Korval;
    return TransferWindow::Unknown;
}
