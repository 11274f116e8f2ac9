#include "app/ui/EngineParametersPanel.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using VEK_LANGUAGE::GetLanguageText;
using Box = EngineParameterRules::Box;

namespace {
QLabel *namedLabel(const char *name, QWidget *parent, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

void EngineParametersPanel::retranslate()
{
    const QStringList items = EngineParameterRules::HardXLEDItems();
    for (int i = 0; i < m_hardXled->count() && i < items.size(); ++i)
        m_hardXled->setItemText(i, items.at(i));
}

EngineParametersPanel::EngineParametersPanel(VekContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    using namespace EngineParameterRules;
    m_cylindres = newList("NbCylindres", CylinderItems());
    m_avanceBasRegime = newList("CmbAvanceBasRegime", AvanceBasRegimeItems());
    m_cliquetis = newList("CmbCliquetis", CliquetisItems());
    m_hardXled = newList("HardXLED", HardXLEDItems());
    newBox("Txt_av_statique", Box::AvanceStatique);
    newBox("Txt_rpm_maxi", Box::RegimeMaxi);
    newBox("TxtDureeRetardCliquetis", Box::DureeRetardCliquetis);
    newBox("TxtDwell", Box::Dwell);
    m_cliquetisPlus = new QLineEdit(this);
    m_cliquetisPlus->setObjectName(QStringLiteral("Txt_av_cliquetisPlus"));
    m_cliquetisPlus->setReadOnly(true);
    m_cliquetisPlus->setFixedWidth(80);
    m_cliquetisPlus->setAlignment(Qt::AlignRight);
    m_single = new QRadioButton(this);
    m_single->setObjectName(QStringLiteral("SingleSparck"));
    m_multi = new QRadioButton(this);
    m_multi->setObjectName(QStringLiteral("MultiSparck"));
    layoutFrames();

    EngineParameters &p = m_context.moteur;
    connect(m_cylindres, &QComboBox::currentIndexChanged, this, [this, &p](int i) {
        p.NbCylindres = i;
        emit info(GetLanguageText(QStringLiteral("NbCylindresChange")));
        modifie();
    });
    connect(m_avanceBasRegime, &QComboBox::currentIndexChanged, this, [this, &p](int i) {
        p.CmbAvanceBasRegime = i;
        modifie();
    });
    connect(m_hardXled, &QComboBox::currentIndexChanged, this, [this, &p](int i) {
        p.HardXLED = i;
        modifie();
    });
    connect(m_cliquetis, &QComboBox::currentIndexChanged, this, [this, &p](int i) {
        p.CmbCliquetis = i;
        m_cliquetisPlus->setText(EngineParameterRules::cliquetisPlus(i));
        modifie();
    });
    connect(m_single, &QRadioButton::clicked, this, [this, &p] {
        p.MultiSparck = false;
        modifie();
        emit info(GetLanguageText(QStringLiteral("SingleSparckClick")));
    });
    connect(m_multi, &QRadioButton::clicked, this, [this, &p] {
        p.MultiSparck = true;
        modifie();
        emit info(GetLanguageText(QStringLiteral("MultiSparckClick")));
    });

    showParameters();
}

QComboBox *EngineParametersPanel::newList(const char *name, const QStringList &items)
{
    auto *list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    // Its items are worded again when the language changes: the list follows
    // their width, so that no language's word is cut.
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

QLineEdit *EngineParametersPanel::newBox(const char *name, Box which)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFixedWidth(80);
    edit->setAlignment(Qt::AlignRight);
    edit->installEventFilter(this);
    m_boxes[int(which)] = edit;
    connect(edit, &QLineEdit::textChanged, this, [this, which, edit] {
        if (!edit->isModified()) // put by the program (a package's preset): taken as it is
            m_taken[int(which)] = edit->text();
        storeBox(which);
        modifie();
    });
    return edit;
}

QGroupBox *EngineParametersPanel::newFrame(const char *name)
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QString::fromLatin1(name));
    m_frames << frame;
    return frame;
}

