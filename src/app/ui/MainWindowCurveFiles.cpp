#include "app/ui/MainWindowCurveFiles.h"

#include "app/ui/EngineParametersPanel.h"
#include "app/ui/VEK_Accueil.h"
#include "base/FileRefusal.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/OperationStatus.h"
#include "base/ui/WindowPrompts.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>

MainWindowCurveFiles::MainWindowCurveFiles(VEK_Accueil &window) : window_(window), commands_(*this)
{}

MainWindowCurveFiles::~MainWindowCurveFiles() = default;

// ---------------------------------------------------------------- dialogs

QString MainWindowCurveFiles::askOpenFileName(const QString &title, const QString &filter,
                                              const QString &initialName)
{
    return QFileDialog::getOpenFileName(&window_, title, initialName, filter);
}

QString MainWindowCurveFiles::askSaveFileName(const QString &title, const QString &filter,
                                              const QString &initialName, CurveFiles::Kind &kind)
{
    static const CurveFiles::Kind kinds[] = {CurveFiles::Kind::Project, CurveFiles::Kind::Curve,
                                             CurveFiles::Kind::SingleCurve};
    QString chosen;
    const QString path =
        WindowPrompts::AskSaveFileName(&window_, title, initialName, filter, &chosen);
    const qsizetype index = filter.split(QStringLiteral(";;")).indexOf(chosen);
    kind = index >= 0 && index < 3 ? kinds[index] : CurveFiles::Kind::Project;
    return path;
}

bool MainWindowCurveFiles::askYesNo(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                    &window_);
    box.setObjectName(QStringLiteral("CurveQuestion"));
    return box.exec() == QMessageBox::Yes;
}

void MainWindowCurveFiles::showError(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, &window_);
    box.setObjectName(QStringLiteral("CurveError"));
    box.exec();
}

void MainWindowCurveFiles::showMessage(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, &window_);
    box.setObjectName(QStringLiteral("CurveMessage"));
    box.exec();
}

// ---------------------------------------------------------------- window state

bool MainWindowCurveFiles::curveModified() const
{
    return window_.settings().CourbeModifie;
}

void MainWindowCurveFiles::setCurveModified(bool modified)
{
    window_.settings().CourbeModifie = modified;
}

void MainWindowCurveFiles::setInfoText(const QString &text)
{
    window_.L_Info()->setText(text);
}

void MainWindowCurveFiles::setProgressText(const QString &text)
{
    window_.status_->progress(text);
}

void MainWindowCurveFiles::setCaption(const QString &caption)
{
    window_.setWindowTitle(caption);
}

CurveDocument MainWindowCurveFiles::currentCurve() const
{
    const VekContext &context = window_.context();
    CurveDocument curve;
    curve.moteur = context.moteur;
    curve.CarteOptionNom = context.optionBoard.CarteOptionNom;
    curve.DeviceCfg = context.optionBoard.DeviceCfg;
    curve.VoiesTOR = context.optionBoard.VoiesTOR;
    curve.knockColumn = context.tab_avance.hasKnockColumn();
    curve.rows = context.tab_avance.rows();
    return curve;
}

void MainWindowCurveFiles::startNewCurve()
{
    window_.settings().VersionModule = 0;
    window_.bp_new_Click();
}

void MainWindowCurveFiles::showCurve(const CurveDocument &curve)
{
    window_.context().moteur = curve.moteur;
    window_.engineParameters()->showParameters();
    showOptionBoard(curve);
    // The curve grid, the chart and the MAP table follow the model.
    window_.context().tab_avance.setRows(curve.rows, curve.knockColumn);
    window_.GrilleVersGraphe();
    window_.SSTab1()->setCurrentIndex(1);
}

void MainWindowCurveFiles::showOptionBoard(const CurveDocument &curve)
{
    if (curve.CarteOptionNom) {
        QComboBox *boards = window_.TypeCarteOption();
        QStringList names;
        for (int i = 0; i < boards->count(); ++i)
            names << boards->itemText(i);
        const int entry = CurveDocument::optionBoardEntry(names, *curve.CarteOptionNom);
        if (boards->currentIndex() == entry)
            window_.TypeCarteOption_Click(); // the board is applied afresh all the same
        else
            boards->setCurrentIndex(entry);
    }
    OptionBoardState &board = window_.context().optionBoard;
    for (int n = 0; n < CurveDocument::kChannels; ++n)
        board.VoiesTOR[n] = curve.VoiesTOR[n];
}

// ---------------------------------------------------------------- projects

bool MainWindowCurveFiles::openProject(const QString &path, QByteArray &curve, QString &error)
{
    // A curve refused once the project is unpacked puts the package in use
    // back: without its copy the next save would carry the refused project's.
    backup_ = std::make_unique<PackageFilesBackup>(PackageFilesBackup::TemporaryPackageFiles());
    if (!backup_->save()) {
        backup_.reset();
        error = FileRefusal::OfFile(VEK_LANGUAGE::LangKey("MessProjetSansCopie"),
                                    QDir::toNativeSeparators(path),
                                    {"%DOSSIER%", QDir::toNativeSeparators(QDir::tempPath())});
        return false;
    }
    const VEK_Gestion_OS::ProjectResult opened = VEK_Gestion_OS::OuvrirCourbeOS(path);
    projectPackage_ = opened.paquet;
    if (!opened.ok()) {
        error = opened.message; // names the project, or the package it could not make
        return false;
    }
    QString why;
    if (CurveFiles::ReadAll(VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.VEK")), curve, &why))
        return true;
    error = FileRefusal::OfFile(VEK_LANGUAGE::LangKey("CurveFileReadErr"), path, {"%RAISON%", why});
    return false;
}

void MainWindowCurveFiles::applyProjectFirmware()
{
    QComboBox *list = window_.TypeVersionOS();
    // A package made since the list was read (by the package editor) is
    // listed too: the project's firmware is never dropped for want of an entry.
    if (!projectPackage_.isEmpty() && list->findText(projectPackage_) < 0)
        list->addItem(projectPackage_);
    // A project that names no package keeps the choice in force.
    const int entry =
        projectPackage_.isEmpty() ? list->currentIndex() : list->findText(projectPackage_);
    window_.SelectFirmwareEntry(std::max(entry, 0));
    backup_.reset();
}

void MainWindowCurveFiles::restoreFirmware()
{
    if (backup_)
        backup_->restore();
    backup_.reset();
    VEK_Gestion_OS::InitDescriptionTemp();
}

bool MainWindowCurveFiles::saveProject(const QString &path, const CurveDocument &curve,
                                       QString &error)
{
    // The project takes its curve from the work file: one not written whole
    // would carry the curve saved before.
    const QString work = VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.VEK"));
    QString why;
    if (!CurveFiles::WriteCurve(work, curve, CurveFiles::Kind::Curve, &why)) {
        error = VEK_LANGUAGE::GetLanguageText(
            "RaisonFichierTravail", {"{FICHIER}", QDir::toNativeSeparators(work), "%RAISON%", why});
        return false;
    }
    const VEK_Gestion_OS::Result saved = VEK_Gestion_OS::EnregistrerCourbeOS(path);
    if (!saved.ok())
        error = saved.raison;
    return saved.ok();
}

void MainWindowCurveFiles::deleteTemporaryFiles()
{
    VEK_Gestion_OS::EffacerTemp();
}
