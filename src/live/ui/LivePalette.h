#pragma once

#include <QColor>

// Colours of the live and terminal pages.
namespace LivePalette {
inline const QColor SegmentAllume{53, 149, 149};
inline const QColor SegmentEteint{23, 60, 60};
inline const QColor Aiguille{255, 0, 0};
inline const QColor VoyantAllume{0, 255, 0};
inline const QColor VoyantEteint{85, 149, 48};
inline const QColor LigneActive{0, 255, 0};
inline const QColor LigneInactive{255, 0, 0};
inline const QColor FondInstrument{12, 18, 18};
} // namespace LivePalette
