#include "app/ui/MainWindowCurveFiles.h"

#include "app/ui/VEK_Accueil.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {

const char *const kLineBoxes[] = {"Txt_av_statique", "Txt_rpm_maxi", "TxtDwell",
                                  "TxtDureeRetardCliquetis"};

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

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
    QFileDialog dialog(&window_, title, initialName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = filter.split(QStringLiteral(";;"));
    // The dialog adds the chosen kind's extension itself, and asks before replacing.
    auto suffixFor = [&filters](const QString &chosen) {
        const qsizetype index = filters.indexOf(chosen);
        return index >= 0 && index < 3 ? kinds[index] : CurveFiles::Kind::Project;
    };
    dialog.setDefaultSuffix(CurveFiles::Extension(kinds[0]).mid(1));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &suffixFor](const QString &chosen) {
                         dialog.setDefaultSuffix(CurveFiles::Extension(suffixFor(chosen)).mid(1));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    kind = suffixFor(dialog.selectedNameFilter());
    return dialog.selectedFiles().constFirst();
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

void MainWindowCurveFiles::setCaption(const QString &caption)
{
    window_.setWindowTitle(caption);
}

CurveDocument MainWindowCurveFiles::currentCurve() const
{
    CurveDocument curve;
    curve.NbCylindres = window_.control<QComboBox>("NbCylindres")->currentIndex();
    curve.Txt_av_statique = window_.control<QLineEdit>("Txt_av_statique")->text();
    curve.CmbAvanceBasRegime = window_.control<QComboBox>("CmbAvanceBasRegime")->currentIndex();
    curve.Txt_rpm_maxi = window_.control<QLineEdit>("Txt_rpm_maxi")->text();
    curve.TxtDwell = window_.control<QLineEdit>("TxtDwell")->text();
    curve.multiSpark = window_.control<QRadioButton>("MultiSparck")->isChecked();
    curve.CmbCliquetis = window_.control<QComboBox>("CmbCliquetis")->currentIndex();
    curve.TxtDureeRetardCliquetis = window_.control<QLineEdit>("TxtDureeRetardCliquetis")->text();
    curve.HardXLED = window_.control<QComboBox>("HardXLED")->currentIndex();

    const OptionBoardState &board = window_.context().optionBoard;
    curve.CarteOptionNom = board.CarteOptionNom;
    curve.DeviceCfg = board.DeviceCfg;
    curve.VoiesTOR = board.VoiesTOR;

    const QTableWidget *grid = window_.tab_avance();
    curve.knockColumn = grid->columnCount() == 4;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < curve.columnCount(); ++column)
            cells << cellText(grid, row, column);
        curve.rows << cells;
    }
    return curve;
}

void MainWindowCurveFiles::startNewCurve()
{
    window_.settings().VersionModule = 0;
    window_.bp_new_Click();
}

void MainWindowCurveFiles::showCurve(const CurveDocument &curve)
{
    window_.control<QComboBox>("NbCylindres")->setCurrentIndex(curve.NbCylindres);
    const QString texts[] = {curve.Txt_av_statique, curve.Txt_rpm_maxi, curve.TxtDwell,
                             curve.TxtDureeRetardCliquetis};
    for (int i = 0; i < 4; ++i)
        window_.control<QLineEdit>(QString::fromLatin1(kLineBoxes[i]))->setText(texts[i]);
    window_.control<QComboBox>("CmbAvanceBasRegime")->setCurrentIndex(curve.CmbAvanceBasRegime);
    window_.control<QRadioButton>(curve.multiSpark ? "MultiSparck" : "SingleSparck")
        ->setChecked(true);
    window_.control<QComboBox>("CmbCliquetis")->setCurrentIndex(curve.CmbCliquetis);
    window_.control<QComboBox>("HardXLED")->setCurrentIndex(curve.HardXLED);
    showOptionBoard(curve);
    showRows(curve);
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

void MainWindowCurveFiles::showRows(const CurveDocument &curve)
{
    QTableWidget *grid = window_.tab_avance();
    grid->setColumnCount(curve.columnCount());
    QStringList headers = {QStringLiteral("Rpm"), QStringLiteral("Atmo"), QStringLiteral("Turbo")};
    if (curve.knockColumn)
        headers << QStringLiteral("Knock");
    grid->setHorizontalHeaderLabels(headers);
    window_.setKnockItemsVisible(curve.knockColumn);
    grid->setRowCount(static_cast<int>(curve.rows.size()));
    QTableWidget *map = window_.tabl_avance_;
    map->setRowCount(static_cast<int>(curve.rows.size()));
    for (int row = 0; row < curve.rows.size(); ++row) {
        const QStringList &cells = curve.rows.at(row);
        for (int column = 0; column < curve.columnCount(); ++column)
            grid->setItem(row, column, new QTableWidgetItem(cells.value(column)));
        // The map page's copy: rpm, Atmo, and Turbo in the last column.
        map->setItem(row, 0, new QTableWidgetItem(cells.value(0)));
        map->setItem(row, 1, new QTableWidgetItem(cells.value(1)));
        map->setItem(row, map->columnCount() - 1, new QTableWidgetItem(cells.value(2)));
    }
}

// ---------------------------------------------------------------- projects

bool MainWindowCurveFiles::openProject(const QString &path, QByteArray &curve, QString &error)
{
    backup_ = std::make_unique<PackageFilesBackup>(PackageFilesBackup::TemporaryPackageFiles());
    backup_->save();
    const VEK_Gestion_OS::ProjectResult opened = VEK_Gestion_OS::OuvrirCourbeOS(path);
    projectPackage_ = opened.paquet;
    projectPackageIsNew_ = opened.ajouterALaListe;
    if (!opened.ok()) {
        error = opened.message + QLatin1Char('\n') + opened.details.trimmed();
        return false;
    }
    return CurveFiles::ReadAll(VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.VEK")), curve,
                               &error);
}

void MainWindowCurveFiles::applyProjectFirmware()
{
    QComboBox *list = window_.TypeVersionOS();
    if (projectPackageIsNew_ && list->findText(projectPackage_) < 0)
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
    VEK_Gestion_OS::InitGestionOS(VEK_Gestion_OS::DossierProgramme(), QStringLiteral("~TEMP.NFO"));
}

bool MainWindowCurveFiles::saveProject(const QString &path, const QByteArray &curve, QString &error)
{
    if (!CurveFiles::WriteAll(VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.VEK")), curve,
                              &error))
        return false;
    const VEK_Gestion_OS::Result saved = VEK_Gestion_OS::EnregistrerCourbeOS(path);
    if (!saved.ok())
        error = saved.message + QLatin1Char('\n') + saved.details.trimmed();
    return saved.ok();
}

void MainWindowCurveFiles::deleteTemporaryFiles()
{
    VEK_Gestion_OS::EffacerTemp();
}
