#pragma once

#include <QWidget>

#include <array>

class QLineEdit;
struct MapBoxes;

// The two rows of nine MAP boxes of the map page: the load-pressure row tbMap
// and the pressure percentages tbMapAdj (limited to 0 to 100). They edit the
// shared box texts.
class MapBoxesWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MapBoxesWidget(MapBoxes &boxes, QWidget *parent = nullptr);

    QLineEdit *tbMapAdj(int i) const { return m_adjust.at(i); }
    QLineEdit *tbMap(int i) const { return m_pressure.at(i); }

    // Shows the shared texts again (after the firmware choice set them).
    void reload();

signals:
    // A percentage box changed (the curve counts as modified).
    void tbMapAdjChanged();
    void tbMapChanged();

private:
    MapBoxes &m_boxes;
    std::array<QLineEdit *, 9> m_adjust{};
    std::array<QLineEdit *, 9> m_pressure{};
};
