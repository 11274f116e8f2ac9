#include "base/ui/HelpTextFilter.h"

#include "base/VEK_LANGUAGE.h"

#include <QEvent>
#include <QWidget>

HelpTextFilter::HelpTextFilter(QObject *parent) : QObject(parent) {}

void HelpTextFilter::add(QWidget *control, const char *key)
{
    keys_.insert(control, key);
    control->setStatusTip(VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(key)));
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject *gone) { keys_.remove(gone); });
}

void HelpTextFilter::retranslate()
{
    for (auto it = keys_.cbegin(); it != keys_.cend(); ++it)
        static_cast<QWidget *>(it.key())->setStatusTip(
            VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(it.value())));
}

// Runs before the control's own handling of the entry, which sends the tip.
bool HelpTextFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        const auto it = keys_.constFind(watched);
        if (it != keys_.constEnd())
            static_cast<QWidget *>(watched)->setStatusTip(
                VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(it.value())));
    }
    return QObject::eventFilter(watched, event);
}
