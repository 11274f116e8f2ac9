#include "app/ui/MapBoxesWidget.h"

#include "app/MapBoxes.h"
#include "app/ui/PercentValidator.h"

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
        PercentValidator::Install(m_adjust[i]);
        for (QLineEdit *box : {m_pressure[i], m_adjust[i]}) {
            box->setAlignment(Qt::AlignCenter);
            box->setMinimumWidth(44);
        }
        grid->addWidget(m_pressure[i], 0, i);
        grid->addWidget(m_adjust[i], 1, i);
        connect(m_adjust[i], &QLineEdit::textChanged, this, [this, i](const QString &text) {
            m_boxes.tbMapAdj[i] = text;
            emit tbMapAdjChanged();
        });
        connect(m_pressure[i], &QLineEdit::textChanged, this, [this, i](const QString &text) {
            m_boxes.tbMap[i] = text;
            emit tbMapChanged();
        });
    }
    reload();
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
