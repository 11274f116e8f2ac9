#pragma once

#include "base/OptionBoardState.h"

#include <QString>

// What the low tables' header reads of the engine parameters and of the option
// board, taken from the windows when a set of tables is built.
struct TableHeaderSnapshot {
    QString Txt_rpm_maxi;            // rev limit, rpm
    bool SingleSparck = true;        // single spark (else multiple spark)
    QString CmbAvanceBasRegime;      // low-rpm advance, "0.0" to "12.0"
    QString Txt_av_statique;         // static advance, degrees
    QString TxtDwell;                // dwell, ms
    QString TxtDureeRetardCliquetis; // knock-retard duration
    int HardXLED = 0;                // extra LED function index, 0 "DISABLE"
    OptionBoardState optionBoard;
};
