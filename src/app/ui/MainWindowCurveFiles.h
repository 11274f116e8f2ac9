#pragma once

#include "app/CurveFileCommands.h"
#include "app/CurveFileHost.h"
#include "app/PackageFilesBackup.h"

#include <memory>

class VEK_Accueil;

// The main window's side of the curve files: dialogs and messages, the curve
// taken from and put into the window's controls, projects through the package
// functions.
class MainWindowCurveFiles : public CurveFileHost
{
public:
    explicit MainWindowCurveFiles(VEK_Accueil &window);
    ~MainWindowCurveFiles() override;

    CurveFileCommands &commands() { return commands_; }

    QString askOpenFileName(const QString &title, const QString &filter,
                            const QString &initialName) override;
    QString askSaveFileName(const QString &title, const QString &filter, const QString &initialName,
                            CurveFiles::Kind &kind) override;
    bool askYesNo(const QString &title, const QString &text) override;
    void showError(const QString &title, const QString &text) override;
    void showMessage(const QString &title, const QString &text) override;

    bool curveModified() const override;
    void setCurveModified(bool modified) override;
    void setInfoText(const QString &text) override;
    void setProgressText(const QString &text) override;
    void setCaption(const QString &caption) override;

    CurveDocument currentCurve() const override;
    void startNewCurve() override;
    void showCurve(const CurveDocument &curve) override;

    bool openProject(const QString &path, QByteArray &curve, QString &error) override;
    void applyProjectFirmware() override;
    void restoreFirmware() override;
    bool saveProject(const QString &path, const CurveDocument &curve, QString &error) override;
    void deleteTemporaryFiles() override;

private:
    void showOptionBoard(const CurveDocument &curve);

    VEK_Accueil &window_;
    CurveFileCommands commands_;
    std::unique_ptr<PackageFilesBackup> backup_;
    QString projectPackage_;
};
