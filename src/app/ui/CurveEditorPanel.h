#pragma once

#include "app/CurveEditor.h"

#include <QWidget>

#include <functional>

struct VekContext;
class CurveChart;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

// The curve page: the grid `tab_avance`, the point-entry boxes, the shift
// buttons, the chart `trace_courbe` and the read-out of a chart point. It shows
// the shared curve of the context and turns the user's actions into commands
// of a CurveEditor.
class CurveEditorPanel : public QWidget
{
    Q_OBJECT
public:
    enum class MessageKind { Warning, Question, Report };
    // Shows a message box; for a question, true means OK.
    using MessagePresenter = std::function<bool(MessageKind, const CurveMessage &)>;

    explicit CurveEditorPanel(VekContext &context, QWidget *parent = nullptr);

    CurveEditor &editor() { return m_editor; }
    QTableWidget *grid() const { return m_grid; }
    CurveChart *chart() const { return m_chart; }
    QMenu *gridMenu() const { return m_menu; }
    void setMessagePresenter(MessagePresenter presenter) { m_present = std::move(presenter); }

    // Texts of the grid's menu and the chart's axes (also after a language
    // change); the labels' captions and help texts are put by the window that
    // holds the panel, by control name.
    void applyCaptions();
    // Puts a button of the holding window beside the OK button.
    void addEntryButton(QWidget *button);
    // Rebuilds the chart, e.g. after the chart type changed.
    void GrilleVersGraphe();

    // Commands, as the buttons and the grid's menu run them.
    void validerPoint();
    void editerPoint();
    void effacerPoint();
    void lisser();
    void trier();
    void decaler(int direction);
    void showChartPoint(int row);
    // Empties the chart point display.
    void clearChartPoint();

signals:
    // Status and help texts for the main window's `L_Info`.
    void info(const QString &text);

private:
    void buildGrid();
    QWidget *buildEntry();
    QWidget *buildPointDisplay();
    void refresh();
    void clearEntry();
    int selectedRow() const;
    void showKnockItems();
    bool present(MessageKind kind, const CurveMessage &message);

    VekContext &m_context;
    CurveEditor m_editor;
    MessagePresenter m_present;
    QTableWidget *m_grid = nullptr;
    CurveChart *m_chart = nullptr;
    QMenu *m_menu = nullptr;
    QLineEdit *m_regime = nullptr;
    QLineEdit *m_atmo = nullptr;
    QLineEdit *m_turbo = nullptr;
    QLineEdit *m_knock = nullptr;
    QPushButton *m_valide = nullptr;
    QPushButton *m_dec = nullptr;
    QPushButton *m_inc = nullptr;
    QLabel *m_lblRegime = nullptr;
    QLabel *m_lblAtmo = nullptr;
    QLabel *m_lblTurbo = nullptr;
    QLabel *m_lblKnock = nullptr;
    QVBoxLayout *m_entryButtons = nullptr;
    QList<QWidget *> m_knockItems; // shown only with a knock column
};
