#pragma once

#include "app/OptionBoardRules.h"

#include <QDialog>

struct VekContext;
class QComboBox;
class QLabel;
class QLineEdit;

// The option-board dialog: one row per channel with its kind, its action and
// its threshold, filled from the board's description and the channel table.
// Only OK ("Valide") writes the channel table back.
class VEK_cfg_carte_fille : public QDialog
{
    Q_OBJECT
public:
    explicit VEK_cfg_carte_fille(VekContext &context, QWidget *parent = nullptr);

    QLabel *TypeTOR(int channel) const { return m_type[channel]; }
    QComboBox *ActionTOR(int channel) const { return m_action[channel]; }
    QLineEdit *SeuilTOR(int channel) const { return m_seuil[channel]; }

    // `BP_OK`: stores the six channels and closes; thresholds their rule
    // refuses are named in one message, and the dialog stays open.
    void valider();

signals:
    // A typed threshold was refused; its box shows its previous value again.
    void refused(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void actionChoisie(int channel);
    OptionBoardRules::Action actionOf(int channel) const;
    // Reads the threshold box of `channel`: taken, or back to the last value it
    // took; the refusal, empty when taken.
    QString seuilRefuse(int channel);

    VekContext &m_context;
    QLabel *m_type[OptionBoardRules::ChannelCount] = {};
    OptionBoardRules::ChannelKind m_kind[OptionBoardRules::ChannelCount] = {};
    QComboBox *m_action[OptionBoardRules::ChannelCount] = {};
    QLineEdit *m_seuil[OptionBoardRules::ChannelCount] = {};
    QString m_taken[OptionBoardRules::ChannelCount]; // the last threshold each box took
};
