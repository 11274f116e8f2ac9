#pragma once

#include <QString>
#include <QStringList>

class HelpTextFilter;
class QTabWidget;
class QWidget;

// The main window's texts from the language file, found by the controls'
// object names: the command buttons' captions and tool tips, the page titles,
// the captions on the pages, and the help shown while the pointer is over a
// control.
namespace MainWindowTexts {

// The command buttons' object names, in the order they stand in the bar.
QStringList buttonNames();
// The live page's title, the same in every language.
QString livePageTitle();
// Every caption, tool tip and page title; a control the window lacks is skipped.
void applyCaptions(QWidget &window, QTabWidget &pages);
// The help texts of the controls `window` holds.
void registerHelp(QWidget &window, HelpTextFilter &filter);

} // namespace MainWindowTexts
