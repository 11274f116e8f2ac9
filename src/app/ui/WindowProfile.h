#pragma once

struct FirmwareProfile;
class QWidget;

// Puts the controls part of a firmware profile on the main window: frames shown
// or hidden, engine values locked or preset, the MAP boxes laid out. Controls
// are found by their object names; MAP boxes are named "tbMapAdj0".."tbMapAdj8"
// and "tbMap0".."tbMap8". A control the window lacks is skipped.
void ApplyWindowProfile(QWidget &window, const FirmwareProfile &profile);
