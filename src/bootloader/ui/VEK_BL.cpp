#include "bootloader/ui/VEK_BL.h"

#include "base/VEK_LANGUAGE.h"
#include "icsp/ui/StatusPanel.h"

#include <QHBoxLayout>
#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

VEK_BL::VEK_BL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 8819, 4410}, false, true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL"));
    BP_tst = addButton("BP_tst", QStringLiteral("&Connexion"));
    BP_DLOAD[1] = addButton("BP_DLOAD1", QStringLiteral("&Dowload"));
    BP_DLOAD[2] = addButton("BP_DLOAD2", QStringLiteral("&Dowload"));
    BP_MAJHEX = addButton("BP_MAJHEX", QStringLiteral("&Mise à jour"));
    BP_UPLOAD = addButton("BP_UPLOAD", QStringLiteral("&Upload"));
    BP_Quit = addButton("BP_Quit", QStringLiteral("&Quitter"));
    for (QPushButton *b : {BP_tst, BP_DLOAD[1], BP_DLOAD[2], BP_MAJHEX, BP_UPLOAD})
        buttonRow()->addWidget(b);
    buttonRow()->addStretch();
    buttonRow()->addWidget(BP_Quit);
    // Until the connection opens the link.
    for (QPushButton *b : {BP_DLOAD[1], BP_DLOAD[2], BP_MAJHEX, BP_UPLOAD})
        b->setEnabled(false);
    const std::pair<QPushButton *, const char *> help[] = {
        {BP_DLOAD[1], LangKey("MMBPDLOAD")}, {BP_DLOAD[2], LangKey("MMBPDLOAD")},
        {BP_MAJHEX, LangKey("MMBPMAJHEX")},  {BP_Quit, LangKey("MMBPQuit")},
        {BP_tst, LangKey("MMBPtst")},        {BP_UPLOAD, LangKey("MMBPULOAD")}};
    for (const auto &[button, key] : help)
        addHoverHelp(button, key);
    connect(BP_Quit, &QPushButton::clicked, this, &QDialog::close);
    Form_Load();
}

std::optional<QString> VEK_BL::initialPanel3() const
{
    return QStringLiteral("Module: LOCAL");
}

void VEK_BL::InitLangue()
{
    BP_tst->setText(GetLanguageText("MBConnection"));
    BP_MAJHEX->setText(GetLanguageText("MBMajHex"));
    BP_UPLOAD->setText(GetLanguageText("MBupload"));
    BP_DLOAD[1]->setText(GetLanguageText("MBdownload_L1"));
    BP_DLOAD[2]->setText(GetLanguageText("MBdownload_L2"));
    frameCaptions();
    panel(3)->setText(GetLanguageText("BEPItem3") + QStringLiteral(" LOCAL"));
}

QList<QWidget *> VEK_BL::lockedWhileRunning() const
{
    return {BP_tst, BP_DLOAD[1], BP_DLOAD[2], BP_MAJHEX, BP_UPLOAD};
}
