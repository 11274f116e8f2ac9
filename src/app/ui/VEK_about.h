#pragma once

#include <QDialog>

#include <memory>

struct MainSettings;
class ClickableLabel;
class PortAccessService;
struct PortAccessStatus;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// The about box: program version, system information and contacts. Shown as the
// start-up splash (settings.presentation set: no OK button, closes itself on the
// first tick of its timer) and by the about button. A gesture on its two
// pictures opens a side panel with the parallel-port service buttons.
class VEK_about : public QDialog
{
    Q_OBJECT
public:
    explicit VEK_about(const MainSettings &settings, QWidget *parent = nullptr);
    ~VEK_about() override;

    // The parallel-port access service behind the side panel; tests give one
    // over a fake system tree.
    void setPortAccessService(const PortAccessService *service);

    // What the STATUS button shows: the state name, then what is missing.
    static QString StatusText(const PortAccessStatus &status);

    static constexpr int kTimerInterval = 300; // ms
    static constexpr int kPanelWidth = 308;    // width added by the side panel

    bool armed() const { return armed_; }
    bool panelOpen() const { return panelOpen_; }

    // Contacts, opened with the desktop's mail program and browser.
    static const char *const kMailAddress1;
    static const char *const kMailAddress2;
    static const char *const kWebAddress;

public slots:
    void OK_Click();
    void Picture1_DblClick();
    void Picture2_Click();
    void Picture2_DblClick();
    void Timer1_Timer();

protected:
    // The presentation's time runs from when it is seen, not from when it was made.
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildMain();
    QWidget *buildSidePanel();
    void fillTexts();
    void openLink(const QString &url);
    void portServiceButton(const QString &operation, const char *adviceKey);
    QString serviceNow() const;
    void setPanelShown(bool shown);
    void keepOnScreen();

    const MainSettings &settings_;
    bool armed_ = false;
    bool panelOpen_ = false;
    QWidget *sidePanel_ = nullptr;
    std::unique_ptr<PortAccessService> ownService_;
    const PortAccessService *service_ = nullptr;
    QTimer *Timer1 = nullptr;
    QPushButton *OK = nullptr;
    ClickableLabel *Picture1 = nullptr;
    ClickableLabel *Picture2 = nullptr;
    QLabel *LabelRevision = nullptr;
    QLabel *LabelCPU = nullptr;
    QLabel *LabelMEM = nullptr;
    QLabel *LabelWIN = nullptr;
    QLabel *LabelAbout1 = nullptr;
    QLabel *LabelAbout2 = nullptr;
    QLabel *LabelAbout3 = nullptr;
};
