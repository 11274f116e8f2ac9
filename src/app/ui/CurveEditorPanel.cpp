#include "app/ui/CurveEditorPanel.h"

#include "app/CurveChartData.h"
#include "app/CurveModel.h"
#include "app/VekContext.h"
#include "app/ui/CurveChart.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

namespace {
QLabel *namedLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit *namedBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaximumWidth(90);
    return box;
}

bool showMessageBox(QWidget *parent, CurveEditorPanel::MessageKind kind, const CurveMessage &m)
{
    using Kind = CurveEditorPanel::MessageKind;
    const bool question = kind == Kind::Question;
    return WindowPrompts::system().message(
               parent, question ? QMessageBox::Question : QMessageBox::NoIcon, m.title, m.text,
               question ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok) ==
           QMessageBox::Ok;
}
} // namespace

CurveEditorPanel::CurveEditorPanel(VekContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_editor(context)
{
    m_present = [this](MessageKind kind, const CurveMessage &m) {
        return showMessageBox(this, kind, m);
    };
    buildGrid();
    m_chart = new CurveChart(this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_grid, 0, 0, 2, 1);
    layout->addWidget(m_chart, 0, 1, 1, 2);
    layout->addWidget(buildEntry(), 1, 1);
    layout->addWidget(buildPointDisplay(), 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(0, 1);

    connect(&m_editor, &CurveEditor::info, this, &CurveEditorPanel::info);
    connect(&m_editor, &CurveEditor::editModeChanged, this,
            [this](bool on) { m_regime->setEnabled(!on); });
    connect(&m_context.tab_avance, &CurveModel::changed, this, &CurveEditorPanel::refresh);
    // A new, opened or imported curve: the point shown belonged to the old one.
    connect(&m_context.tab_avance, &CurveModel::reset, this, &CurveEditorPanel::clearChartPoint);
    connect(m_chart, &CurveChart::pointSelected, this, &CurveEditorPanel::showChartPoint);
    connect(m_chart, &CurveChart::pointerMoved, this, [this] { emit info(QString()); });

    applyCaptions();
    refresh();
}

void CurveEditorPanel::buildGrid()
{
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("tab_avance"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setMinimumWidth(260);
    m_grid->setMaximumWidth(340);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("MnuGrid"));
    auto addAction = [this](const char *name, void (CurveEditorPanel::*slot)()) {
        QAction *action = m_menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    addAction("MnuEditer", &CurveEditorPanel::editerPoint);
    addAction("MnuEffacer", &CurveEditorPanel::effacerPoint);
    addAction("MnuLisser", &CurveEditorPanel::lisser);
    addAction("MnuTrier", &CurveEditorPanel::trier);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (selectedRow() >= 0)
            m_menu->popup(m_grid->viewport()->mapToGlobal(at));
    });
}

QWidget *CurveEditorPanel::buildEntry()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("FrameSaisie"));
    auto *form = new QGridLayout(box);
    auto *title = namedLabel("LabelCourbe1", box);
    title->setStyleSheet(QStringLiteral("font-weight: bold"));
    m_regime = namedBox("Txt_regime", box);
    m_atmo = namedBox("txt_av_atmo", box);
    m_turbo = namedBox("txt_av_sural", box);
    m_knock = namedBox("txt_av_knock", box);
    auto *knockLabel = namedLabel("LabelCourbe10", box);
    m_knockItems << m_knock << knockLabel;
    m_valide = new QPushButton(box);
    m_valide->setObjectName(QStringLiteral("bp_valide"));
    m_dec = new QPushButton(QStringLiteral("-1°"), box);
    m_dec->setObjectName(QStringLiteral("BP_DEC"));
    m_inc = new QPushButton(QStringLiteral("+1°"), box);
    m_inc->setObjectName(QStringLiteral("BP_INC"));

    form->addWidget(title, 0, 0, 1, 3);
    form->addWidget(namedLabel("LabelCourbe2", box), 1, 0);
    form->addWidget(m_regime, 1, 1);
    form->addWidget(namedLabel("LabelCourbe3", box), 2, 0);
    form->addWidget(m_atmo, 2, 1);
    form->addWidget(namedLabel("LabelCourbe4", box), 3, 0);
    form->addWidget(m_turbo, 3, 1);
    form->addWidget(knockLabel, 4, 0);
    form->addWidget(m_knock, 4, 1);
    m_entryButtons = new QVBoxLayout;
    m_entryButtons->addWidget(m_valide);
    m_entryButtons->addStretch(1);
    form->addLayout(m_entryButtons, 1, 2, 4, 1);
    auto *shift = new QHBoxLayout;
    shift->addWidget(namedLabel("LabelCourbe5", box), 1);
    shift->addWidget(m_dec);
    shift->addWidget(m_inc);
    form->addLayout(shift, 5, 0, 1, 3);
    form->setColumnStretch(0, 1);

    connect(m_valide, &QPushButton::clicked, this, &CurveEditorPanel::validerPoint);
    connect(m_dec, &QPushButton::clicked, this, [this] { decaler(-1); });
    connect(m_inc, &QPushButton::clicked, this, [this] { decaler(+1); });
    return box;
}

