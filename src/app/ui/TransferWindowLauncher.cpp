#include "app/ui/TransferWindowLauncher.h"

#include "app/FirmwareProfile.h"
#include "app/VekContext.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <memory>

TransferWindowLauncher::TransferWindowLauncher(VekContext &context, QWidget &parent)
    : context_(context), parent_(parent), show_([](QDialog &dialog) { dialog.exec(); })
{}

void TransferWindowLauncher::launch(bool packageChosen, const std::function<void()> &freeLine)
{
    if (!packageChosen) {
        showMessage(QStringLiteral("Aucun fichier OS n'a été sélectionné"));
        return;
    }
    freeLine(); // the transfer window needs the serial line
    const QString &type = context_.TypeTransfert;
    const TransferWindow window = TransferWindowFor(type);
    if (window == TransferWindow::Unknown) {
        showMessage(QStringLiteral("Type de transfert : ") + type +
                    QStringLiteral(" n'est pas reconnu ..."));
        return;
    }
    if (window == TransferWindow::Korval)
        showMessage(QStringLiteral("Type de transfert : ") + type +
                    QStringLiteral(" n'est pas débugger ..."));
    open(window);
}

void TransferWindowLauncher::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    &parent_);
    box.setObjectName(QStringLiteral("ProgrammingMessage"));
    box.exec();
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
