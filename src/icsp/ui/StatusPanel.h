#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// One panel of a transfer window's status bar: a picture (drawn by a
// VEK_BarGraph) at its left edge and a text after it.
class StatusPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatusPanel(int width, QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    void setText(const QString &text);
    // Shows `text` and keeps the panel wide enough for all of it.
    void setWholeText(const QString &text);
    // Keeps the panel at least `width` pixels wide, whatever the room.
    void fitWidth(int width);
    const QString &text() const { return m_text; }
    // The text as the panel draws it: cut with an ellipsis where it is too wide.
    QString shownText() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;

    int m_usualWidth;
    QImage m_picture;
    QString m_text;
};
