#pragma once

#include "base/ui/ElidedLabel.h"

#include <QImage>
#include <QString>

// One panel of a transfer window's status bar: a picture (drawn by a
// VEK_BarGraph) at its left edge and a text after it. What either shows cut
// (a long port on the link bar, a long failure) the tooltip gives whole.
class StatusPanel : public ElidedLabel
{
    Q_OBJECT
public:
    explicit StatusPanel(int width, QWidget *parent = nullptr);

    // `says`: the text drawn in the picture; `cut`: the picture shows it only
    // in part (the tooltip then gives it whole).
    void setPicture(const QImage &picture, const QString &says = {}, bool cut = false);
    const QImage &picture() const { return m_picture; }
    // Shows `text` and keeps the panel wide enough for all of it: for short
    // texts of a known length only (the module's identity).
    void setWholeText(const QString &text);
    QSize sizeHint() const override;

signals:
    void resized();

protected:
    QRect textRect() const override;
    QString cutText() const override;
    QString wholeText() const override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitWidth(int width);

    QImage m_picture;
    QString m_pictureText;
    bool m_pictureCut = false;
};
