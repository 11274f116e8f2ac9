#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

struct VekContext;

// Layout of the MAP pressure boxes for a firmware with `count` curves.
struct MapBoxLayout {
    int count = 0;            // boxes 0 .. count - 1 shown, the others hidden
    QStringList percentTexts; // text of each shown percentage box (" 0", " 50", " 100")
    QStringList rangeTexts;   // text of each shown range box ("0-50", "50-100")
    // The first and the last shown percentage boxes are fixed at 0 and 100.
    bool isLocked(int box) const { return box == 0 || box == count - 1; }
};

// What choosing an entry of the firmware list does to the main window and its
// settings. An empty optional leaves that control or setting as it is.
struct FirmwareProfile {
    static constexpr int kMapBoxes = 9;

    // Frames and controls shown (true) or hidden.
    std::optional<bool> FrameMoteur;
    std::optional<bool> FrameAvanceST;
    std::optional<bool> FrameAvanceBRPM;
    std::optional<bool> FrameHardware;
    std::optional<bool> FrameCarteOption;
    std::optional<bool> FrameMultiEtincelle;
    std::optional<bool> FrameRetardCliquetis;
    std::optional<bool> FrameDwell;
    std::optional<bool> FrameTableMap;   // and the 3D picture PicMap
    std::optional<bool> TerminalDisplay; // FrameLED, Term_Recept, BP_Erraseterm
    std::optional<bool> TerminalPort;    // BP_OpenPort, chkTermEcho, Label5, optAsc/Hex/Dec
    std::optional<bool> FrameKT5;

    // Engine values the firmware fixes.
    std::optional<bool> NbCylindresEnabled; // and its label LabelMoteur1
    std::optional<QString> NbCylindresText; // item to select (case aside); none equal: no selection
    std::optional<bool> AvStatiqueEnabled;
    std::optional<QString> AvStatiqueText;
    std::optional<MapBoxLayout> mapBoxes;

    // Main-window settings.
    int16_t TypeCompilation = 8;
    int32_t LimiteRupteur = 0;
    int16_t ICSPBoitier = 0;
    std::optional<QString> chip; // ICSPChip and DeviceChip
    std::optional<QString> TypeTransfert;
    QString ICSPHEXADD;
    QString ICSPHEXLNG;
    QString ICSPNbTables;
    // ICSPLTAB_L1, ICSPHTAB_L1, ICSPLTAB16_L1, ICSPHTAB16_L1, then the same for curve 2.
    std::array<QString, 8> tableAddresses;
};

// Value of a key in the "[REGLAGE]" section of the chosen package's
// description; empty when absent.
using DescriptionLookup = std::function<QString(const QString &key)>;
// Value of a key of the user's "ICSP" settings, or `defaultValue` when absent.
using SettingLookup = std::function<QString(const QString &key, const QString &defaultValue)>;

// The free setting ("Paramétrage Libre"): everything available, programmer
// and addresses from the user's settings.
FirmwareProfile FreeSettingProfile(const SettingLookup &icspSetting);
// A firmware package, as its description says, its values as their rules
// take them (a refused one as no value). An empty cylinder count or static
// advance leaves its control as it is.
FirmwareProfile PackageProfile(const DescriptionLookup &reglage);

// The package `package` of the firmware list unpacked over the temporary
// files once checked (VEK_Gestion_OS::ChargerOS), its description made
// current: its profile and the notes on its values, or the message to show,
// the earlier package files and description then being in use still.
struct PackageChoice {
    std::optional<FirmwareProfile> profile;
    QString message;
    QString notes;
};
PackageChoice LoadPackageProfile(const QString &package);

// The MAP boxes for a curve count text, or none when the boxes should keep
// their state (a count the transfers refuse, TableIncludeFiles::LignesCourbe,
// or a single curve).
std::optional<MapBoxLayout> MapBoxesFor(const QString &curveCount);

// Puts a profile's settings into the shared state.
void ApplyProfileSettings(const FirmwareProfile &profile, VekContext &context);

// The firmware list read again from the package folder (`listed`, the free
// setting first): the entry in use stays chosen; a package no longer in the
// folder (a project's own) stays listed at the end.
struct FirmwareListRefresh {
    QStringList entries;
    int chosen = 0;
};
FirmwareListRefresh KeepEntryInUse(QStringList listed, const QString &inUse);

// The window the programming button opens for a transfer type.
enum class TransferWindow { Icsp, Bootloader, BlInit, Korval, Unknown };
TransferWindow TransferWindowFor(const QString &typeTransfert);
