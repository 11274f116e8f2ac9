#include "app/ui/MapTableWidget.h"

#include "app/MapAdvanceTable.h"
#include "app/MapPalette.h"
#include "app/ui/MapScenePainter.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Columns = 5;

QTableWidgetItem *centred(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

MapTableWidget::MapTableWidget(QWidget *parent)
    : QWidget(parent), m_table(new QTableWidget(0, Columns, this)),
      m_adjust(new QTableWidget(1, Columns, this)), m_check(new QCheckBox(this))
{
    m_table->setObjectName(QStringLiteral("tabl_avance"));
    m_adjust->setObjectName(QStringLiteral("talbMapAdj"));
    m_check->setObjectName(QStringLiteral("Check1"));
    m_curveSource = [] { return AdvanceCurve{}; };
    LayoutTables();

    for (QTableWidget *t : {m_table, m_adjust}) {
        t->verticalHeader()->hide();
        t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_adjust->horizontalHeader()->hide();
    m_adjust->setSelectionMode(QAbstractItemView::SingleSelection);
    m_adjust->setFixedHeight(m_adjust->rowHeight(0) + 2 * m_adjust->frameWidth());
    m_adjust->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_adjust->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Typing over a level percentage edits it as a box; the cell is read when
    // the edit ends, by the rule of MAP percentages.
    m_adjust->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                              QAbstractItemView::EditKeyPressed);
    connect(m_adjust, &QTableWidget::itemChanged, this, &MapTableWidget::percentEdited);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_adjust);
    layout->addWidget(m_check);
    connect(m_check, &QCheckBox::clicked, this, &MapTableWidget::Check1_Click);
    retranslate();
}

void MapTableWidget::LayoutTables()
{
    // Bands of pressure: 0-25, 25-50, 50-75, 75-100; level percentages 0, 33, 66, 100.
    m_table->setColumnCount(Columns);
    m_table->setRowCount(0);
    m_adjust->setColumnCount(Columns);
    m_adjust->setRowCount(1);
    QStringList headers{QString()};
    for (int i = 1; i < Columns; ++i) {
        headers << QStringLiteral("%1-%2")
                       .arg((i - 1) * 100 / (Columns - 1))
                       .arg(i * 100 / (Columns - 1));
        m_adjust->setItem(0, i, centred(QString::number((i - 1) * 100 / (Columns - 2))));
        m_percents[i] = m_adjust->item(0, i)->text();
    }
    m_table->setHorizontalHeaderLabels(headers);
    auto *smoothing = centred(QString());
    smoothing->setFlags(Qt::ItemIsEnabled);
    m_adjust->setItem(0, 0, smoothing);
    retranslate();
}

void MapTableWidget::setAdjustCaption(QWidget *caption)
{
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->insertWidget(column->indexOf(m_adjust), caption);
}

void MapTableWidget::retranslate()
{
    using VEK_LANGUAGE::GetLanguageText;
    m_check->setText(GetLanguageText(QStringLiteral("MLMapCheck1")));
    if (QTableWidgetItem *rpm = m_table->horizontalHeaderItem(0))
        rpm->setText(GetLanguageText(QStringLiteral("MapRegimeColonne")));
    if (QTableWidgetItem *smoothing = m_adjust->item(0, 0))
        smoothing->setText(GetLanguageText(QStringLiteral("MapLissage")));
    fitFirstColumn();
}

// The first column holds the speed heading above and "Lissage" below, whose
// words differ in length between languages: both tables give it the room of
// the longer, whole, and share the rest alike, so their columns stay aligned.
void MapTableWidget::fitFirstColumn()
{
    int width = 0;
    for (QTableWidget *t : {m_table, m_adjust}) {
        const QTableWidgetItem *first = t == m_table ? t->horizontalHeaderItem(0) : t->item(0, 0);
        if (!first)
            continue;
        // An item view keeps a margin of the focus frame and one pixel on each side of a text.
        const int margin = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
        width = std::max(width, t->fontMetrics().horizontalAdvance(first->text()) + 4 * margin);
    }
    width = std::max(width, m_table->horizontalHeader()->sectionSizeHint(0));
    for (QTableWidget *t : {m_table, m_adjust}) {
        t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        t->horizontalHeader()->resizeSection(0, width);
    }
}

void MapTableWidget::setAdvanceCell(int row, int column, const QString &text,
                                    std::optional<double> value)
{
    auto *item = centred(text);
    const CellColours colours =
        Color_Table(value ? *value : std::numeric_limits<double>::quiet_NaN());
    item->setBackground(MapScenePainter::ColorOf(colours.back));
    item->setForeground(MapScenePainter::ColorOf(colours.fore));
    m_table->setItem(row, column, item);
}

void MapTableWidget::setRowTexts(const QList<QStringList> &rows)
{
    m_table->setRowCount(0);
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &cells = rows.at(r);
        m_table->setItem(r, 0, centred(cells.value(0)));
        setAdvanceCell(r, 1, cells.value(1), NombreEnTete(cells.value(1)));
        setAdvanceCell(r, Columns - 1, cells.value(2), NombreEnTete(cells.value(2)));
    }
}

void MapTableWidget::setRowsFromCurve(const AdvanceCurve &curve)
{
    QList<QStringList> rows;
    for (const AdvancePoint &p : curve)
        rows << QStringList{QString::number(p.rpm), QString::number(p.atmo),
                            QString::number(p.turbo)};
    setRowTexts(rows);
}

void MapTableWidget::Check1_Click()
{
    const CurveGridSnapshot grid = AdvanceCurveMath::ToGridSnapshot(m_curveSource());
    const CurveColumn atmo(grid, 1);
    const CurveColumn turbo(grid, 2);
    for (int c = 2; c <= Columns - 2; ++c) {
        const QString percent = m_adjust->item(0, c) ? m_adjust->item(0, c)->text() : QString();
        for (int r = 0; r < m_table->rowCount(); ++r) {
            const QString rpm = m_table->item(r, 0) ? m_table->item(r, 0)->text() : QString();
            const std::optional<double> value =
                MapAdvanceTable::CellValue(atmo, turbo, rpm, percent);
            setAdvanceCell(r, c, value ? MapAdvanceTable::CellText(*value) : QString(), value);
        }
    }
}

void MapTableWidget::percentEdited(QTableWidgetItem *item)
{
    const int column = item->column();
    if (item->row() != 0 || column <= 0 || column >= Columns)
        return;
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::MapPercentage, item->text(), ValueRules::Source::box());
    const QSignalBlocker quiet(m_adjust);
    if (!read.taken()) {
        item->setText(m_percents[column]);
        emit refused(read.message);
        return;
    }
    item->setText(read.text);
    m_percents[column] = read.text;
}
