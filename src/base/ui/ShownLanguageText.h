#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

// A text a window shows from the language file is kept with its key and
// placeholders, so that a change of language shows it again in the new
// language. A text written over it by other means (a file name, a port's
// answer) is left as it stands.
namespace ShownLanguageText {

// Shows GetLanguageText(key, pairs) in `label`.
void setText(QLabel *label, const QString &key, const QStringList &pairs = {});
// Gives `window` the title `frame` with "%1" replaced by the text of `key`.
void setWindowTitle(QWidget *window, const QString &frame, const QString &key);
// Shows again, in the current language, what `widget` still shows of such
// texts: a label's text, a window's title.
void retranslate(QWidget *widget);

} // namespace ShownLanguageText
