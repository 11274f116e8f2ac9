#include "app/ui/MapBoxesWidget.h"

#include "app/MapBoxes.h"
#include "base/ValueRules.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QSignalBlocker>

MapBoxesWidget::MapBoxesWidget(MapBoxes &boxes, QWidget *parent) : QWidget(parent), m_boxes(boxes)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    for (int i = 0; i < 9; ++i) {
        m_pressure[i] = new QLineEdit(this);
        m_pressure[i]->setObjectName(QStringLiteral("tbMap%1").arg(i));
        m_adjust[i] = new QLineEdit(this);
        m_adjust[i]->setObjectName(QStringLiteral("tbMapAdj%1").arg(i));
        for (QLineEdit *box : {m_pressure[i], m_adjust[i]}) {
            box->setAlignment(Qt::AlignCenter);
            box->setMinimumWidth(44);
        }
        grid->addWidget(m_pressure[i], 0, i);
        grid->addWidget(m_adjust[i], 1, i);
        // A text set by the program (the firmware choice) is stored as it is;
        // a typed one is read when the box is left or Return pressed.
        connect(m_adjust[i], &QLineEdit::textChanged, this, [this, i](const QString &text) {
            if (!m_adjust[i]->isModified() && text != m_boxes.tbMapAdj[i]) {
                m_boxes.tbMapAdj[i] = text;
                emit tbMapAdjChanged();
            }
        });
        connect(m_pressure[i], &QLineEdit::textChanged, this, [this, i](const QString &text) {
            if (!m_pressure[i]->isModified() && text != m_boxes.tbMap[i]) {
                m_boxes.tbMap[i] = text;
                emit tbMapChanged();
            }
        });
        connect(m_adjust[i], &QLineEdit::editingFinished, this, [this, i] {
            if (take(m_adjust[i], ValueRules::Value::MapPercentage, m_boxes.tbMapAdj[i]))
                emit tbMapAdjChanged();
        });
        connect(m_pressure[i], &QLineEdit::editingFinished, this, [this, i] {
            if (take(m_pressure[i], ValueRules::Value::MapPressureBand, m_boxes.tbMap[i]))
                emit tbMapChanged();
        });
    }
    reload();
}

bool MapBoxesWidget::take(QLineEdit *box, ValueRules::Value value, QString &stored)
{
    if (!box->isModified())
        return false; // not typed since it was last read or set
    const ValueRules::Outcome read =
        ValueRules::read(value, box->text(), ValueRules::Source::box());
    if (!read.taken()) {
        box->setText(stored);
        emit refused(read.message);
        return false;
    }
    box->setText(read.text);
    if (read.text == stored)
        return false;
    stored = read.text;
    return true;
}

void MapBoxesWidget::reload()
{
    for (int i = 0; i < 9; ++i) {
        const QSignalBlocker a(m_adjust[i]);
        const QSignalBlocker p(m_pressure[i]);
        m_adjust[i]->setText(m_boxes.tbMapAdj[i]);
        m_pressure[i]->setText(m_boxes.tbMap[i]);
    }
}
