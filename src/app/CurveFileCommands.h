#pragma once

#include "app/CurveFileHost.h"

// The main window's Open, Save and Quit: which file, which layout, what is
// asked and reported. A file is read and checked whole before anything of the
// window changes, and a curve is marked saved only once its file is written.
class CurveFileCommands
{
public:
    explicit CurveFileCommands(CurveFileHost &host) : m_host(host) {}

    void Ouvrir();
    void enregistrer();
    // Asks before discarding a modified curve; true when the program may end
    // (the temporary files are then deleted).
    bool ConfirmQuit();

    // Opens a given file as Open does after its dialog (also the way in for tests).
    void OpenFile(const QString &path);
    // Saves to a given file as Save does after its dialog; `wanted` is the kind
    // for a name without a known extension. True when written.
    bool SaveFile(const QString &path, CurveFiles::Kind wanted);

    // Folder the file dialogs start in.
    static QString CurveFolder();

private:
    bool discardModifiedCurve();
    bool readCurve(const QString &path, CurveFiles::Kind kind, QByteArray &bytes);
    CurveReadResult parse(const QString &path, const QByteArray &bytes, CurveFiles::Kind kind,
                          const CurveDocument &base) const;
    void reportComments(const QString &path, const CurveReadResult &result);
    QString failureText(const QString &path, const CurveReadResult &result) const;

    CurveFileHost &m_host;
    CurveDocument::MrtColumn m_mrtColumn = CurveDocument::MrtColumn::Atmo;
};
