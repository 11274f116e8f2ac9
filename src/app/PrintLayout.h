#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

// What the print button prints and where a picture goes on the page.
namespace PrintLayout {

// Pages of the main window's tab control.
enum Page { Parameters = 0, Curves = 1, Map3D = 2, Terminal = 3, RealTime = 4 };

enum class Content { Nothing, Chart, Map, Text };

// Text and pictures keep clear of the paper's edge by this margin all round (or
// the printer's own unprintable border when wider); pictures are placed within it.
constexpr double PageMarginMm = 10;
constexpr double TopMarginTwips = 200;

// The chart (curve and live pages) and the map need curve points, the text
// page a text; anything else has nothing to print.
Content ContentFor(int page, int curvePointCount, const QString &terminalText);

// Place of a picture of `picture` size (twips) on a page of `page` size
// (twips, within the margins): 200 twips from the top, centred across the page; a picture larger
// than the room left is scaled down, keeping its proportions.
QRectF PlacePicture(QSizeF picture, QSizeF page);

} // namespace PrintLayout
