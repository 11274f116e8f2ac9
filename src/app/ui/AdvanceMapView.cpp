#include "app/ui/AdvanceMapView.h"

#include "app/ui/MapScenePainter.h"

#include <QPainter>

AdvanceMapView::AdvanceMapView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PicMap"));
    setMinimumSize(320, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    draw(MapInputs{});
}

void AdvanceMapView::draw(const MapInputs &inputs)
{
    m_scene = AdvanceMap3D::BuildScene(inputs);
    update();
}

QSize AdvanceMapView::sizeHint() const
{
    return QSize(qRound(m_scene.width / AdvanceMap3D::TwipsPerPixel),
                 qRound(m_scene.height / AdvanceMap3D::TwipsPerPixel));
}

void AdvanceMapView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), MapScenePainter::ColorOf(m_scene.background));
    if (m_scene.width <= 0 || m_scene.height <= 0)
        return;
    const double scale = std::min(width() / m_scene.width, height() / m_scene.height);
    painter.translate((width() - m_scene.width * scale) / 2,
                      (height() - m_scene.height * scale) / 2);
    painter.scale(scale, scale);
    MapScenePainter::Paint(painter, m_scene);
}
