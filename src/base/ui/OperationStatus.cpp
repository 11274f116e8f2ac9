#include "base/ui/OperationStatus.h"

#include <QLabel>

void OperationStatus::progress(const QString &text)
{
    m_progress = text;
    if (m_label)
        m_label->setText(text);
}

void OperationStatus::end()
{
    if (m_label && !m_progress.isEmpty() && m_label->text() == m_progress)
        m_label->clear();
    m_progress.clear();
}
