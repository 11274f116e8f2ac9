#pragma once

#include "app/AdvancePoint.h"

#include <QStringList>
#include <optional>
#include <QWidget>

class QCheckBox;
class QTableWidget;

// The MAP advance table of the map page: tabl_avance (one row per curve point,
// one column per boost-pressure level), the level percentages talbMapAdj
// (edited digit by digit) and the check box Check1 that computes the
// intermediate levels.
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
    // The curve that the intermediate levels are computed from; also fills
    // the rows from it.
    void setCurve(const AdvanceCurve &curve);

    // Computes and colours the intermediate levels (both states of Check1).
    void Check1_Click();
    void retranslate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setAdvanceCell(int row, int column, const QString &text, std::optional<double> value);

    QTableWidget *m_table;
    QTableWidget *m_adjust;
    QCheckBox *m_check;
    AdvanceCurve m_curve;
};
