#include "base/ui/ShownLanguageText.h"

#include "base/VEK_LANGUAGE.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace ShownLanguageText {

namespace {

// Each record is {text shown, frame, key, placeholder pairs...}.
constexpr const char *LabelRecord = "shownLanguageText";
constexpr const char *TitleRecord = "shownLanguageTitle";

QString render(const QStringList &record)
{
    return record.at(1).arg(VEK_LANGUAGE::GetLanguageText(record.at(2), record.mid(3)));
}

// Renders `record` afresh and keeps it; the text to show.
QString keep(QWidget *widget, const char *name, QStringList record)
{
    record[0] = render(record);
    widget->setProperty(name, record);
    return record.at(0);
}

// The record of `name` while `widget` still shows its text; empty otherwise.
QStringList still(const QWidget *widget, const char *name, const QString &shown)
{
    const QStringList record = widget->property(name).toStringList();
    return record.size() >= 3 && record.at(0) == shown ? record : QStringList();
}

} // namespace

void setText(QLabel *label, const QString &key, const QStringList &pairs)
{
    label->setText(keep(label, LabelRecord, QStringList{{}, QStringLiteral("%1"), key} + pairs));
}

void setWindowTitle(QWidget *window, const QString &frame, const QString &key)
{
    window->setWindowTitle(keep(window, TitleRecord, {{}, frame, key}));
}

void retranslate(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        const QStringList record = still(label, LabelRecord, label->text());
        if (!record.isEmpty())
            label->setText(keep(label, LabelRecord, record));
    }
    const QStringList title = still(widget, TitleRecord, widget->windowTitle());
    if (!title.isEmpty())
        widget->setWindowTitle(keep(widget, TitleRecord, title));
}

} // namespace ShownLanguageText
