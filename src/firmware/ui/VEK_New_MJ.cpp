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

using VEK_LANGUAGE::GetLanguageText;

VEK_New_MJ::VEK_New_MJ(VekContext &context, PackageEditorServices services, QWidget *parent,
                       WindowPrompts *prompts)
    : PackageEditorWindow(context, std::move(services), PackageKind::update(), prompts, parent)
{
    setObjectName(QStringLiteral("VEK_New_MJ"));
    setWindowTitle(QStringLiteral("Créer un Opérating Système (*.XMJ)"));
    m_sourceFilter = QStringLiteral("Compilé (*.hex *.HEX);;Codé (*.xeh *.XEH)");
    buildSharedControls();
    buildForm();
    InitLangue();
    fillChips();
}

void VEK_New_MJ::buildForm()
{
    layoutIdentityFrame();
    (new QVBoxLayout(Frame_Processeur))->addWidget(Processeur_CHIP);
    auto *source = new QHBoxLayout(Frame_source);
    source->addWidget(Lbl_NomFichierHEXXEH, 1);
    source->addWidget(BP_SelectFile);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BP_Lire_OS);
    buttons->addWidget(BP_OK);
    buttons->addWidget(BP_Annuler);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame_info);
    layout->addWidget(Frame_Processeur);
    layout->addWidget(Frame_source);
    layout->addLayout(buttons);
    setMinimumWidth(480);
}

void VEK_New_MJ::InitLangue()
{
    BP_OK->setText(GetLanguageText("MBXosCreerMJ"));
    BP_Lire_OS->setText(GetLanguageText("MBXosLireMJ"));
    BP_Annuler->setText(GetLanguageText("MAnnuler"));
    Frame_info->setTitle(GetLanguageText("MFXosInfo"));
    LblTypeModule->setText(GetLanguageText("MFTypeBoitier"));
    LblTypeVersion->setText(GetLanguageText("MLXosTypeVersion"));
    LblTypeAuteur->setText(GetLanguageText("MLXosTypeAuteur"));
    LblTypeEmail->setText(GetLanguageText("MLXosTypeEMAIL"));
    LblTypeNomFichier->setText(GetLanguageText("MLXosTypeNomFichier"));
    Frame_Processeur->setTitle(GetLanguageText("MFProcesseur"));
    Frame_source->setTitle(GetLanguageText("MFXosFichierSource"));
}

UpdatePackageFields VEK_New_MJ::fields() const
{
    return {TxtModule->text(), TxtVersion->text(),    TxtAuteur->text(),
            TxtEmail->text(),  TxtNomFichier->text(), Processeur_CHIP->currentText()};
}

void VEK_New_MJ::BP_OK_Click()
{
    if (TxtNomFichier->text().isEmpty())
        return; // nothing to name the package after
    if (!chipChosen()) {
        warn(QStringLiteral("Le type de microcontroleur n'a pas été choisi"));
        return;
    }
    if (!namePlausible())
        return;
    createPackage(fields().toDescription());
}

void VEK_New_MJ::BP_Lire_OS_Click()
{
    if (!readPackage(QStringLiteral("Choix du fichier de mise à jour"),
                     QStringLiteral("Mise à jour (*.xmj *.XMJ)")))
        return;
    const auto lookup = [](const std::function<QString(const QString &)> &f) {
        return [f](const QString &key) { return f ? f(key) : QString(); };
    };
    const UpdatePackageFields f = UpdatePackageFields::fromDescription(
        lookup(m_services.lireInfo), lookup(m_services.lireReglage));
    TxtModule->setText(f.Module);
    TxtVersion->setText(f.VersionOS);
    TxtAuteur->setText(f.Author);
    TxtEmail->setText(f.AuthorEmail);
    TxtNomFichier->setText(f.NomDuFichier);
    listMatch(Processeur_CHIP, f.MODCHIP);
    showSourceFromWorkFiles();
}
