#pragma once

#include "app/AdvancePoint.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QTableWidget;
class QTableWidgetItem;

// The MAP advance table of the map page: tabl_avance (one row per curve point,
// one column per boost-pressure level), the level percentages talbMapAdj
// (MAP percentages, typed over as boxes) and the check box Check1 that
// computes the intermediate levels.
class MapTableWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MapTableWidget(QWidget *parent = nullptr);

    QTableWidget *tabl_avance() const { return m_table; }
    QTableWidget *talbMapAdj() const { return m_adjust; }
    QCheckBox *Check1() const { return m_check; }

    // Rows of rpm, Atmo and Turbo texts: rpm in column 0, Atmo in column 1,
    // Turbo in the last column, advances coloured by the map palette.
    void setRowTexts(const QList<QStringList> &rows);
    // The curve that the intermediate levels are computed from, read when
    // they are computed.
    void setCurveSource(std::function<AdvanceCurve()> source) { m_curveSource = std::move(source); }
    // Rows filled from a curve (rpm, Atmo, Turbo as number texts).
    void setRowsFromCurve(const AdvanceCurve &curve);

    // Columns, headers and the starting percentages (0, 33, 66, 100); no row.
    void LayoutTables();

    // Computes and colours the intermediate levels (both states of Check1).
    void Check1_Click();
    void retranslate();
    // Puts a caption (the main window's label) just above the percentages.
    void setAdjustCaption(QWidget *caption);

signals:
    // A typed level percentage was refused; its cell shows its value again.
    void refused(const QString &message);

private:
    void percentEdited(QTableWidgetItem *item);
    void fitFirstColumn();
    void setAdvanceCell(int row, int column, const QString &text, std::optional<double> value);

    QTableWidget *m_table;
    QTableWidget *m_adjust;
    QCheckBox *m_check;
    std::function<AdvanceCurve()> m_curveSource;
    QStringList m_percents = QStringList(5); // the last percentage each cell took
};
