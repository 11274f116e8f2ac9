#include "firmware/ui/PackageEditorWindow.h"

#include <QGridLayout>

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "base/ui/Captions.h"
#include "base/ui/ElidedLabel.h"
#include "base/ui/WindowPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

namespace {

// The chip list's entry when the catalogue cannot be loaded.
const QString PlaceholderChip = QStringLiteral("****");
// The room the firmware file's path asks for, in pixels.
constexpr int SourcePathWidth = 360;

template <typename T> T *named(T *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

PackageEditorWindow::PackageEditorWindow(VekContext &context, PackageEditorServices services,
                                         const PackageKind &kind, const Texts &texts,
                                         WindowPrompts *prompts, QWidget *parent)
    : QDialog(parent), m_context(context), m_services(std::move(services)), m_kind(kind),
      m_authoring(m_services.packageFolder, kind),
      m_prompts(prompts ? *prompts : WindowPrompts::system()), m_sourceFilter(texts.sourceFilter),
      m_readTitle(texts.readTitle), m_readFilter(texts.readFilter)
{
    setModal(true);
    setObjectName(texts.objectName);
    setWindowTitle(texts.title);
    buildSharedControls();
}

QHBoxLayout *PackageEditorWindow::buttonRow()
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BP_Lire_OS);
    buttons->addWidget(BP_OK);
    buttons->addWidget(BP_Annuler);
    return buttons;
}

void PackageEditorWindow::layoutSharedFrames()
{
    (new QVBoxLayout(Frame_Processeur))->addWidget(Processeur_CHIP);
    auto *source = new QHBoxLayout(Frame_source);
    // The path in a sunken panel of its own, as a text box shows its text.
    auto *panel = new QFrame(Frame_source);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto *inPanel = new QHBoxLayout(panel);
    inPanel->setContentsMargins(1, 1, 1, 1);
    inPanel->addWidget(Lbl_NomFichierHEXXEH);
    source->addWidget(panel, 1);
    source->addWidget(BP_SelectFile);

    auto *info = new QGridLayout(Frame_info);
    const std::pair<QLabel *, QLineEdit *> rows[] = {{LblTypeModule, TxtModule},
                                                     {LblTypeVersion, TxtVersion},
                                                     {LblTypeAuteur, TxtAuteur},
                                                     {LblTypeEmail, TxtEmail},
                                                     {LblTypeNomFichier, TxtNomFichier}};
    int row = 0;
    for (const auto &[caption, edit] : rows) {
        info->addWidget(caption, row, 0);
        info->addWidget(edit, row++, 1);
    }
}

void PackageEditorWindow::buildSharedControls()
{
    Frame_info = named(new QGroupBox(this), "Frame_info");
    LblTypeModule = named(new QLabel(Frame_info), "LblTypeModule");
    LblTypeVersion = named(new QLabel(Frame_info), "LblTypeVersion");
    LblTypeAuteur = named(new QLabel(Frame_info), "LblTypeAuteur");
    LblTypeEmail = named(new QLabel(Frame_info), "LblTypeEmail");
    LblTypeNomFichier = named(new QLabel(Frame_info), "LblTypeNomFichier");
    TxtModule = named(new QLineEdit(Frame_info), "TxtModule");
    TxtVersion = named(new QLineEdit(Frame_info), "TxtVersion");
    TxtAuteur = named(new QLineEdit(Frame_info), "TxtAuteur");
    TxtEmail = named(new QLineEdit(Frame_info), "TxtEmail");
    TxtNomFichier = named(new QLineEdit(Frame_info), "TxtNomFichier");

    Frame_Processeur = named(new QGroupBox(this), "Frame_Processeur");
    Processeur_CHIP = named(new QComboBox(Frame_Processeur), "Processeur_CHIP");
    Processeur_CHIP->setEditable(true);
    Processeur_CHIP->setInsertPolicy(QComboBox::NoInsert);
    Processeur_CHIP->addItem(PlaceholderChip);

    Frame_source = named(new QGroupBox(this), "Frame_source");
    // A path of any length keeps the window on the screen: the label shows
    // its start and its end, and the whole path as its tooltip.
    Lbl_NomFichierHEXXEH =
        named(new ElidedLabel(SourcePathWidth, Frame_source), "Lbl_NomFichierHEXXEH");
    BP_SelectFile = named(new QPushButton(QStringLiteral("..."), Frame_source), "BP_SelectFile");

    BP_OK = named(new QPushButton(this), "BP_OK");
    BP_Lire_OS = named(new QPushButton(this), "BP_Lire_OS");
    BP_Annuler = named(new QPushButton(this), "BP_Annuler");
    for (QPushButton *b : {BP_SelectFile, BP_OK, BP_Lire_OS, BP_Annuler})
        b->setAutoDefault(false);

    connect(BP_SelectFile, &QPushButton::clicked, this, &PackageEditorWindow::BP_SelectFile_Click);
    connect(BP_Lire_OS, &QPushButton::clicked, this, &PackageEditorWindow::BP_Lire_OS_Click);
    connect(BP_OK, &QPushButton::clicked, this, &PackageEditorWindow::BP_OK_Click);
    connect(BP_Annuler, &QPushButton::clicked, this, &PackageEditorWindow::BP_Annuler_Click);
}

