#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The advance curve `tab_avance`: one row of text cells per point, column 0 the
// engine speed (rpm), 1 the Atmo advance, 2 the Turbo advance and, when the
// curve has a knock column, 3 the Knock advance. Cells keep the text they were
// given; their value is the number at their start, read with "." as decimal
// point. Rows are numbered from 0 (the header is not a row here).
class CurveModel : public QObject
{
    Q_OBJECT
public:
    enum Column { Rpm = 0, Atmo = 1, Turbo = 2, Knock = 3 };

    // Limits of a point: engine speed in rpm, each advance in degrees (inclusive).
    static constexpr double RegimeMin = 735;
    static constexpr double RegimeMax = 10000;
    static constexpr double AvanceMin = 0;
    static constexpr double AvanceMax = 50;

    explicit CurveModel(QObject *parent = nullptr);

    int columnCount() const { return m_columns; }
    bool hasKnockColumn() const { return m_columns == 4; }
    QStringList headers() const;
    int pointCount() const { return static_cast<int>(m_rows.size()); }
    const QVector<QStringList> &rows() const { return m_rows; }
    QString cell(int row, int column) const;
    // The curve as a grid of text cells: row 0 the headers, then the points.
    QList<QStringList> gridRows() const;
    double value(int row, int column) const;

    // New curve: header only, three columns.
    void clear();
    // Whole new content (a file, an import); rows are padded or cut to the columns.
    void setRows(const QVector<QStringList> &rows, bool knockColumn);
    // Adds or removes the knock column; new knock cells are empty.
    void setKnockColumn(bool on);
    void appendRow(const QStringList &cells);
    void setCell(int row, int column, const QString &text);

    // Exchanges two rows; nothing happens when either is out of range.
    void SwapRowGrid(int row1, int row2);
    // Ascending selection sort on the single-precision value of `column`; among
    // equal values the first one found keeps its place.
    void Tri_tableau(int column = Rpm);
    void SupprimeLigneGrille(int row);
    // Removes the points that add nothing to the Atmo column; returns how many.
    int lisser();
    // Adds `delta` degrees to every advance, kept within 0 to 50; returns true
    // when any value changed.
    bool decalerAvances(double delta);

    // What stops the curve from becoming firmware tables: cells that are not
    // plain numbers, values outside the point limits, engine speeds not above
    // the previous point's. One message listing those rows (numbered from 1, as
    // the grid shows them), or empty when the curve is usable. Loading a file,
    // the table export and the downloads show it and refuse such a curve.
    QString invalidValuesMessage() const;
    static QString invalidValuesMessage(const QVector<QStringList> &rows);
    // The same for a curve just read from the file `fileName` (as messages name
    // it): each row is named by the line of the file it came from (`rowLines`,
    // one per row).
    static QString invalidValuesMessage(const QVector<QStringList> &rows, const QString &fileName,
                                        const QList<int> &rowLines);

    // A plain number: optional sign, digits with an optional "." fraction,
    // blanks around it allowed.
    static bool isPlainNumber(QStringView text);
    // A number typed in an entry box as the curve keeps it: trimmed, with ","
    // or the locale's decimal separator written as "."; none when not a number.
    static std::optional<QString> typedNumber(const QString &typed);

    // Number text as the shift writes it: a leading blank when not negative.
    static QString texteSigne(double value);
    // Plain number text, "." as decimal point, no exponent.
    static QString texteNombre(double value);

signals:
    // Any change of the cells or of the columns.
    void changed();
    // The whole content was replaced (new curve, file, import).
    void reset();

private:
    QStringList fitted(QStringList cells) const;

    int m_columns = 3;
    QVector<QStringList> m_rows;
};
