#pragma once

#include <QList>
#include <QStringList>

// The curve grid as text cells, as the table generators and the interpolation
// read it: row 0 holds the titles, rows 1 on the points by rising rpm; column 0
// rpm, column 1 atmospheric advance, column 2 boost advance, optional column 3.
struct CurveGridSnapshot {
    QList<QStringList> rows;

    int rowCount() const { return static_cast<int>(rows.size()); }
    // Number at the start of a cell ("." as decimal point); 0 for no number or no cell.
    double value(int row, int col) const;
};
