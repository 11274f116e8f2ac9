#pragma once

#include <QHash>
#include <QObject>

class QLabel;
class QWidget;

// Writes a control's help text into an information label when the pointer
// enters the control: one filter for the whole window, a table from control to
// language key.
class HelpTextFilter : public QObject
{
    Q_OBJECT
public:
    HelpTextFilter(QLabel *target, QObject *parent = nullptr);

    // `key` is a language key, looked up each time so that a language change shows.
    void add(QWidget *control, const char *key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *target_;
    QHash<const QObject *, const char *> keys_;
};
