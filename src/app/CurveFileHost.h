#pragma once

#include "app/CurveDocument.h"
#include "app/CurveFiles.h"

#include <QByteArray>
#include <QString>

// What the curve-file commands need of the main window: its questions and
// messages, its curve state, and the firmware package behind a project.
class CurveFileHost
{
public:
    virtual ~CurveFileHost() = default;

    // File dialogs; an empty name means Cancel. `kind` gives the filter chosen.
    virtual QString askOpenFileName(const QString &title, const QString &filter,
                                    const QString &initialName) = 0;
    virtual QString askSaveFileName(const QString &title, const QString &filter,
                                    const QString &initialName, CurveFiles::Kind &kind) = 0;
    // Yes/No question with the exclamation icon; true for Yes.
    virtual bool askYesNo(const QString &title, const QString &text) = 0;
    virtual void showError(const QString &title, const QString &text) = 0;   // critical icon
    virtual void showMessage(const QString &title, const QString &text) = 0; // no icon

    virtual bool curveModified() const = 0;
    virtual void setCurveModified(bool modified) = 0;
    virtual void setInfoText(const QString &text) = 0; // the help and status label
    // What the command is doing, said only until it ends.
    virtual void setProgressText(const QString &text) { setInfoText(text); }
    virtual void setCaption(const QString &caption) = 0;

    // The curve as the window's controls hold it.
    virtual CurveDocument currentCurve() const = 0;
    // A new curve without question (the firmware choice goes back to the free setting).
    virtual void startNewCurve() = 0;
    // Puts a curve read from a file into the controls, redraws the chart and
    // shows the curve page.
    virtual void showCurve(const CurveDocument &curve) = 0;

    // Unpacks a project into the temporary package files; the curve it holds
    // goes into `curve`. False with the message to show in `error`: why the
    // project could not be read, or why a project read is refused.
    virtual bool openProject(const QString &path, QByteArray &curve, QString &error) = 0;
    // Selects and applies the package of the project just unpacked.
    virtual void applyProjectFirmware() = 0;
    // Puts back the package files of the current choice after a project was refused.
    virtual void restoreFirmware() = 0;
    // Writes a project of the curve and the package in use. False with the
    // reason in `error`, naming the program's work file when that failed.
    virtual bool saveProject(const QString &path, const CurveDocument &curve, QString &error) = 0;
    virtual void deleteTemporaryFiles() = 0;
};
