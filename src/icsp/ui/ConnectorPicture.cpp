#include "icsp/ui/ConnectorPicture.h"

#include "icsp/IcspSetup.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int px(int twips)
{
    return twips / ConnectorPicture::TwipsPerPixel;
}

// The pin holes are drawn where the markers go. DB9: pins 1-5 on the first row
// from the right, 6-9 on the second (TXD 3, DTR 4, RTS 7 carry the markers).
constexpr int kDb25PinSize = 135;
constexpr int kDb9PinSize = 135;

} // namespace

ConnectorMarker::ConnectorMarker(const QString &name, QWidget *picture) : QWidget(picture)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void ConnectorMarker::setColor(const QColor &color)
{
    color_ = color;
    update();
}

void ConnectorMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color_);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

ConnectorPicture::ConnectorPicture(Kind kind, QWidget *parent) : QWidget(parent), kind_(kind)
{
    setObjectName(kind == Kind::Db9 ? QStringLiteral("Sub_db9") : QStringLiteral("Sub_db25"));
    setFixedSize(sizeHint());
}

QSize ConnectorPicture::sizeHint() const
{
    return kind_ == Kind::Db9 ? QSize(px(1560), px(800)) : QSize(px(2860), px(800));
}

ConnectorMarker *ConnectorPicture::addMarker(const QString &name, int widthTwips, int heightTwips)
{
    auto *marker = new ConnectorMarker(name, this);
    marker->resize(std::max(px(widthTwips), 4), std::max(px(heightTwips), 4));
    return marker;
}

void ConnectorPicture::placeMarker(ConnectorMarker *marker, int leftTwips, int topTwips)
{
    marker->move(px(leftTwips), px(topTwips));
    marker->setProperty("leftTwips", leftTwips);
    marker->setProperty("topTwips", topTwips);
}

QPoint ConnectorPicture::markerTwips(const QWidget *marker)
{
    return {marker->property("leftTwips").toInt(), marker->property("topTwips").toInt()};
}

void ConnectorPicture::drawPin(QPainter &painter, int leftTwips, int topTwips) const
{
    const int size = kind_ == Kind::Db9 ? kDb9PinSize : kDb25PinSize;
    painter.drawEllipse(QRectF(px(leftTwips), px(topTwips), px(size), px(size)));
}

void ConnectorPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    // The D-shaped shell, wider at the top.
    QPainterPath shell;
    const qreal slant = r.height() * 0.22;
    shell.moveTo(r.topLeft());
    shell.lineTo(r.topRight());
    shell.lineTo(r.right() - slant, r.bottom());
    shell.lineTo(r.left() + slant, r.bottom());
    shell.closeSubpath();
    painter.setPen(QPen(QColor(90, 90, 90), 1.5));
    painter.setBrush(QColor(205, 205, 210));
    painter.drawPath(shell);

    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(QColor(240, 225, 150));
    if (kind_ == Kind::Db25) {
        for (int pin = 1; pin <= 25; ++pin) {
            const IcspSetup::Twips at = IcspSetup::Db25MarkerPosition(uint8_t(pin));
            drawPin(painter, at.left, at.top);
        }
    } else {
        for (int pin = 1; pin <= 5; ++pin)
            drawPin(painter, 1240 - 160 * (pin - 1), 330);
        for (int pin = 6; pin <= 9; ++pin)
            drawPin(painter, 1150 - 160 * (pin - 6), 480);
    }
}
