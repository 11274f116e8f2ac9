#include "icsp/ui/VEK_BarGraph.h"

#include "base/NumberHelpers.h"
#include "base/ui/ElidedLabel.h"
#include "icsp/ui/StatusPanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>

VEK_BarGraph::~VEK_BarGraph()
{
    QObject::disconnect(m_resized);
}

void VEK_BarGraph::Initialize(StatusPanel *Pnl)
{
    QObject::disconnect(m_resized);
    m_panel = Pnl;
    m_bound = Pnl != nullptr;
    m_shown = 0;
    if (Pnl)
        m_resized = QObject::connect(Pnl, &StatusPanel::resized, Pnl, [this] { panelResized(); });
}

QColor VEK_BarGraph::colorOf(uint32_t value, const QPalette &palette)
{
    if (value & 0x80000000u) {
        switch (value & 0xFF) {
        case 5:
            return palette.color(QPalette::Base);
        case 7:
        case 8:
            return palette.color(QPalette::WindowText);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button);
        default:
            return Qt::black;
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// The text is drawn in the bar's colour, which the not-xor turns white on the
// bar. A light bar (yellow, bright green) would hold white text nobody reads:
// its text is drawn in the complement instead, dark on white and black on the bar.
QColor VEK_BarGraph::inkColor(uint32_t progressColor) const
{
    const QColor bar = colorOf(progressColor, m_panel->palette());
    const double luminance = 0.2126 * bar.redF() + 0.7152 * bar.greenF() + 0.0722 * bar.blueF();
    if (luminance <= 0.5)
        return bar;
    return QColor(255 - bar.red(), 255 - bar.green(), 255 - bar.blue());
}

QImage VEK_BarGraph::clearedSurface() const
{
    QImage surface(std::max(1, m_panel->width()), std::max(1, m_panel->height()),
                   QImage::Format_RGB32);
    surface.fill(Background);
    return surface;
}

// Each pixel becomes the inverse of (pen XOR pixel): text drawn in the pen
// colour turns white, the background takes the pen colour.
void VEK_BarGraph::notXorFill(QImage &surface, int x0, int x1, uint32_t progressColor) const
{
    const QRgb pen = colorOf(progressColor, m_panel->palette()).rgb() & 0xFFFFFF;
    x0 = std::clamp(x0, 0, surface.width());
    x1 = std::clamp(x1, 0, surface.width());
    for (int y = 0; y < surface.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(surface.scanLine(y));
        for (int x = x0; x < x1; ++x)
            line[x] = 0xFF000000u | (~(pen ^ line[x]) & 0xFFFFFFu);
    }
}

VEK_BarGraph::Drawing VEK_BarGraph::drawing(bool fond, const QString &text) const
{
    Drawing d;
    d.fond = fond;
    d.text = text;
    d.textColor = m_textColor;
    d.progressColor = m_progressColor;
    return d;
}

void VEK_BarGraph::draw(const Drawing &d)
{
    QImage surface = clearedSurface();
    bool cut = false;
    QString says = d.text;
    if (d.fond)
        cut = drawFond(surface, d);
    else
        says = drawPanel(surface, d);
    m_last = d;
    m_shown = surface.cacheKey();
    m_panel->setPicture(surface, says, cut);
}

// A picture replaced by another (taken away, or drawn by another bar) stays.
void VEK_BarGraph::panelResized()
{
    if (isBound() && m_shown != 0 && m_panel->picture().cacheKey() == m_shown)
        draw(m_last);
}

void VEK_BarGraph::DrawPanel(const QString &TextAvant, int16_t Valeur, const QString &TextBefore)
{
    if (!isBound())
        return;
    Drawing d = drawing(false, TextAvant);
    d.value = Valeur;
    d.textBefore = TextBefore;
    draw(d);
}

QString VEK_BarGraph::drawPanel(QImage &surface, const Drawing &d) const
{
    const QFontMetrics metrics(m_panel->font());
    const int h = surface.height();
    const int textTop = RoundHalfEven((h - metrics.height()) / 2.0);
    int start = 0;
    QPainter painter(&surface);
    painter.setFont(m_panel->font());
    if (!d.textBefore.isEmpty()) {
        painter.setPen(colorOf(d.textColor, m_panel->palette()));
        painter.drawText(0, textTop + metrics.ascent(), d.textBefore);
        start = metrics.horizontalAdvance(d.textBefore); // the bar starts after it
    }
    const int value = std::min<int>(d.value, 100);
    const QString text = d.text + QString::number(value) + QStringLiteral(" %");
    painter.setPen(inkColor(d.progressColor));
    painter.drawText(0, textTop + metrics.ascent(), text);
    painter.end();
    if (value > 0)
        notXorFill(surface, start, start + RoundHalfEven((surface.width() - start) * value / 100.0),
                   d.progressColor);
    return d.textBefore + text;
}

void VEK_BarGraph::DrawFond(const QString &Text)
{
    if (isBound())
        draw(drawing(true, Text));
}

// A long device path keeps both its ends in the panel's own width (the window
// never grows for it): true when it is cut, for the panel's tooltip.
bool VEK_BarGraph::drawFond(QImage &surface, const Drawing &d) const
{
    const QFontMetrics metrics(m_panel->font());
    const QString shown =
        ElidedToWidth(d.text, metrics, surface.width() - metrics.averageCharWidth());
    {
        QPainter painter(&surface);
        painter.setFont(m_panel->font());
        painter.setPen(inkColor(d.progressColor));
        const double left = (surface.width() - metrics.horizontalAdvance(shown)) / 2.0;
        const int top = RoundHalfEven((surface.height() - metrics.height()) / 2.0);
        painter.drawText(QPointF(left, top + metrics.ascent()), shown);
    }
    notXorFill(surface, 0, surface.width(), d.progressColor);
    return shown != d.text;
}
