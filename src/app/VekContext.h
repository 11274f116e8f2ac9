#pragma once

#include "app/CurveModel.h"
#include "app/EngineParameters.h"
#include "app/MapBoxes.h"
#include "base/MainSettings.h"
#include "base/OptionBoardState.h"
#include "base/VEK_XML.h"
#include "icsp/PicDevice.h"
#include "icsp/TransferServices.h"

#include <QString>

// The one owner of the program's shared state. The main window creates it and
// hands it to every window it opens; plain classes take what they need from it.
struct VekContext {
    MainSettings settings;
    OptionBoardState optionBoard;
    MapBoxes mapBoxes;         // texts of the MAP boxes
    PicDevice pic;             // device record and memory image of the programmer and transfers
    TransferServices transfer; // services of the transfer windows
    QString TypeTransfert;     // "ICSP", "BOOTLOADER", "BL_INIT" or "KORVALx"
    QString TypeVersionOS;     // selected firmware package (list text)
    VEK_XML catalogues;        // chip and option-board catalogues
    CurveModel tab_avance;     // the advance curve
    EngineParameters moteur;   // the engine parameters beside it
};