void PackageEditorWindow::fillChips()
{
    const std::optional<QStringList> chips =
        m_services.chipCatalogue ? m_services.chipCatalogue() : std::nullopt;
    if (chips) {
        Processeur_CHIP->clear();
        Processeur_CHIP->addItems(*chips);
    }
    Processeur_CHIP->setCurrentIndex(Processeur_CHIP->count() > 0 ? 0 : -1);
}

void PackageEditorWindow::listMatch(QComboBox *list, const QString &value)
{
    list->setCurrentIndex(-1);
    const QString wanted = value.toUpper();
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).toUpper() == wanted) {
            list->setCurrentIndex(i);
            return;
        }
}

bool PackageEditorWindow::isPicked(const QComboBox *list)
{
    const int index = list->currentIndex();
    return index >= 0 && list->currentText() == list->itemText(index);
}

bool PackageEditorWindow::chipChosen() const
{
    return isPicked(Processeur_CHIP) && Processeur_CHIP->currentText() != PlaceholderChip;
}

bool PackageEditorWindow::requireChip()
{
    if (chipChosen())
        return true;
    warn(QStringLiteral("Le type de microcontroleur n'a pas été choisi"));
    return false;
}

void PackageEditorWindow::warn(const QString &text)
{
    m_prompts.message(this, QMessageBox::Warning, QStringLiteral("Attention"), text,
                      QMessageBox::Ok);
}

void PackageEditorWindow::BP_SelectFile_Click()
{
    const QString chosen =
        m_prompts.chooseFile(this, QStringLiteral("Choix du projet"), QString(), m_sourceFilter);
    if (!chosen.isEmpty())
        Lbl_NomFichierHEXXEH->setText(chosen);
}

void PackageEditorWindow::BP_Annuler_Click()
{
    m_authoring.deleteWorkFiles();
    reject();
}

void PackageEditorWindow::BP_Lire_OS_Click()
{
    if (!readPackage())
        return;
    showDescription();
    showSourceFromWorkFiles();
}

bool PackageEditorWindow::readPackage()
{
    // Cancelled or refused, the form and the work files stay as they were.
    const QString chosen =
        m_prompts.chooseFile(this, m_readTitle, m_authoring.folder(), m_readFilter);
    if (chosen.isEmpty())
        return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PackageAuthoring::Outcome read = m_authoring.read(chosen);
    QApplication::restoreOverrideCursor();
    if (!read.ok) {
        m_prompts.message(
            this, QMessageBox::Critical, windowTitle(),
            GetLanguageText("MessXosLectureEchec",
                            {QStringLiteral("%FICHIER%"), QDir::toNativeSeparators(chosen),
                             QStringLiteral("%ERREUR%"), read.error}),
            QMessageBox::Ok);
        return false;
    }
    if (m_services.makeCurrentDescription)
        m_services.makeCurrentDescription(m_authoring.folder() + QLatin1Char('/'),
                                          m_kind.description);
    return true;
}

void PackageEditorWindow::showSourceFromWorkFiles()
{
    for (const QString &member : {m_kind.hexMember, m_kind.xehMember}) {
        const QString path = m_authoring.workPath(member);
        if (QFileInfo::exists(path))
            Lbl_NomFichierHEXXEH->setText(path);
    }
}