void EngineParametersPanel::layoutFrames()
{
    auto place = [](QGroupBox *frame, const QList<QList<QWidget *>> &rows) {
        auto *grid = new QGridLayout(frame);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows.at(r).size(); ++c)
                if (QWidget *w = rows.at(r).at(c)) {
                    w->setParent(frame);
                    grid->addWidget(w, r, c);
                }
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(static_cast<int>(rows.size()), 1);
    };
    auto label = [this](const char *name) { return namedLabel(name, this); };

    QGroupBox *moteur = newFrame("FrameMoteur");
    place(moteur, {{label("LabelMoteur1"), m_cylindres},
                   {label("LabelMoteur2"), box(Box::RegimeMaxi), label("LabelMoteur3")}});
    QGroupBox *statique = newFrame("FrameAvanceST");
    place(statique,
          {{label("LabelAvStatique1"), box(Box::AvanceStatique), label("LabelAvStatique2")}});
    QGroupBox *basRegime = newFrame("FrameAvanceBRPM");
    place(basRegime, {{label("LabelAvBRPM1"), m_avanceBasRegime, label("LabelAvBRPM2")}});
    QGroupBox *dwell = newFrame("FrameDwell");
    place(dwell, {{label("LabelDwell"), box(Box::Dwell)}});
    QGroupBox *spark = newFrame("FrameMultiEtincelle");
    place(spark, {{label("LabelMultiEtincelle1"), m_single, m_multi}});
    QGroupBox *hardware = newFrame("FrameHardware");
    place(hardware, {{label("LabelHarware1"), m_hardXled}});
    QGroupBox *cliquetis = newFrame("FrameRetardCliquetis");
    place(cliquetis,
          {{label("LabelRetardCliquetis1"), m_cliquetis, label("LabelRetardCliquetis2")},
           {label("LabelRetardCliquetis3"), box(Box::DureeRetardCliquetis),
            label("LabelRetardCliquetis4")},
           {label("LabelRetardCliquetis5"), m_cliquetisPlus, label("LabelRetardCliquetis11")}});

    auto *grid = new QGridLayout(this);
    grid->addWidget(moteur, 0, 0);
    grid->addWidget(statique, 1, 0);
    grid->addWidget(basRegime, 2, 0);
    grid->addWidget(dwell, 3, 0);
    grid->addWidget(spark, 0, 1);
    grid->addWidget(hardware, 1, 1);
    grid->addWidget(cliquetis, 2, 1, 2, 1);
    grid->setRowStretch(4, 1);
}

QLineEdit *EngineParametersPanel::box(Box which) const
{
    return m_boxes[int(which)];
}

QGroupBox *EngineParametersPanel::frame(const QString &name) const
{
    return findChild<QGroupBox *>(name);
}

void EngineParametersPanel::showParameters()
{
    const EngineParameters p = m_context.moteur; // the handlers write back as they go
    m_cylindres->setCurrentIndex(p.NbCylindres);
    m_avanceBasRegime->setCurrentIndex(p.CmbAvanceBasRegime);
    m_cliquetis->setCurrentIndex(p.CmbCliquetis);
    m_cliquetisPlus->setText(EngineParameterRules::cliquetisPlus(p.CmbCliquetis));
    m_hardXled->setCurrentIndex(p.HardXLED);
    box(Box::AvanceStatique)->setText(p.Txt_av_statique);
    box(Box::RegimeMaxi)->setText(p.Txt_rpm_maxi);
    box(Box::DureeRetardCliquetis)->setText(p.TxtDureeRetardCliquetis);
    box(Box::Dwell)->setText(p.TxtDwell);
    for (int i = 0; i < 4; ++i) // an unchanged text gives no change signal
        m_taken[i] = m_boxes[i]->text();
    (p.MultiSparck ? m_multi : m_single)->setChecked(true);
    m_context.moteur = p;
    for (int i = 0; i < 4; ++i) // a loaded "2,5" is saved as "2.5"
        storeBox(Box(i));
}

void EngineParametersPanel::storeBox(Box which)
{
    // Kept with "." as its decimal point, as files and tables read it: a box
    // is checked before anything else of the window runs.
    EngineParameters &p = m_context.moteur;
    const QString text = DecimalNumberText(box(which)->text()).value_or(box(which)->text());
    switch (which) {
    case Box::AvanceStatique:
        p.Txt_av_statique = text;
        break;
    case Box::RegimeMaxi:
        p.Txt_rpm_maxi = text;
        break;
    case Box::DureeRetardCliquetis:
        p.TxtDureeRetardCliquetis = text;
        break;
    case Box::Dwell:
        p.TxtDwell = text;
        break;
    }
}

void EngineParametersPanel::valider(Box which)
{
    QLineEdit *edit = box(which);
    const EngineParameterRules::Saisie typed = EngineParameterRules::saisir(which, edit->text());
    if (!typed.prise()) {
        refuse(which, typed.refus);
        return;
    }
    m_taken[int(which)] = typed.texte;
    if (typed.texte != edit->text())
        edit->setText(typed.texte);
}

void EngineParametersPanel::refuse(Box which, const QString &message)
{
    box(which)->setText(m_taken[int(which)]);
    emit refused(message);
}

void EngineParametersPanel::modifie()
{
    m_context.settings.CourbeModifie = true;
}

bool EngineParametersPanel::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 4; ++i) {
        if (watched != m_boxes[i])
            continue;
        const Box which = Box(i);
        if (event->type() == QEvent::FocusOut) {
            // The box's own context menu leaves the text being typed alone.
            if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
                valider(which);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                const EngineParameterRules::Saisie typed =
                    EngineParameterRules::saisir(which, m_boxes[i]->text());
                if (!typed.prise()) {
                    refuse(which, typed.refus);
                    return true;
                }
                m_taken[i] =
                    EngineParameterRules::pas(which, typed.texte, key == Qt::Key_PageUp ? +1 : -1);
                m_boxes[i]->setText(m_taken[i]);
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                valider(which);
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}
