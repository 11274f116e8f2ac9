#include "bootloader/ui/VEK_BL_INIT.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const kStepTexts[] = {
    "- Couper l'alimentation du module d'allumage        - Basculer SW101.3 sur OFF  "
    "                               - Rétablir l'alimentation du module d'allumage",
    "Lancer le transfert...",
    "- Couper l'alimentation du module d'allumage        - Basculer SW101.3 sur ON   "
    "                               - Rétablir l'alimentation du module d'allumage",
};

} // namespace

VEK_BL_INIT::VEK_BL_INIT(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 10583, 0}, false, false}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL_INIT"));
    Label1 = new QLabel(QStringLiteral("INITIALISATION MICROPROGRAMME"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont title = Label1->font();
    title.setBold(true);
    Label1->setFont(title);
    body()->addWidget(Label1);
    auto *steps = new QGridLayout;
    for (int i = 1; i <= 3; ++i) {
        BP_STEP[size_t(i)] = addButton(qPrintable(QStringLiteral("BP_STEP%1").arg(i)),
                                       QStringLiteral("Etape %1").arg(i));
        Lb_step[size_t(i)] = new QLabel(QString::fromUtf8(kStepTexts[i - 1]), this);
        Lb_step[size_t(i)]->setObjectName(QStringLiteral("Lb_step%1").arg(i));
        Lb_step[size_t(i)]->setWordWrap(true);
        // As wide as one instruction: the runs of blanks put each on its own line.
        Lb_step[size_t(i)]->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral(
                                              "- Rétablir l'alimentation du module d'allumage")) +
                                          12);
        steps->addWidget(BP_STEP[size_t(i)], i, 0);
        steps->addWidget(Lb_step[size_t(i)], i, 1);
    }
    steps->setColumnStretch(2, 1);
    body()->addLayout(steps);
    BP_STEP[2]->setEnabled(false);
    BP_STEP[3]->setEnabled(false);
    addQuitButton();
    Form_Load();
}

void VEK_BL_INIT::InitLangue()
{
    frameCaptions();
}

QList<QWidget *> VEK_BL_INIT::lockedWhileRunning() const
{
    return {BP_STEP[1], BP_STEP[2], BP_STEP[3]};
}