QWidget *CurveEditorPanel::buildPointDisplay()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("FramePointGraphe"));
    auto *grid = new QGridLayout(box);
    auto *title = namedLabel("LabelCourbe6", box);
    title->setStyleSheet(QStringLiteral("font-weight: bold"));
    m_lblRegime = namedLabel("Lbl_regime", box);
    m_lblAtmo = namedLabel("Lbl_av_atmo", box);
    m_lblTurbo = namedLabel("Lbl_av_sural", box);
    m_lblKnock = namedLabel("Lbl_av_knock", box);
    auto *knockLabel = namedLabel("LabelCourbe11", box);
    auto *knockUnit = namedLabel("LabelCourbe12", box);
    knockUnit->setText(QStringLiteral("°"));
    m_knockItems << m_lblKnock << knockLabel << knockUnit;
    grid->addWidget(title, 0, 0, 1, 3);
    grid->addWidget(namedLabel("LabelCourbe7", box), 1, 0);
    grid->addWidget(m_lblRegime, 1, 1);
    grid->addWidget(namedLabel("LabelCourbe8", box), 2, 0);
    grid->addWidget(m_lblAtmo, 2, 1);
    grid->addWidget(namedLabel("LabelCourbe9", box), 3, 0);
    grid->addWidget(m_lblTurbo, 3, 1);
    grid->addWidget(knockLabel, 4, 0);
    grid->addWidget(m_lblKnock, 4, 1);
    grid->addWidget(knockUnit, 4, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    return box;
}

void CurveEditorPanel::applyCaptions()
{
    const QList<QAction *> actions = m_menu->actions();
    actions.at(0)->setText(GetLanguageText(QStringLiteral("MnuEditer")));
    actions.at(1)->setText(GetLanguageText(QStringLiteral("MnuEffacer")));
    actions.at(2)->setText(GetLanguageText(QStringLiteral("MnuLisser")));
    actions.at(3)->setText(GetLanguageText(QStringLiteral("MnuTrier")));
    m_chart->setAxisTitles(GetLanguageText(QStringLiteral("MLMoteur3")), QStringLiteral("°"));
    m_grid->setHorizontalHeaderLabels(m_context.tab_avance.headers());
}

void CurveEditorPanel::addEntryButton(QWidget *button)
{
    m_entryButtons->insertWidget(m_entryButtons->count() - 1, button);
}

void CurveEditorPanel::refresh()
{
    const CurveModel &curve = m_context.tab_avance;
    const int keep = selectedRow();
    m_grid->setColumnCount(curve.columnCount());
    m_grid->setHorizontalHeaderLabels(curve.headers());
    m_grid->setRowCount(curve.pointCount());
    for (int r = 0; r < curve.pointCount(); ++r)
        for (int c = 0; c < curve.columnCount(); ++c) {
            auto *item = m_grid->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_grid->setItem(r, c, item);
            }
            item->setText(curve.cell(r, c).trimmed());
        }
    if (keep >= 0 && keep < curve.pointCount())
        m_grid->selectRow(keep);
    showKnockItems();
    GrilleVersGraphe();
}

void CurveEditorPanel::showKnockItems()
{
    const bool knock = m_context.tab_avance.hasKnockColumn();
    for (QWidget *w : m_knockItems)
        w->setVisible(knock);
}

void CurveEditorPanel::GrilleVersGraphe()
{
    m_chart->setData(::GrilleVersGraphe(m_context.tab_avance, m_context.settings.TypeCourbe));
}

int CurveEditorPanel::selectedRow() const
{
    const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CurveEditorPanel::clearEntry()
{
    for (QLineEdit *edit : {m_regime, m_atmo, m_turbo, m_knock})
        edit->clear();
}

bool CurveEditorPanel::present(MessageKind kind, const CurveMessage &message)
{
    return m_present ? m_present(kind, message) : true;
}

void CurveEditorPanel::validerPoint()
{
    const PointEntry entry{m_regime->text(), m_atmo->text(), m_turbo->text(), m_knock->text()};
    const PointResult result = m_editor.validerPoint(entry, selectedRow());
    for (const CurveMessage &warning : result.warnings)
        present(MessageKind::Warning, warning);
    if (result.stored())
        clearEntry();
}

void CurveEditorPanel::editerPoint()
{
    const auto entry = m_editor.editerPoint(selectedRow());
    if (!entry)
        return;
    m_regime->setText(entry->regime);
    m_atmo->setText(entry->atmo);
    m_turbo->setText(entry->turbo);
    m_knock->setText(entry->knock);
    m_atmo->setFocus();
}

void CurveEditorPanel::effacerPoint()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const bool ok = present(MessageKind::Question,
                            {CurveEditor::warningTitle(), m_editor.questionEffacer(row)});
    m_editor.effacerPoint(row, ok);
}

void CurveEditorPanel::lisser()
{
    present(MessageKind::Report, m_editor.lisser());
}

void CurveEditorPanel::trier()
{
    m_editor.trier();
}

void CurveEditorPanel::decaler(int direction)
{
    m_editor.decaler(direction);
}

void CurveEditorPanel::clearChartPoint()
{
    for (QLabel *label : {m_lblRegime, m_lblAtmo, m_lblTurbo, m_lblKnock})
        label->clear();
}

void CurveEditorPanel::showChartPoint(int row)
{
    const CurveModel &curve = m_context.tab_avance;
    if (row < 0 || row >= curve.pointCount())
        return;
    m_lblRegime->setText(curve.cell(row, CurveModel::Rpm));
    m_lblAtmo->setText(curve.cell(row, CurveModel::Atmo));
    m_lblTurbo->setText(curve.cell(row, CurveModel::Turbo));
    if (curve.hasKnockColumn())
        m_lblKnock->setText(curve.cell(row, CurveModel::Knock));
}
