#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

struct VekContext;
class CurveModel;

// What the user typed in the point-entry boxes.
struct PointEntry {
    QString regime;
    QString atmo;
    QString turbo;
    QString knock;
};

// A message box the window shows: title and text.
struct CurveMessage {
    QString title;
    QString text;
};

enum class PointOutcome { Refused, Duplicate, Added, Replaced };

struct PointResult {
    PointOutcome outcome = PointOutcome::Refused;
    QList<CurveMessage> warnings; // shown in order
    bool stored() const
    {
        return outcome == PointOutcome::Added || outcome == PointOutcome::Replaced;
    }
};

// The editing commands of the curve page, without widgets: point entry, point
// edit mode, erase, smoothing, sort and the one-degree shift. Every command that
// changes the curve marks it modified; status texts go out through info().
class CurveEditor : public QObject
{
    Q_OBJECT
public:
    explicit CurveEditor(VekContext &context, QObject *parent = nullptr);

    bool ModeEditionPoint() const { return m_modeEdition; }
    QString RegimeEdite() const { return m_regimeEdite; }

    // Add or replace a point (`bp_valide`); `selectedRow` is the grid's row.
    PointResult validerPoint(const PointEntry &entry, int selectedRow);
    // Takes a row into edit mode (`MnuEditer`); gives the texts for the boxes.
    std::optional<PointEntry> editerPoint(int row);
    // Confirmation text for erasing a row (`MnuEffacer`).
    QString questionEffacer(int row) const;
    void effacerPoint(int row, bool confirmed);
    // Smoothing (`MnuLisser`); gives the report box.
    CurveMessage lisser();
    // Sort of the whole curve (`MnuTrier`).
    void trier();
    // Whole-curve shift by one degree (`BP_DEC` -1, `BP_INC` +1).
    void decaler(int direction);

    static QString warningTitle();

signals:
    void info(const QString &text);
    void editModeChanged(bool on);

private:
    // Checks the boxes in order and writes the numbers back as the curve keeps them.
    std::optional<CurveMessage> verifier(PointEntry &entry, QList<CurveMessage> &warnings) const;
    void setModeEdition(bool on, const QString &regime = {});
    void curveChanged();
    void modifie();
    CurveModel &model() const;

    VekContext &m_context;
    bool m_modeEdition = false;
    QString m_regimeEdite;
};
