#pragma once

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <vector>

class QPainter;

// A seven-segment read-out drawn in design units (a digit is 280 x 520 units
// around its centre); the drawing keeps its proportions in any widget size.
class SevenSegmentDisplay : public QWidget
{
    Q_OBJECT
public:
    SevenSegmentDisplay(int digits, QWidget *parent = nullptr);

    // The digit codes shown (empty after clear()).
    const std::vector<uint8_t> &codes() const { return m_codes; }
    void setCodes(std::vector<uint8_t> codes);
    void clear();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QPixmap &digitImage(uint8_t code, double scale);
    double scale() const;
    // Where digit i of `count` is drawn.
    QRect digitRect(size_t i, size_t count) const;

    int m_digits;
    // Each digit drawn once per size: the read-outs change many times a second.
    QHash<uint8_t, QPixmap> m_digitImages;
    QSize m_imagesFor;
    double m_designWidth;
    double m_designHeight = 800;
    std::vector<uint8_t> m_codes;
};

// Shows `value` on the read-out: 4 digits with leading zeros (OFF pattern for a
// negative value), or 2 digits (tens and units, two minus signs for a negative
// value). Other digit counts leave the read-out as it is.
void AfficheNombre7Seg(int16_t value, int digits, SevenSegmentDisplay &picture);

// Draws one digit centred at (x, y), every segment lit or unlit.
void AfficheChiffre7Seg(QPainter &painter, uint8_t code, double x, double y, double l, double h,
                        double t);
// One segment centred at (x, y): a bar with pointed ends.
void SegmentHorizontal(QPainter &painter, double x, double y, double length, double thickness,
                       bool lit);
void SegmentVertical(QPainter &painter, double x, double y, double length, double thickness,
                     bool lit);
