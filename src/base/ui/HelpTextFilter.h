#pragma once

#include <QHash>
#include <QObject>

class QWidget;

// Gives controls their help text as status tip, from a table of control to
// language key: one filter for the whole window. The tip goes where the
// window shows status tips (the status bar of a main window, a
// StatusTipLine in a dialog), never into the window's information line.
class HelpTextFilter : public QObject
{
    Q_OBJECT
public:
    explicit HelpTextFilter(QObject *parent = nullptr);

    // `key` is a language key, looked up each time the pointer enters the
    // control, so that a language change shows.
    void add(QWidget *control, const char *key);
    // Every control's tip again, in the current language (a language change).
    void retranslate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QObject *, const char *> keys_;
};
