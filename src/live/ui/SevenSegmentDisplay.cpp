#include "live/ui/SevenSegmentDisplay.h"

#include "live/SevenSegment.h"
#include "live/ui/LivePalette.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QtMath>

SevenSegmentDisplay::SevenSegmentDisplay(int digits, QWidget *parent)
    : QWidget(parent), m_digits(digits), m_designWidth(digits * 400 + 200)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(int(m_designWidth / 12), int(m_designHeight / 12));
}

void SevenSegmentDisplay::setCodes(std::vector<uint8_t> codes)
{
    if (codes == m_codes)
        return;
    if (codes.size() != m_codes.size()) {
        m_codes = std::move(codes);
        update();
        return;
    }
    // Same digit count: only the digits that change are repainted, as one
    // rectangle. A clip of several rectangles would take the painter off its
    // plain copy of the digit images onto a slower path that wakes threads.
    QRect changed;
    for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] != m_codes[i])
            changed |= digitRect(i, codes.size());
    m_codes = std::move(codes);
    update(changed);
}

void SevenSegmentDisplay::clear()
{
    setCodes({});
}

QSize SevenSegmentDisplay::sizeHint() const
{
    return QSize(int(m_designWidth / 9), int(m_designHeight / 9));
}

namespace {
// Half the size of a digit's box in design units, with a margin for the antialiasing.
constexpr double DigitHalfWidth = (SevenSegment::L + 2 * SevenSegment::T) / 2 + 10;
constexpr double DigitHalfHeight = SevenSegment::H + SevenSegment::T * 1.5 + 10;
} // namespace

const QPixmap &SevenSegmentDisplay::digitImage(uint8_t code, double scale)
{
    if (m_imagesFor != size()) {
        m_digitImages.clear();
        m_imagesFor = size();
    }
    auto it = m_digitImages.find(code);
    if (it != m_digitImages.end())
        return *it;
    const qreal dpr = devicePixelRatioF();
    const QSize px(qCeil(2 * DigitHalfWidth * scale * dpr),
                   qCeil(2 * DigitHalfHeight * scale * dpr));
    QPixmap image(px);
    image.setDevicePixelRatio(dpr);
    image.fill(LivePalette::FondInstrument);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    AfficheChiffre7Seg(painter, code, DigitHalfWidth, DigitHalfHeight, SevenSegment::L,
                       SevenSegment::H, SevenSegment::T);
    return *m_digitImages.insert(code, image);
}

double SevenSegmentDisplay::scale() const
{
    // Design units onto the widget, same scale on both axes, centred.
    return qMin(width() / m_designWidth, height() / m_designHeight);
}

QRect SevenSegmentDisplay::digitRect(size_t i, size_t count) const
{
    const std::vector<double> xs = SevenSegment::PositionsChiffres(int(count));
    if (i >= xs.size())
        return {};
    const double s = scale();
    const QPointF centre(width() / 2.0, height() / 2.0);
    const QPointF topLeft = centre + QPointF((xs[i] - DigitHalfWidth) * s, -DigitHalfHeight * s);
    return QRect(topLeft.toPoint(),
                 QSize(qCeil(2 * DigitHalfWidth * s) + 1, qCeil(2 * DigitHalfHeight * s) + 1));
}

void SevenSegmentDisplay::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), LivePalette::FondInstrument);
    const double s = scale();
    for (size_t i = 0; i < m_codes.size(); ++i) {
        const QRect at = digitRect(i, m_codes.size());
        if (at.isValid() && event->region().intersects(at))
            painter.drawPixmap(at.topLeft(), digitImage(m_codes[i], s));
    }
}

void AfficheNombre7Seg(int16_t value, int digits, SevenSegmentDisplay &picture)
{
    if (auto codes = SevenSegment::CodesNombre(value, digits))
        picture.setCodes(std::move(*codes));
}

void AfficheChiffre7Seg(QPainter &painter, uint8_t code, double x, double y, double, double,
                        double t)
{
    const uint8_t mask = SevenSegment::Masque(code);
    const auto segments = SevenSegment::Segments(x, y);
    for (size_t i = 0; i < segments.size(); ++i) {
        const auto &s = segments[i];
        const bool lit = mask & (1 << i);
        if (s.orientation == SevenSegment::Orientation::Horizontal)
            SegmentHorizontal(painter, s.centre.x(), s.centre.y(), s.length, t, lit);
        else
            SegmentVertical(painter, s.centre.x(), s.centre.y(), s.length, t, lit);
    }
}

// The outline of a fan of lines, each shortened at both ends by its distance
// from the centre line: a hexagon.
static void drawBar(QPainter &painter, const QPolygonF &shape, bool lit)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(lit ? LivePalette::SegmentAllume : LivePalette::SegmentEteint);
    painter.drawPolygon(shape);
}

void SegmentHorizontal(QPainter &painter, double x, double y, double length, double thickness,
                       bool lit)
{
    const double hl = length / 2, ht = thickness / 2;
    drawBar(painter,
            QPolygonF({{x - hl, y},
                       {x - hl + ht, y - ht},
                       {x + hl - ht, y - ht},
                       {x + hl, y},
                       {x + hl - ht, y + ht},
                       {x - hl + ht, y + ht}}),
            lit);
}

void SegmentVertical(QPainter &painter, double x, double y, double length, double thickness,
                     bool lit)
{
    const double hl = length / 2, ht = thickness / 2;
    drawBar(painter,
            QPolygonF({{x, y - hl},
                       {x + ht, y - hl + ht},
                       {x + ht, y + hl - ht},
                       {x, y + hl},
                       {x - ht, y + hl - ht},
                       {x - ht, y - hl + ht}}),
            lit);
}
