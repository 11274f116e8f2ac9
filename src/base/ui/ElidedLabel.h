#pragma once

#include <QString>
#include <QWidget>

class QFontMetrics;

// The part of `text` that fits `width` pixels. A path (a text starting with
// '/') keeps its start and its end around "…": the folder and the device's
// own name tell most. Any other text keeps its start.
QString ElidedToWidth(const QString &text, const QFontMetrics &metrics, int width);

// A one-line text in a room of its own (a status-bar panel): it shows what its
// width holds of its text, gives the whole text as its tooltip when it shows
// less, and asks for the same room whatever its text, so that no text (a long
// device path, a long failure) makes its window grow. It paints its text
// itself: screen readers get the whole text as its accessible name and
// description, as they would from a label.
class ElidedLabel : public QWidget
{
    Q_OBJECT
public:
    // `width`: the room the label asks for.
    explicit ElidedLabel(int width, QWidget *parent = nullptr);

    // Shows `text`; the tooltip gives `whole` (by default the text itself)
    // whenever the label shows less than that.
    void setText(const QString &text, const QString &whole = {});
    const QString &text() const { return m_text; }
    // The text as the label draws it.
    QString shownText() const;
    // The label's width that shows `text` whole.
    int wholeWidth(const QString &text) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Where the text is drawn.
    virtual QRect textRect() const;
    // What the tooltip gives: the whole text when less of it shows.
    virtual QString cutText() const;
    // All the label says, shown or not.
    virtual QString wholeText() const;
    void refreshToolTip();
    // The accessible name and description follow wholeText().
    void refreshAccessibleText();
    void setHintWidth(int width);
    int hintWidth() const { return m_width; }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int m_width;
    QString m_text;
    QString m_whole;
};
