#include "base/ui/HelpTextFilter.h"

#include "base/ui/ShownLanguageText.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

HelpTextFilter::HelpTextFilter(QLabel *target, QObject *parent) : QObject(parent), target_(target)
{}

void HelpTextFilter::add(QWidget *control, const char *key)
{
    keys_.insert(control, key);
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject *gone) { keys_.remove(gone); });
}

bool HelpTextFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const auto it = keys_.constFind(watched);
        if (it != keys_.constEnd())
            ShownLanguageText::setText(target_, QString::fromLatin1(it.value()));
    }
    return QObject::eventFilter(watched, event);
}
