#pragma once

#include "app/EngineParameters.h"

#include <QWidget>

struct VekContext;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

// The engine-parameter frames of the parameters page. Every control writes its
// value into the context's engine parameters and marks the curve modified; the
// four number boxes are stepped with Page Up/Page Down and checked on Enter or
// when they lose the focus: a refused text gives way to the box's previous
// value, and `refused` carries the message. Captions and help texts are put by
// the window that holds the panel, by control name.
class EngineParametersPanel : public QWidget
{
    Q_OBJECT
public:
    explicit EngineParametersPanel(VekContext &context, QWidget *parent = nullptr);

    // Shows the context's engine parameters (new curve, opened file). The
    // change handlers run as for a user's change; callers clear the modified
    // mark afterwards when they mean to.
    void showParameters();
    // The list entries that are words, in the current language.
    void retranslate();

    QLineEdit *box(EngineParameterRules::Box which) const;
    QGroupBox *frame(const QString &name) const;

signals:
    void info(const QString &text);
    void refused(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *newFrame(const char *name);
    QComboBox *newList(const char *name, const QStringList &items);
    QLineEdit *newBox(const char *name, EngineParameterRules::Box which);
    void valider(EngineParameterRules::Box which);
    void refuse(EngineParameterRules::Box which, const QString &message);
    void storeBox(EngineParameterRules::Box which);
    void modifie();
    void layoutFrames();

    VekContext &m_context;
    QComboBox *m_cylindres = nullptr;
    QComboBox *m_avanceBasRegime = nullptr;
    QComboBox *m_cliquetis = nullptr;
    QComboBox *m_hardXled = nullptr;
    QLineEdit *m_boxes[4] = {};
    QString m_taken[4]; // each box's value when last shown or taken
    QLineEdit *m_cliquetisPlus = nullptr;
    QRadioButton *m_single = nullptr;
    QRadioButton *m_multi = nullptr;
    QList<QGroupBox *> m_frames;
};
