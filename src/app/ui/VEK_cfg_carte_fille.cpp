#include "app/ui/VEK_cfg_carte_fille.h"

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace OptionBoardRules;
using VEK_LANGUAGE::GetLanguageText;

namespace {
// A connector drawn as a row of numbered pins with their legends.
class PinLegend : public QWidget
{
public:
    PinLegend(const QStringList &legends, QWidget *parent) : QWidget(parent), m_legends(legends)
    {
        setMinimumSize(150, static_cast<int>(legends.size()) * RowHeight + 2 * Margin);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body(Margin, Margin, 26, m_legends.size() * RowHeight);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
        p.setBrush(QColor(0x50, 0x50, 0x58));
        p.drawRoundedRect(body, 4, 4);
        for (int i = 0; i < m_legends.size(); ++i) {
            const double y = Margin + (i + 0.5) * RowHeight;
            p.setBrush(QColor(0xd8, 0xb0, 0x40));
            p.drawEllipse(QPointF(body.center().x(), y), 5, 5);
            p.drawLine(QPointF(body.right(), y), QPointF(body.right() + 12, y));
            p.drawText(QRectF(body.right() + 16, y - RowHeight / 2.0, width(), RowHeight),
                       Qt::AlignVCenter | Qt::AlignLeft, m_legends.at(i));
        }
    }

private:
    static constexpr int RowHeight = 20;
    static constexpr int Margin = 6;
    QStringList m_legends;
};

QStringList boardPins()
{
    QStringList pins;
    for (int i = 1; i <= 10; ++i)
        pins << QStringLiteral("B%1").arg(i);
    return pins << GetLanguageText("CarteMasse");
}
} // namespace

VEK_cfg_carte_fille::VEK_cfg_carte_fille(VekContext &context, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("VEK_cfg_carte_fille"));
    auto *table = new QGridLayout;
    table->addWidget(new QLabel(GetLanguageText("CarteColonneType"), this), 0, 1);
    table->addWidget(new QLabel(GetLanguageText("CarteColonneSeuil"), this), 0, 3);
    for (int n = 0; n < ChannelCount; ++n) {
        table->addWidget(new QLabel(QString::number(n + 1), this), n + 1, 0);
        m_type[n] = new QLabel(this);
        m_type[n]->setObjectName(QStringLiteral("TypeTOR_%1").arg(n));
        m_type[n]->setMinimumWidth(40);
        m_action[n] = new QComboBox(this);
        m_action[n]->setObjectName(QStringLiteral("ActionTOR_%1").arg(n));
        m_action[n]->setMinimumWidth(170);
        m_seuil[n] = new QLineEdit(this);
        m_seuil[n]->setObjectName(QStringLiteral("SeuilTOR_%1").arg(n));
        m_seuil[n]->setMaximumWidth(80);
        m_seuil[n]->installEventFilter(this);
        table->addWidget(m_type[n], n + 1, 1);
        table->addWidget(m_action[n], n + 1, 2);
        table->addWidget(m_seuil[n], n + 1, 3);
    }
    auto *ok = new QPushButton(GetLanguageText("CarteValide"), this);
    ok->setObjectName(QStringLiteral("BP_OK"));
    ok->setDefault(true);
    // The box being typed in keeps the focus, so that OK reads it with the
    // others and names every refused threshold in one message.
    ok->setFocusPolicy(Qt::NoFocus);
    connect(ok, &QPushButton::clicked, this, &VEK_cfg_carte_fille::valider);

    auto *left = new QVBoxLayout;
    left->addLayout(table);
    left->addStretch(1);
    left->addWidget(ok, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(new PinLegend(boardPins(), this));
    // Signal names, the same in every language.
    layout->addWidget(new PinLegend({QStringLiteral("RS232 - GND"), QStringLiteral("RS232 - TX"),
                                     QStringLiteral("RS232 - RX")},
                                    this),
                      0, Qt::AlignTop);
    Form_Load();
}

void VEK_cfg_carte_fille::Form_Load()
{
    const OptionBoardState &board = m_context.optionBoard;
    setWindowTitle(GetLanguageText("CarteTitre", {"%1", board.CarteOptionNom}));
    for (int n = 0; n < ChannelCount; ++n) {
        const ChannelKind k = kind(board.DeviceCfg, n);
        m_type[n]->setText(kindLabel(k));
        m_kind[n] = k;
        for (const Action action : OptionBoardRules::actions(k))
            m_action[n]->addItem(actionLabel(action));
        connect(m_action[n], &QComboBox::currentIndexChanged, this,
                [this, n] { actionChoisie(n); });
        // A code the list lacks (from a file) shows "DISABLE".
        m_action[n]->setCurrentIndex(shownAction(k, board.VoiesTOR[n].Action));
        actionChoisie(n);
        m_taken[n] = QString::number(board.VoiesTOR[n].Seuil);
        m_seuil[n]->setText(m_taken[n]);
    }
}

Action VEK_cfg_carte_fille::actionOf(int channel) const
{
    return actionAt(m_kind[channel], m_action[channel]->currentIndex());
}

void VEK_cfg_carte_fille::actionChoisie(int channel)
{
    m_seuil[channel]->setEnabled(hasThreshold(actionOf(channel)));
}

QString VEK_cfg_carte_fille::seuilRefuse(int channel)
{
    const TypedNumber typed = readThreshold(channel, actionOf(channel), m_seuil[channel]->text());
    if (!typed.number) {
        m_seuil[channel]->setText(m_taken[channel]);
        return typed.refusal;
    }
    m_taken[channel] = *typed.number;
    if (*typed.number != m_seuil[channel]->text())
        m_seuil[channel]->setText(*typed.number);
    return {};
}

bool VEK_cfg_carte_fille::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        for (int n = 0; n < ChannelCount; ++n)
            if (watched == m_seuil[n])
                if (const QString refusal = seuilRefuse(n); !refusal.isEmpty())
                    emit refused(refusal);
    return QDialog::eventFilter(watched, event);
}

void VEK_cfg_carte_fille::valider()
{
    // Every threshold is read, also one whose box never had the focus; the
    // refused ones are named together and keep the dialog open.
    QStringList refusals;
    for (int n = 0; n < ChannelCount; ++n)
        if (const QString refusal = seuilRefuse(n); !refusal.isEmpty())
            refusals << refusal;
    if (!refusals.isEmpty()) {
        emit refused(refusals.join(QLatin1Char('\n')));
        return;
    }
    for (int n = 0; n < ChannelCount; ++n) {
        VoieTOR &voie = m_context.optionBoard.VoiesTOR[n];
        voie.Action = static_cast<uint8_t>(std::max(0, m_action[n]->currentIndex()));
        voie.Seuil = seuil(m_seuil[n]->text());
    }
    accept();
}
