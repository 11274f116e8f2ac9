#pragma once

#include "base/ValueRules.h"

#include <QWidget>

#include <array>

class QLineEdit;
struct MapBoxes;

// The two rows of nine MAP boxes of the map page: the load-pressure bands
// tbMap ("25-50") and the pressure percentages tbMapAdj, each by the rule of
// its value. A box left or confirmed with Return stores its value in
// the shared box texts, or is refused and shows the stored value again.
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
    // A box's text was refused; the message names the value and why.
    void refused(const QString &message);

private:
    // The box's text read into `stored`; true when the stored value changed.
    bool take(QLineEdit *box, ValueRules::Value value, QString &stored);

    MapBoxes &m_boxes;
    std::array<QLineEdit *, 9> m_adjust{};
    std::array<QLineEdit *, 9> m_pressure{};
};
