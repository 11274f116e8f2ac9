#include "app/ui/MapScenePainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace MapScenePainter {

namespace {

constexpr int LabelHeightTwips = 180; // about 12 screen pixels
constexpr int LabelRoom = 4000;       // text box width; texts never come near it

void paintLabel(QPainter &painter, const MapLabel &label)
{
    const QRectF box =
        label.alignRight
            ? QRectF(label.at.x() - LabelRoom, label.at.y(), LabelRoom, LabelHeightTwips * 2)
            : QRectF(label.at.x(), label.at.y(), LabelRoom, LabelHeightTwips * 2);
    painter.drawText(box, (label.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop,
                     label.text);
}

} // namespace

QColor ColorOf(MapColour colour)
{
    return QColor::fromRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void Paint(QPainter &painter, const MapScene &scene)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing,
                          false); // crisp one-pixel lines, as drawn on screen
    painter.fillRect(QRectF(0, 0, scene.width, scene.height), ColorOf(scene.background));

    for (const MapSegment &segment : scene.segments) {
        QPen pen(ColorOf(segment.colour), 0, segment.dotted ? Qt::DotLine : Qt::SolidLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.drawLine(segment.line);
    }

    QFont font = painter.font();
    font.setPixelSize(LabelHeightTwips);
    painter.setFont(font);
    painter.setPen(ColorOf(0x00FF00));
    for (const MapLabel &label : scene.labels)
        paintLabel(painter, label);

    QPen edge(ColorOf(scene.cellEdge), 0);
    edge.setCosmetic(true);
    for (const MapCell &cell : scene.cells) {
        const QPolygonF polygon(
            {cell.corners[0], cell.corners[1], cell.corners[2], cell.corners[3]});
        QPainterPath path;
        path.addPolygon(polygon);
        path.setFillRule(Qt::WindingFill);
        painter.fillPath(path, ColorOf(cell.colour));
        painter.setPen(edge);
        painter.drawPolygon(polygon);
    }
    painter.restore();
}

QImage Render(const MapScene &scene)
{
    const int px = AdvanceMap3D::TwipsPerPixel;
    QImage image(qRound(scene.width / px), qRound(scene.height / px), QImage::Format_RGB32);
    image.fill(ColorOf(scene.background));
    QPainter painter(&image);
    painter.scale(1.0 / px, 1.0 / px);
    Paint(painter, scene);
    return image;
}

} // namespace MapScenePainter