bool PackageEditorWindow::namePlausible()
{
    const ValueRules::Path path = m_kind.extension == PackageKind::update().extension
                                      ? ValueRules::Path::UpdateEditor
                                      : ValueRules::Path::PackageEditor;
    const ValueRules::Outcome name = ValueRules::read(
        ValueRules::Value::PackageName, TxtNomFichier->text(), ValueRules::Source::box(path));
    if (!name.taken()) {
        warn(name.message);
        return false;
    }
    m_name = name.text;
    return true;
}

bool PackageEditorWindow::requireSource()
{
    if (!Lbl_NomFichierHEXXEH->text().isEmpty())
        return true;
    warn(QStringLiteral("Il manque le fichier HEX"));
    return false;
}

void PackageEditorWindow::createPackage(const PackageDescription &description)
{
    const QString chip = Processeur_CHIP->currentText();
    const QString start = description.reglage(QStringLiteral("HEX_ADD"));
    const QString length = description.reglage(QStringLiteral("HEX_LNG"));
    const PackageAuthoring::FirmwareWriter firmware = [&](const QString &source,
                                                          const QString &xeh) {
        if (!m_services.writeFirmware)
            return PackageAuthoring::Outcome{false, QString()};
        return m_services.writeFirmware(chip, source, xeh, start, length);
    };

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PackageAuthoring::Result result =
        m_authoring.create(m_name, description, Lbl_NomFichierHEXXEH->text(), firmware);
    QApplication::restoreOverrideCursor();
    if (result.ok()) {
        // The window closes on success: the user learns what was made, and where.
        const QFileInfo package(result.packagePath);
        m_prompts.message(
            this, QMessageBox::Information, windowTitle(),
            GetLanguageText("MessXosCree", {QStringLiteral("%FICHIER%"), package.fileName(),
                                            QStringLiteral("%DOSSIER%"),
                                            QDir::toNativeSeparators(package.absolutePath())}),
            QMessageBox::Ok);
        accept();
        return;
    }
    if (result.status == PackageAuthoring::Result::BadName) { // taken by namePlausible first
        namePlausible();
        return;
    }
    if (result.status == PackageAuthoring::Result::NoSource) { // asked for by requireSource first
        requireSource();
        return;
    }
    m_prompts.message(
        this, QMessageBox::Critical, windowTitle(),
        GetLanguageText("MessXosEchec", {QStringLiteral("%FICHIER%"),
                                         QDir::toNativeSeparators(m_authoring.packagePath(m_name)),
                                         QStringLiteral("%ERREUR%"), result.error}),
        QMessageBox::Ok);
}

static std::function<QString(const QString &)>
orEmpty(const std::function<QString(const QString &)> &read)
{
    return [read](const QString &key) { return read ? read(key) : QString(); };
}

std::function<QString(const QString &key)> PackageEditorWindow::infoLookup() const
{
    return orEmpty(m_services.lireInfo);
}

std::function<QString(const QString &key)> PackageEditorWindow::reglageLookup() const
{
    return orEmpty(m_services.lireReglage);
}

void PackageEditorWindow::showIdentity(const QString &module, const QString &version,
                                       const QString &author, const QString &email,
                                       const QString &fileName)
{
    TxtModule->setText(module);
    TxtVersion->setText(version);
    TxtAuteur->setText(author);
    TxtEmail->setText(email);
    TxtNomFichier->setText(fileName);
}

void PackageEditorWindow::setCaptions(std::initializer_list<Caption> captions)
{
    for (const auto &[control, key] : captions)
        SetCaption(control, VEK_LANGUAGE::GetLanguageText(key));
}

void PackageEditorWindow::initSharedCaptions()
{
    using VEK_LANGUAGE::LangKey;
    setCaptions({{BP_Annuler, LangKey("MAnnuler")},
                 {Frame_info, LangKey("MFXosInfo")},
                 {LblTypeModule, LangKey("MFTypeBoitier")},
                 {LblTypeVersion, LangKey("MLXosTypeVersion")},
                 {LblTypeAuteur, LangKey("MLXosTypeAuteur")},
                 {LblTypeEmail, LangKey("MLXosTypeEMAIL")},
                 {LblTypeNomFichier, LangKey("MLXosTypeNomFichier")},
                 {Frame_Processeur, LangKey("MFProcesseur")},
                 {Frame_source, LangKey("MFXosFichierSource")}});
}
