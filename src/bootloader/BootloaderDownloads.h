#pragma once

#include "base/Jobs.h"
#include "base/MainSettings.h"
#include "bootloader/BootloaderSession.h"
#include "firmware/TablePlacement.h"
#include "icsp/BootloaderService.h"
#include "icsp/PicImage.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class PicDevice;

// The two downloads through the bootloader: the curve's tables, and the whole
// firmware of the package in use. Each has a preparation on the GUI thread
// (checks, questions, the shared image filled) and a job that only sends.

// What the curve download needs of the program, taken on the GUI thread.
struct CurveDownloadRequest {
    QString DeviceChip;
    int gridRows = 0;     // rows of the curve grid, the title row included
    QString curveProblem; // the curve model's report of unusable cells; empty when usable
    TablePlacement::Request placement;
    // Builds the four tables (high then low of the atmospheric column, then of
    // the boost column) and returns 0, or -1 after telling the user why not.
    std::function<int16_t(TableIncludeFiles::TablesExport &)> generer;
};

struct CurveDownloadPlan {
    std::optional<TablePlacement::Plan> plan; // set when ready to send
    TablePlacement::Refusal refusal;          // otherwise the message to show
};

// Checks the chip, the curve (two points at least, every cell usable) and the placement (its
// areas within the chip of `pic`), builds the tables, blanks the image of `pic` and places
// them; nothing is touched before every check passed. GUI thread.
CurveDownloadPlan PreparerTelechargementCourbes(const CurveDownloadRequest &request,
                                                PicDevice &pic);

// Whether the firmware in force has curve set `curveSet`: set 1 always, set 2
// when both its table addresses are given (an empty second set of table
// addresses is no second set). What offers and refuses its download.
bool JeuDeCourbes(const MainSettings &settings, int curveSet);

// The settings' placement request of curve set 1 or 2.
TablePlacement::Request DemandePlacement(const MainSettings &settings,
                                         const std::array<QString, 9> &tbMapAdj, int curveSet);

// Greets the bootloader and sends the low then the high table areas of the plan,
// the bar running once over both.
JobOutcome TelechargerCourbes(BootloaderSession &session, const PicDevice &device,
                              const TablePlacement::Plan &plan, const BootloaderTexts &texts,
                              ProgressSink &sink, const CancelToken &cancel);

struct FirmwareDownloadPlan {
    std::optional<TablePlacement::WordRange> range; // set when ready to send
    TablePlacement::Refusal refusal;
};

// Loads "~TEMP.HEX" (else "~TEMP.XEH") of the program folder, unpacked from
// the package `paquet` of the firmware list, into `pic`, identifies the chip
// from the ICSPChip setting, and checks the range ICSPHEXADD + ICSPHEXLNG by
// the areas' rule (TablePlacement::ZonesRefusees). A file the reader rejects
// stops here, named as the package's member, and leaves `pic` untouched. GUI
// thread.
FirmwareDownloadPlan PreparerTelechargementFirmware(const MainSettings &settings,
                                                    const QString &paquet, PicDevice &pic);

// Greets the bootloader and sends the firmware range.
JobOutcome TelechargerFirmware(BootloaderSession &session, const PicDevice &device,
                               const TablePlacement::WordRange &range, const BootloaderTexts &texts,
                               ProgressSink &sink, const CancelToken &cancel);

// The downloads as jobs on a window's connection. The device (chip and image),
// plan and texts are copied when the job is made (GUI thread), so the job sends
// what was prepared.
TransferJob CurveDownloadJob(std::shared_ptr<BootloaderSession> session, const PicDevice &device,
                             const TablePlacement::Plan &plan, const BootloaderTexts &texts);
TransferJob FirmwareDownloadJob(std::shared_ptr<BootloaderSession> session, const PicDevice &device,
                                const TablePlacement::WordRange &range,
                                const BootloaderTexts &texts);

// The curve download of `request` made ready to send on `session`, with the
// areas it is about to write as its notice (the programmer window shows them),
// or its refusal. GUI thread.
BootloaderJob PreparerJobCourbes(std::shared_ptr<BootloaderSession> session,
                                 const CurveDownloadRequest &request, PicDevice &pic,
                                 const QString &icspPort);

// The package's firmware made ready to send on `session`, or its refusal, whose
// text also goes to the information label. GUI thread. A refusal of either is
// kept by the session for what its disconnection says.
BootloaderJob PreparerJobFirmware(std::shared_ptr<BootloaderSession> session,
                                  const MainSettings &settings, const QString &paquet,
                                  PicDevice &pic);
