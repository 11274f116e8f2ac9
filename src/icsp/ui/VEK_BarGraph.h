#pragma once

#include "icsp/ui/StatusPanel.h"

#include <QColor>
#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QPalette;

// A percentage bar with its text, or a text on a coloured background, drawn
// off-screen and handed to one status-bar panel as a finished picture. The bar
// and the text are combined with a not-xor pen, so the text stays readable
// over both the filled and the empty part.
class VEK_BarGraph
{
public:
    VEK_BarGraph() = default;
    VEK_BarGraph(const VEK_BarGraph &) = delete;
    VEK_BarGraph &operator=(const VEK_BarGraph &) = delete;
    ~VEK_BarGraph();

    // Colours are 32-bit values: red in the low byte, or 0x80000000 + n for
    // system colour n (7 menu text, 13 selection highlight...).
    static constexpr uint32_t DefaultTextColor = 0x80000007;
    static constexpr uint32_t DefaultProgressColor = 0x8000000D;
    // The colours the windows paint their bars with.
    static constexpr uint32_t Black = 0x000000;
    static constexpr uint32_t Red = 0x0000FF;
    static constexpr uint32_t Green = 0x00FF00;
    static constexpr uint32_t Yellow = 0x00FFFF;
    static constexpr uint32_t Blue = 0xFF0000;

    // Binds the bar to its panel; draw calls before this do nothing. What the
    // bar drew last, while the panel still shows it, is drawn again at the
    // panel's new size whenever the status bar resizes the panel.
    void Initialize(StatusPanel *Pnl);
    bool isBound() const { return m_bound && m_panel; }

    uint32_t TextColor() const { return m_textColor; }
    void setTextColor(uint32_t Couleur) { m_textColor = Couleur; }
    uint32_t ProgressColor() const { return m_progressColor; }
    void setProgressColor(uint32_t Couleur) { m_progressColor = Couleur; }

    // `TextAvant` then the percentage (at most 100) and " %", with a bar
    // filled to the percentage after `TextBefore`.
    void DrawPanel(const QString &TextAvant, int16_t Valeur, const QString &TextBefore = {});
    // `Text` centred on a panel filled with the progress colour; a text wider
    // than the panel shows cut (a path in its middle) and whole as its tooltip.
    void DrawFond(const QString &Text);

    // The colour that a colour value stands for.
    static QColor colorOf(uint32_t value, const QPalette &palette);
    // The surface's own background.
    static constexpr QRgb Background = 0xFFFFFFFF;

private:
    // One drawing, with the colours it was drawn in.
    struct Drawing {
        bool fond = false;
        QString text, textBefore;
        int16_t value = 0;
        uint32_t textColor = DefaultTextColor, progressColor = DefaultProgressColor;
    };
    Drawing drawing(bool fond, const QString &text) const;
    void draw(const Drawing &d);
    // Each returns what it drew: the panel's text; whether the text is cut.
    QString drawPanel(QImage &surface, const Drawing &d) const;
    bool drawFond(QImage &surface, const Drawing &d) const;
    QColor inkColor(uint32_t progressColor) const;
    QImage clearedSurface() const;
    void notXorFill(QImage &surface, int x0, int x1, uint32_t progressColor) const;
    void panelResized();

    QPointer<StatusPanel> m_panel;
    QMetaObject::Connection m_resized;
    Drawing m_last;
    qint64 m_shown = 0; // the picture drawn last, while the panel shows it
    bool m_bound = false;
    uint32_t m_textColor = DefaultTextColor;
    uint32_t m_progressColor = DefaultProgressColor;
};
