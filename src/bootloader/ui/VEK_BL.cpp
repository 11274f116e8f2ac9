#include "bootloader/ui/VEK_BL.h"

#include "base/VEK_LANGUAGE.h"
#include "icsp/ui/StatusPanel.h"

#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;

VEK_BL::VEK_BL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 8819, 4410}, false, true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL"));
    BP_DLOAD[1] = addButton("BP_DLOAD1", QStringLiteral("&Dowload"));
    BP_DLOAD[2] = addButton("BP_DLOAD2", QStringLiteral("&Dowload"));
    addLinkButtons({BP_DLOAD[1], BP_DLOAD[2]});
    addQuitButton();
    Form_Load();
}

std::optional<QString> VEK_BL::initialPanel3() const
{
    return QStringLiteral("Module: LOCAL");
}

void VEK_BL::InitLangue()
{
    BP_DLOAD[1]->setText(GetLanguageText("MBdownload_L1"));
    BP_DLOAD[2]->setText(GetLanguageText("MBdownload_L2"));
    frameCaptions();
    panel(3)->setText(GetLanguageText("BEPItem3") + QStringLiteral(" LOCAL"));
}

QList<QWidget *> VEK_BL::lockedWhileRunning() const
{
    return {BP_DLOAD[1], BP_DLOAD[2]};
}
