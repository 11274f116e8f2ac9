#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

// A round lamp with its caption to the right. On a parent filled with its
// palette's background, mark it Qt::WA_OpaquePaintEvent: it then paints that
// background itself and blinks without repainting its parent.
class LedLamp : public QWidget
{
    Q_OBJECT
public:
    LedLamp(const QString &caption, QColor on, QColor off, QWidget *parent = nullptr);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    QColor colour() const { return m_lit ? m_on : m_off; }
    QString caption() const { return m_caption; }
    // Also the lamp's accessible name.
    void setCaption(const QString &caption);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QPixmap render(bool lit) const;
    // Where the round lamp is drawn.
    QRectF lampRect() const;

    QString m_caption;
    QColor m_on, m_off;
    bool m_lit = false;
    QPixmap m_images[2]; // unlit and lit, drawn once per size
    QSize m_imagesFor;
    // From the font, which is costly to ask on every blink.
    int m_lampDiameter;
};
