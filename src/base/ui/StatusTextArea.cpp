#include "base/ui/StatusTextArea.h"

#include <QLabel>
#include <QScrollArea>

QScrollArea *StatusTextArea(QLabel *label, int lines, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setObjectName(label->objectName() + QStringLiteral("Area"));
    area->setFrameShape(label->frameShape() == QFrame::NoFrame ? QFrame::NoFrame
                                                               : QFrame::StyledPanel);
    area->setFrameShadow(label->frameShadow());
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    label->setFrameShape(QFrame::NoFrame);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(0);
    // Room around the text as the label's own margin and indent, not as
    // contents margins: a new text repaints only the contents, while accents
    // above capitals ("Ü") reach into the margin and stayed drawn there.
    label->setMargin(1);
    label->setIndent(2);
    area->setWidget(label);
    area->setBackgroundRole(QPalette::Window);
    const int text = lines * label->fontMetrics().lineSpacing() + 2;
    area->setFixedHeight(text + 2 * area->frameWidth());
    return area;
}
