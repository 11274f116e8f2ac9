#pragma once

#include <QLineF>
#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <QWidget>

// A dial of the live page: a printed scale and a red needle, drawn in design
// units (y down) and scaled to the widget with its proportions kept.
class NeedleDial : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Rpm, Load };
    explicit NeedleDial(Kind kind, QWidget *parent = nullptr);

    // The value the needle points at (rpm or percent).
    int value() const { return m_value; }
    void setValue(int value);
    // The unit printed on the scale ("RPM x 1000"), also the dial's accessible name.
    void setUnit(const QString &unit);
    // Where the needle ends, in design units.
    QPointF needleEnd() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawScale(QPainter &painter) const;
    // Maps design units onto the widget, same scale on both axes, centred.
    QTransform designToWidget() const;
    void fitToWidget(QPainter &painter) const;
    QLineF needleOnScreen() const;
    // The pixels the needle covers, with its caps and antialiasing.
    QRect needleRect() const;
    double needleWidth() const;
    // A round end of the needle, in widget pixels.
    void drawDisc(QPainter &painter, QPointF centre) const;
    const QPixmap &face();
    float angle(int value) const;

    Kind m_kind;
    int m_value = 0;
    QRectF m_design;
    QString m_unit;
    QPixmap m_face; // background and scale, redrawn only when the size or unit changes
};
