#include "firmware/ui/VEK_New_MJ.h"

#include "base/VEK_LANGUAGE.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

VEK_New_MJ::VEK_New_MJ(VekContext &context, PackageEditorServices services, QWidget *parent,
                       WindowPrompts *prompts)
    : PackageEditorWindow(context, std::move(services), PackageKind::update(),
                          {QStringLiteral("VEK_New_MJ"),
                           QStringLiteral("Créer un Opérating Système (*.XMJ)"),
                           QStringLiteral("Compilé (*.hex *.HEX);;Codé (*.xeh *.XEH)"),
                           QStringLiteral("Choix du fichier de mise à jour"),
                           QStringLiteral("Mise à jour (*.xmj *.XMJ)")},
                          prompts, parent)
{
    buildForm();
    InitLangue();
    fillChips();
}

void VEK_New_MJ::buildForm()
{
    layoutSharedFrames();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame_info);
    layout->addWidget(Frame_Processeur);
    layout->addWidget(Frame_source);
    layout->addLayout(buttonRow());
    setMinimumWidth(480);
}

void VEK_New_MJ::InitLangue()
{
    initSharedCaptions();
    setCaptions({{BP_OK, VEK_LANGUAGE::LangKey("MBXosCreerMJ")},
                 {BP_Lire_OS, VEK_LANGUAGE::LangKey("MBXosLireMJ")}});
}

UpdatePackageFields VEK_New_MJ::fields() const
{
    return {TxtModule->text(), TxtVersion->text(),    TxtAuteur->text(),
            TxtEmail->text(),  TxtNomFichier->text(), Processeur_CHIP->currentText()};
}

void VEK_New_MJ::BP_OK_Click()
{
    if (!namePlausible() || !requireChip() || !requireSource())
        return;
    UpdatePackageFields f = fields();
    f.NomDuFichier = takenName();
    createPackage(f.toDescription());
}

void VEK_New_MJ::showDescription()
{
    const UpdatePackageFields f =
        UpdatePackageFields::fromDescription(infoLookup(), reglageLookup());
    showIdentity(f.Module, f.VersionOS, f.Author, f.AuthorEmail, f.NomDuFichier);
    listMatch(Processeur_CHIP, f.MODCHIP);
}
