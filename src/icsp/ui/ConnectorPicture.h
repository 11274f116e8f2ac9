#pragma once

#include <QColor>
#include <QWidget>

// A small coloured shape that marks one programmer line on a connector picture.
class ConnectorMarker : public QWidget
{
    Q_OBJECT
public:
    ConnectorMarker(const QString &name, QWidget *picture);

    void setColor(const QColor &color);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_ = Qt::red;
};

// The programmer's connector seen from the front, serial (DB9) or parallel
// (DB25). Places are given in twips from the picture's top left, as the
// markers' places are fixed.
class ConnectorPicture : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Db9, Db25 };
    static constexpr int TwipsPerPixel = 10;

    ConnectorPicture(Kind kind, QWidget *parent = nullptr);

    // A marker of `width` x `height` twips, hidden until shown.
    ConnectorMarker *addMarker(const QString &name, int widthTwips, int heightTwips);
    // Moves `marker` to (left, top) twips; markerTwips() reads it back.
    void placeMarker(ConnectorMarker *marker, int leftTwips, int topTwips);
    static QPoint markerTwips(const QWidget *marker);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawPin(class QPainter &painter, int leftTwips, int topTwips) const;

    Kind kind_;
};
