#pragma once

class QString;
class QWidget;

// A control's caption: a group box's title, a button's or a label's text.
// Other controls are left as they are.
void SetCaption(QWidget *control, const QString &text);
