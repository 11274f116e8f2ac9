#include "app/ui/TransferWindowLauncher.h"

#include "app/FirmwareProfile.h"
#include "app/VekContext.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "icsp/ui/VEK_ICSP.h"

#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"

#include <QCoreApplication>

#include <memory>

using VEK_LANGUAGE::GetLanguageText;

TransferWindowLauncher::TransferWindowLauncher(VekContext &context, QWidget &parent)
    : context_(context), parent_(parent),
      show_([this](QDialog &dialog) { prompts().showDialog(dialog); })
{}

void TransferWindowLauncher::launch(bool packageChosen, const std::function<void()> &freeLine)
{
    if (!packageChosen) {
        showMessage(GetLanguageText("BLAucunFichierOS"));
        return;
    }
    freeLine(); // the transfer window needs the serial line
    const QString &type = context_.TypeTransfert;
    const TransferWindow window = TransferWindowFor(type);
    if (window == TransferWindow::Unknown) {
        showMessage(GetLanguageText("TransfertNonReconnu", {"{TYPE}", type}));
        return;
    }
    if (window == TransferWindow::Korval)
        showMessage(GetLanguageText("TransfertNonDebugge", {"{TYPE}", type}));
    open(window);
}

WindowPrompts &TransferWindowLauncher::prompts() const
{
    return prompts_ ? *prompts_ : WindowPrompts::system();
}

void TransferWindowLauncher::showMessage(const QString &text)
{
    prompts().message(&parent_, QMessageBox::NoIcon, QCoreApplication::applicationName(), text,
                      QMessageBox::Ok);
}

// The window that the package's transfer type names, shown modally.
void TransferWindowLauncher::open(TransferWindow window)
{
    std::unique_ptr<QDialog> dialog;
    switch (window) {
    case TransferWindow::Icsp:
        dialog = std::make_unique<VEK_ICSP>(context_, &parent_, prompts_);
        break;
    case TransferWindow::Bootloader:
        dialog = std::make_unique<VEK_BL>(context_, &parent_, prompts_);
        break;
    case TransferWindow::BlInit:
        dialog = std::make_unique<VEK_BL_INIT>(context_, &parent_, prompts_);
        break;
    case TransferWindow::Korval:
        dialog = std::make_unique<VEK_KORVAL>(context_, &parent_, prompts_);
        break;
    case TransferWindow::Unknown:
        return;
    }
    show_(*dialog);
}
