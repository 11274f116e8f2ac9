#pragma once

#include "app/AdvancePoint.h"
#include "app/FirmwareProfile.h"
#include "app/VekContext.h"

#include <QDialog>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class AdvanceMapView;
class CurveEditorPanel;
class EngineParametersPanel;
class FirmwarePackageList;
class HelpTextFilter;
class MapBoxesWidget;
class MapTableWidget;
class LivePage;
class TerminalPage;
class TransferWindowLauncher;
class QChartView;
class QComboBox;
class WindowPrompts;
class ElidedLabel;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QLineEdit;
class QGroupBox;
class QWidget;
class MainWindowCurveFiles;
class OperationStatus;
struct CatalogueEntry;

// The main window: lives for the whole run and owns the program's shared state.
// Its controls carry the object names the rest of the program knows them by, so
// the windows and pages built elsewhere find them with findChild / control().
class VEK_Accueil : public QMainWindow
{
    Q_OBJECT
public:
    explicit VEK_Accueil(QWidget *parent = nullptr);
    ~VEK_Accueil() override;

    // The whole start: language, settings, lists, captions, splash, new curve.
    // `splash` false skips the about box shown at start (tests).
    void Form_Load(bool splash = true);

    VekContext &context() { return context_; }
    MainSettings &settings() { return context_.settings; }

    template <typename T> T *control(const QString &name) const { return findChild<T *>(name); }

    QTabWidget *SSTab1() const { return SSTab1_; }
    QWidget *page(int index) const;
    QTableWidget *tab_avance() const { return tab_avance_; }
    QChartView *trace_courbe() const { return trace_courbe_; }
    CurveEditorPanel *curveEditor() const { return curveEditor_; }
    EngineParametersPanel *engineParameters() const { return engineParameters_; }
    QWidget *liveContainer() const { return liveContainer_; }
    QWidget *terminalContainer() const { return terminalContainer_; }
    LivePage *livePage() const { return livePage_; }
    TerminalPage *terminalPage() const { return terminalPage_; }
    // Closes the serial port that the live and terminal pages share (page
    // changes, transfers); a running rpm simulation is stopped first.
    void closeSerialPort();
    QWidget *PicMap() const { return PicMap_; }
    QLabel *L_Info() const { return L_Info_; }
    QStatusBar *StatusBarCom() const { return StatusBarCom_; }
    QString statusPanel(int number) const; // panels numbered from 1
    QComboBox *TypeCarteOption() const { return TypeCarteOption_; }
    QComboBox *TypeVersionOS() const { return TypeVersionOS_; }
    // The role of TypeCarteOption's entries that holds the catalogue's name.
    static constexpr int OptionBoardNameRole = Qt::UserRole + 1;

    // Every caption, tool tip and page title from the current language file.
    void InitLangue();

    // How the transfer windows are shown (modally by default) and whom they ask
    // (the program's own prompts by default); tests answer in their place.
    void setTransferWindowShow(std::function<void(QDialog &)> show);
    void setTransferPrompts(WindowPrompts *prompts);

public slots:
    void bp_new_Click();
    void about_Click();
    void Config_Click();
    void BP_Compilation_Click();
    void BP_Parametres_carte_option_Click();
    void BP_Bootloader_Click();
    void TypeCarteOption_Click();
    void Command5_Click();
    void ComboTest_Click();
    void bp_imprimer_Click();
    void BP_import_Click();
    void SSTab1_Click(int page);
    void Ouvrir_Click();
    void enregistrer_Click();
    void Quit_Click();
    // The user's choice in the firmware list.
    void TypeVersionOS_Click();

protected:
    // Quit and the window's close box both ask before discarding a modified curve.
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void resizeToFitScreen(const QSize &usual);
    // The room on the window's screen, its frame taken off.
    QSize roomOnScreen() const;
    // The window's least size: its contents', within the screen once shown.
    void fitLeastSize();
    void buildWindow();
    QWidget *buildButtonBar();
    QWidget *buildParametersPage();
    QWidget *buildCurvePage();
    QWidget *buildMapPage();
    QWidget *buildNoticePage(const char *label1, const char *label2, const char *container,
                             QWidget **containerOut);
    void buildStatusBar();
    void fitFramePanel();
    void buildLinkPages();
    void registerHelpTexts();

    // Start-up steps.
    void ApplyVersionStrings();
    void LoadStoredSettings();
    void EffacerTemp();
    void SelectFirmwareEntry(int index);
    void BringPresetsIntoRange();
    void LayoutCurveGrid();
    void LayoutMapTables();
    void FillParameterLists();
    void LoadOptionBoards();
    void LayoutChart();
    void fillOptionBoards(const QList<CatalogueEntry> &boards);
    void nameNoBoardEntry();
    void ShowSplash();
    void WriteStatusBar();

    void GrilleVersGraphe();
    void AfterConfig();
    // The points of the curve grid (rpm, Atmo, Turbo), for the map and the MAP table.
    AdvanceCurve CurveFromGrid() const;
    void DrawMap();

    friend class MainWindowCurveFiles;
    std::unique_ptr<MainWindowCurveFiles> curveFiles_;
    std::unique_ptr<FirmwarePackageList> firmwareList_;

    VekContext context_;
    std::unique_ptr<TransferWindowLauncher> transferWindows_;
    HelpTextFilter *helpTexts_ = nullptr;
    QTabWidget *SSTab1_ = nullptr;
    QTableWidget *tab_avance_ = nullptr;
    QTableWidget *tabl_avance_ = nullptr;
    QTableWidget *talbMapAdj_ = nullptr;
    QChartView *trace_courbe_ = nullptr;
    CurveEditorPanel *curveEditor_ = nullptr;
    EngineParametersPanel *engineParameters_ = nullptr;
    QWidget *liveContainer_ = nullptr;
    QWidget *terminalContainer_ = nullptr;
    LivePage *livePage_ = nullptr;
    TerminalPage *terminalPage_ = nullptr;
    QWidget *PicMap_ = nullptr;
    AdvanceMapView *mapView_ = nullptr;
    MapTableWidget *mapTable_ = nullptr;
    MapBoxesWidget *mapBoxes_ = nullptr;
    QLabel *L_Info_ = nullptr;
    std::unique_ptr<OperationStatus> status_; // owns what L_Info says of the operations
    QProgressBar *ProgressBar_ = nullptr;
    QStatusBar *StatusBarCom_ = nullptr;
    ElidedLabel *panels_[4] = {};
    QComboBox *TypeCarteOption_ = nullptr;
    QComboBox *TypeVersionOS_ = nullptr;
    QComboBox *ComboTest_ = nullptr;
    bool shown_ = false;
    QString refusedSettings_; // what the start said of the stored settings, until said
};
