#include "bootloader/ui/VEK_KORVAL.h"

#include "base/VEK_LANGUAGE.h"
#include "icsp/ui/StatusPanel.h"

#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;

VEK_KORVAL::VEK_KORVAL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 8643, 2117}, false, true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_KORVAL"));
    BP_DLOAD = addButton("BP_DLOAD", QStringLiteral("&Dowload"));
    addLinkButtons({BP_DLOAD});
    addQuitButton();
    panel(3)->setText(QStringLiteral("CONNECTE"));
    Form_Load();
}

QString VEK_KORVAL::caption() const
{
    return QStringLiteral("Communication KORVALx avec un module compatible MIRT");
}

std::optional<QString> VEK_KORVAL::initialPanel3() const
{
    return QStringLiteral("LOCAL");
}

void VEK_KORVAL::InitLangue()
{
    BP_DLOAD->setText(GetLanguageText("MBdownload"));
    frameCaptions();
    panel(3)->setText(QStringLiteral("LOCAL"));
}

QList<QWidget *> VEK_KORVAL::lockedWhileRunning() const
{
    return {BP_DLOAD};
}
