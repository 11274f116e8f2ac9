#include "app/CurveModel.h"

#include "base/FileRefusal.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

#include <algorithm>
#include <cmath>
#include <functional>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

constexpr int kListedRowsMax = 20; // a message box, not a report

// Why one row cannot be used, or empty.
QString rowFault(const QStringList &cells, const QStringList *previous)
{
    for (const QString &cell : cells.mid(0, CurveModel::Knock)) {
        if (cell.trimmed().isEmpty()) // what a table import leaves where it had no value
            return GetLanguageText("CourbeCelluleVide");
        if (!CurveModel::isPlainNumber(cell))
            return GetLanguageText("CourbeCelluleNonNombre");
    }
    // The knock column is not turned into tables: an empty cell is harmless.
    const QString knock = cells.value(CurveModel::Knock);
    if (!knock.trimmed().isEmpty() && !CurveModel::isPlainNumber(knock))
        return GetLanguageText("CourbeCelluleNonNombre");
    const double rpm = NombreEnTete(cells.value(CurveModel::Rpm));
    if (rpm < CurveModel::RegimeMin || rpm > CurveModel::RegimeMax)
        return GetLanguageText("CourbeHorsLimites");
    for (int c : {CurveModel::Atmo, CurveModel::Turbo}) {
        const double advance = NombreEnTete(cells.value(c));
        if (advance < CurveModel::AvanceMin || advance > CurveModel::AvanceMax)
            return GetLanguageText("CourbeHorsLimites");
    }
    if (previous && CurveModel::isPlainNumber(previous->value(CurveModel::Rpm)) &&
        rpm <= NombreEnTete(previous->value(CurveModel::Rpm)))
        return GetLanguageText("CourbeHorsOrdre");
    return {};
}

} // namespace

CurveModel::CurveModel(QObject *parent) : QObject(parent) {}

QStringList CurveModel::headers() const
{
    QStringList h{GetLanguageText(QStringLiteral("GrilleRegime")),
                  GetLanguageText(QStringLiteral("GrilleAtmo")),
                  GetLanguageText(QStringLiteral("GrilleTurbo"))};
    if (hasKnockColumn())
        h << GetLanguageText(QStringLiteral("GrilleKnock"));
    return h;
}

QString CurveModel::cell(int row, int column) const
{
    if (row < 0 || row >= pointCount() || column < 0 || column >= m_columns)
        return {};
    return m_rows.at(row).at(column);
}

QList<QStringList> CurveModel::gridRows() const
{
    QList<QStringList> grid{headers()};
    grid.append(m_rows);
    return grid;
}

double CurveModel::value(int row, int column) const
{
    return NombreEnTete(cell(row, column));
}

QStringList CurveModel::fitted(QStringList cells) const
{
    while (cells.size() < m_columns)
        cells << QString();
    return cells.mid(0, m_columns);
}

void CurveModel::clear()
{
    m_columns = 3;
    m_rows.clear();
    emit reset();
    emit changed();
}

void CurveModel::setRows(const QVector<QStringList> &rows, bool knockColumn)
{
    m_columns = knockColumn ? 4 : 3;
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (const QStringList &r : rows)
        m_rows << fitted(r);
    emit reset();
    emit changed();
}

void CurveModel::setKnockColumn(bool on)
{
    const int columns = on ? 4 : 3;
    if (columns == m_columns)
        return;
    m_columns = columns;
    for (QStringList &r : m_rows)
        r = fitted(r);
    emit changed();
}

void CurveModel::appendRow(const QStringList &cells)
{
    m_rows << fitted(cells);
    emit changed();
}

void CurveModel::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= pointCount() || column < 0 || column >= m_columns)
        return;
    m_rows[row][column] = text;
    emit changed();
}

void CurveModel::SwapRowGrid(int row1, int row2)
{
    if (row1 < 0 || row2 < 0 || row1 >= pointCount() || row2 >= pointCount())
        return;
    m_rows.swapItemsAt(row1, row2);
    emit changed();
}

void CurveModel::Tri_tableau(int column)
{
    for (int i = 0; i < pointCount(); ++i) {
        int smallest = i;
        for (int j = i + 1; j < pointCount(); ++j)
            if (static_cast<float>(value(j, column)) < static_cast<float>(value(smallest, column)))
                smallest = j;
        if (smallest != i)
            m_rows.swapItemsAt(i, smallest);
    }
    emit changed();
}

void CurveModel::SupprimeLigneGrille(int row)
{
    if (row < 0 || row >= pointCount())
        return;
    m_rows.removeAt(row);
    emit changed();
}

