#include "bootloader/ui/VEK_KORVAL.h"

#include "base/VEK_LANGUAGE.h"
#include "icsp/ui/StatusPanel.h"

#include <QHBoxLayout>
#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

VEK_KORVAL::VEK_KORVAL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 8643, 2117}, false, true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_KORVAL"));
    BP_tst = addButton("BP_tst", QStringLiteral("&Connexion"));
    BP_DLOAD = addButton("BP_DLOAD", QStringLiteral("&Dowload"));
    BP_MAJHEX = addButton("BP_MAJHEX", QStringLiteral("&Mise à jour"));
    BP_UPLOAD = addButton("BP_UPLOAD", QStringLiteral("&Upload"));
    BP_Quit = addButton("BP_Quit", QStringLiteral("&Quitter"));
    for (QPushButton *b : {BP_tst, BP_DLOAD, BP_MAJHEX, BP_UPLOAD})
        buttonRow()->addWidget(b);
    buttonRow()->addStretch();
    buttonRow()->addWidget(BP_Quit);
    // Until the connection opens the link.
    for (QPushButton *b : {BP_DLOAD, BP_MAJHEX, BP_UPLOAD})
        b->setEnabled(false);
    const std::pair<QPushButton *, const char *> help[] = {{BP_DLOAD, LangKey("MMBPDLOAD")},
                                                           {BP_MAJHEX, LangKey("MMBPMAJHEX")},
                                                           {BP_Quit, LangKey("MMBPQuit")},
                                                           {BP_tst, LangKey("MMBPtst")},
                                                           {BP_UPLOAD, LangKey("MMBPULOAD")}};
    for (const auto &[button, key] : help)
        addHoverHelp(button, key);
    panel(3)->setText(QStringLiteral("CONNECTE"));
    connect(BP_Quit, &QPushButton::clicked, this, &QDialog::close);
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
    BP_tst->setText(GetLanguageText("MBConnection"));
    BP_MAJHEX->setText(GetLanguageText("MBMajHex"));
    BP_UPLOAD->setText(GetLanguageText("MBupload"));
    BP_DLOAD->setText(GetLanguageText("MBdownload"));
    frameCaptions();
    panel(3)->setText(QStringLiteral("LOCAL"));
}

QList<QWidget *> VEK_KORVAL::lockedWhileRunning() const
{
    return {BP_tst, BP_DLOAD, BP_MAJHEX, BP_UPLOAD};
}