int CurveModel::lisser()
{
    int removed = 0;
    int i = 0;
    while (i < pointCount() - 2) {
        const double x1 = value(i, Rpm);
        const double xm = std::nearbyint(value(i + 1, Rpm));
        const double x3 = value(i + 2, Rpm);
        const double y1 = value(i, Atmo);
        const float ym = static_cast<float>(value(i + 1, Atmo));
        const double y3 = value(i + 2, Atmo);
        // Three points at one engine speed give no line to test against: such
        // points are left as they are rather than judged on a division by zero.
        if (x3 == x1) {
            ++i;
            continue;
        }
        const double a = (y3 - y1) / (x3 - x1);
        const float b = static_cast<float>((x3 * y1 - x1 * y3) / (x3 - x1));
        const double p = a * xm + b;
        const bool onLine = p - 0.2 <= ym && ym <= p + 0.2;
        const bool peak = (ym < y1 && ym < y3) || (ym > y1 && ym > y3);
        if (onLine || peak) {
            m_rows.removeAt(i + 1);
            ++removed;
        } else {
            ++i;
        }
    }
    if (removed > 0)
        emit changed();
    return removed;
}

bool CurveModel::decalerAvances(double delta)
{
    bool anyValueChanged = false;
    for (int r = 0; r < pointCount(); ++r) {
        for (int c = Atmo; c < m_columns; ++c) {
            const double before = value(r, c);
            QString text = texteSigne(before + delta);
            const double written = NombreEnTete(text);
            if (delta < 0 && written < AvanceMin)
                text = texteSigne(AvanceMin);
            else if (delta > 0 && written > AvanceMax)
                text = texteSigne(AvanceMax);
            anyValueChanged = anyValueChanged || NombreEnTete(text) != before;
            m_rows[r][c] = text;
        }
    }
    if (pointCount() > 0)
        emit changed();
    return anyValueChanged;
}

QString CurveModel::texteNombre(double value)
{
    // Fifteen significant digits hide the binary noise of sums like 12.3 - 1.
    const int integerDigits =
        value == 0 ? 1 : std::max(1, int(std::floor(std::log10(std::fabs(value)))) + 1);
    QString text = QString::number(value, 'f', std::max(0, 15 - integerDigits));
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString CurveModel::texteSigne(double value)
{
    const QString text = texteNombre(value);
    return text.startsWith('-') ? text : QLatin1Char(' ') + text;
}

QString CurveModel::invalidValuesMessage() const
{
    return invalidValuesMessage(m_rows);
}

namespace {

// One listed row from its index, its values and why it cannot be used.
using RowText = std::function<QString(int row, const QString &values, const QString &reason)>;

// The rows that stop the curve, each as `rowText` words it, under `heading`;
// empty when there is none.
QString listInvalidRows(const QVector<QStringList> &rows, const QString &heading,
                        const RowText &rowText)
{
    QStringList listed;
    int faults = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString fault = rowFault(rows.at(r), r > 0 ? &rows.at(r - 1) : nullptr);
        if (fault.isEmpty())
            continue;
        if (++faults <= kListedRowsMax)
            listed << rowText(static_cast<int>(r), rows.at(r).join(QStringLiteral(" ; ")), fault);
    }
    if (faults == 0)
        return {};
    if (faults > kListedRowsMax)
        listed << QStringLiteral("...");
    return heading + QLatin1Char('\n') + listed.join(QLatin1Char('\n'));
}

} // namespace

QString CurveModel::invalidValuesMessage(const QVector<QStringList> &rows)
{
    return listInvalidRows(rows, GetLanguageText("CourbeValeursInvalides"),
                           [](int r, const QString &values, const QString &fault) {
                               return GetLanguageText("CourbeLigneInvalide",
                                                      {"%LIGNE%", QString::number(r + 1),
                                                       "%VALEURS%", values, "%RAISON%", fault});
                           });
}

QString CurveModel::invalidValuesMessage(const QVector<QStringList> &rows, const QString &fileName,
                                         const QList<int> &rowLines)
{
    return listInvalidRows(
        rows, FileRefusal::OfFile(LangKey("CourbeFichierValeursInvalides"), fileName),
        [&](int r, const QString &values, const QString &fault) {
            return FileRefusal::AtLine(LangKey("CourbeFichierLigneInvalide"), fileName,
                                       rowLines.value(r), {"%VALEURS%", values, "%RAISON%", fault});
        });
}

bool CurveModel::isPlainNumber(QStringView text)
{
    // The reading of a typed number, with "." already its decimal point.
    const std::optional<QString> number = DecimalNumberText(text);
    return number && *number == text;
}

std::optional<QString> CurveModel::typedNumber(const QString &typed)
{
    return DecimalNumberText(QStringView(typed).trimmed());
}
