#include "app/ui/VEK_about.h"

#include "app/ui/ClickableLabel.h"
#include "base/MainSettings.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "platform/PortAccessService.h"
#include "platform/VEK_Info_System.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

const char *const VEK_about::kMailAddress1 = "contact@vek-courbe.example.org";
const char *const VEK_about::kMailAddress2 = "support@vek-courbe.example.org";
const char *const VEK_about::kWebAddress = "https://www.vek-courbe.example.org";

namespace {

constexpr int kBaseWidth = 512; // window without the side panel
constexpr int kBaseHeight = 216;

// The program's mark: an advance curve rising over engine speed.
QPixmap logoPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(20, 60, 120));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 8.0, size / 8.0);
    QPainterPath curve;
    curve.moveTo(size * 0.12, size * 0.82);
    curve.cubicTo(size * 0.35, size * 0.80, size * 0.45, size * 0.25, size * 0.88, size * 0.22);
    painter.setPen(QPen(QColor(255, 170, 0), size / 16.0, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    painter.setPen(QPen(Qt::white, size / 40.0));
    painter.drawLine(QPointF(size * 0.12, size * 0.88), QPointF(size * 0.9, size * 0.88));
    painter.drawLine(QPointF(size * 0.12, size * 0.88), QPointF(size * 0.12, size * 0.12));
    return pixmap;
}

ClickableLabel *linkLabel(const QString &text, const char *name, QWidget *parent)
{
    auto *label = new ClickableLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

VEK_about::VEK_about(const MainSettings &settings, QWidget *parent)
    : QDialog(parent), settings_(settings), ownService_(std::make_unique<PortAccessService>()),
      service_(ownService_.get())
{
    setObjectName(QStringLiteral("VEK_about"));
    auto *layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(buildMain());
    sidePanel_ = buildSidePanel();
    layout->addWidget(sidePanel_);
    sidePanel_->hide();
    fillTexts();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &VEK_about::Timer1_Timer);
}

void VEK_about::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!Timer1->isActive())
        Timer1->start();
}

VEK_about::~VEK_about() = default;

void VEK_about::setPortAccessService(const PortAccessService *service)
{
    service_ = service ? service : ownService_.get();
}

QWidget *VEK_about::buildMain()
{
    auto *main = new QWidget(this);
    main->setObjectName(QStringLiteral("MainPanel"));
    auto *row = new QHBoxLayout(main);
    row->setContentsMargins(0, 0, 0, 0);

    auto *pictures = new QVBoxLayout;
    Picture1 = new ClickableLabel(main);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(logoPixmap(96));
    Picture2 = new ClickableLabel(main);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setPixmap(logoPixmap(32));
    pictures->addWidget(Picture1);
    pictures->addStretch();
    pictures->addWidget(Picture2, 0, Qt::AlignLeft);
    row->addLayout(pictures);
    connect(Picture1, &ClickableLabel::doubleClicked, this, &VEK_about::Picture1_DblClick);
    connect(Picture2, &ClickableLabel::clicked, this, &VEK_about::Picture2_Click);
    connect(Picture2, &ClickableLabel::doubleClicked, this, &VEK_about::Picture2_DblClick);

    auto *texts = new QVBoxLayout;
    const auto label = [&](const char *name) {
        auto *l = new QLabel(main);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        texts->addWidget(l);
        return l;
    };
    LabelAbout1 = label("LabelAbout1");
    QFont title = LabelAbout1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    LabelAbout1->setFont(title);
    LabelRevision = label("LabelRevision");
    LabelCPU = label("LabelCPU");
    LabelMEM = label("LabelMEM");
    LabelWIN = label("LabelWIN");
    LabelAbout2 = label("LabelAbout2");
    LabelAbout3 = label("LabelAbout3");

    auto *contacts = new QHBoxLayout;
    auto *mail1 = linkLabel(QString::fromLatin1(kMailAddress1), "Label10", main);
    auto *mail2 = linkLabel(QString::fromLatin1(kMailAddress2), "Label2", main);
    auto *web = linkLabel(QString::fromLatin1(kWebAddress), "Label9", main);
    auto *mails = new QVBoxLayout;
    mails->addWidget(mail1);
    mails->addWidget(mail2);
    mails->addWidget(web);
    contacts->addLayout(mails);
    contacts->addStretch();
    OK = new QPushButton(QStringLiteral("OK"), main);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    contacts->addWidget(OK, 0, Qt::AlignBottom);
    texts->addLayout(contacts);
    row->addLayout(texts, 1);

    const QString mailto = QStringLiteral("mailto:");
    connect(mail1, &ClickableLabel::clicked, this,
            [this, mailto] { openLink(mailto + QString::fromLatin1(kMailAddress1)); });
    connect(mail2, &ClickableLabel::clicked, this,
            [this, mailto] { openLink(mailto + QString::fromLatin1(kMailAddress2)); });
    connect(web, &ClickableLabel::clicked, this,
            [this] { openLink(QString::fromLatin1(kWebAddress)); });
    connect(OK, &QPushButton::clicked, this, &VEK_about::OK_Click);

    main->setMinimumSize(kBaseWidth, kBaseHeight);
    return main;
}

QWidget *VEK_about::buildSidePanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("SidePanel"));
    panel->setFixedWidth(kPanelWidth - 6); // the layout spacing makes up the rest
    auto *column = new QVBoxLayout(panel);
    // On Linux the kernel is the port's driver: STATUS finds out whether the
    // port is usable, the others say what to do instead (nothing is pretended).
    const struct {
        const char *name;
        const char *caption;
        const char *advice; // none for STATUS
    } buttons[] = {{"BP_LoadDRV", LangKey("PortSvcBPLoad"), LangKey("PortSvcInstall")},
                   {"BP_RemoveDRV", LangKey("PortSvcBPRemove"), LangKey("PortSvcRemove")},
                   {"BP_StartDRV", LangKey("PortSvcBPStart"), LangKey("PortSvcStart")},
                   {"BP_StopDRV", LangKey("PortSvcBPStop"), LangKey("PortSvcStop")},
                   {"BP_PauseDRV", LangKey("PortSvcBPPause"), LangKey("PortSvcPause")},
                   {"BP_StatusDRV", LangKey("PortSvcBPStatus"), nullptr}};
    for (const auto &b : buttons) {
        auto *button = new QPushButton(GetLanguageText(QString::fromLatin1(b.caption)), panel);
        button->setObjectName(QString::fromLatin1(b.name));
        const QString operation = button->text();
        const char *advice = b.advice;
        connect(button, &QPushButton::clicked, this,
                [this, operation, advice] { portServiceButton(operation, advice); });
        column->addWidget(button);
    }
    column->addStretch();
    return panel;
}

void VEK_about::fillTexts()
{
    const MainSettings &s = settings_;
    VEK_LANGUAGE::InitLanguage();
    LabelRevision->setText(GetLanguageText(
        "AboutVersion", {"%1", s.VEKVersion, "%2", s.VEKRevision, "%3", s.VEKDateRev}));
    const VEK_Info_System::MemoryStatus memory = VEK_Info_System::ReadMemoryStatus();
    const QString cpu = VEK_Info_System::GetCpuName();
    LabelCPU->setText(
        GetLanguageText("AboutCPU", {"%1", cpu.isEmpty() ? GetLanguageText("AboutInconnu") : cpu}));
    LabelMEM->setText(GetLanguageText(
        "AboutRAM", {"%1", QString::number(VEK_Info_System::RamMegabytes(memory.totalPhys))}));
    LabelWIN->setText(GetLanguageText("AboutSysteme", {"%1", VEK_Info_System::GetSystemName()}));

    setWindowTitle(GetLanguageText("MLAbout") + s.VEKVersion);
    LabelAbout1->setText(GetLanguageText("MLAbout1"));
    LabelAbout2->setText(GetLanguageText("MLAbout2"));
    LabelAbout3->setText(GetLanguageText("MLAbout3"));
    OK->setVisible(!s.presentation);
}

void VEK_about::OK_Click()
{
    Timer1->stop();
    accept();
}

void VEK_about::Picture1_DblClick()
{
    armed_ = true;
}

void VEK_about::Picture2_Click()
{
    if (panelOpen_)
        setPanelShown(false);
}

void VEK_about::Picture2_DblClick()
{
    Picture2_Click();
    if (!panelOpen_ && armed_) {
        armed_ = false;
        setPanelShown(true);
    }
}

void VEK_about::setPanelShown(bool shown)
{
    panelOpen_ = shown;
    sidePanel_->setVisible(shown);
    layout()->activate(); // resize now, not on the next layout pass
    if (shown)
        keepOnScreen();
}

// The side panel widens the box to the right: near the screen's right edge the
// box moves left so that the panel's buttons stay in reach.
void VEK_about::keepOnScreen()
{
    const QScreen *display = screen();
    if (!display)
        return;
    const QRect room = display->availableGeometry();
    const QRect frame = frameGeometry();
    const int dx = std::max(room.left() - frame.left(), std::min(0, room.right() - frame.right()));
    if (dx != 0)
        move(pos() + QPoint(dx, 0));
}

void VEK_about::Timer1_Timer()
{
    if (settings_.presentation)
        OK_Click();
}

void VEK_about::openLink(const QString &url)
{
    if (!QDesktopServices::openUrl(QUrl(url)))
        WindowPrompts::system().message(
            this, QMessageBox::Warning, GetLanguageText("MessWARNING"),
            GetLanguageText("AboutLinkFailed", {QStringLiteral("%1"), url}), QMessageBox::Ok);
}

QString VEK_about::StatusText(const PortAccessStatus &status)
{
    QStringList lines;
    switch (status.state) {
    case PortAccessStatus::State::Running:
        lines << GetLanguageText("PortSvcEtatMarche")
              << GetLanguageText("PortSvcRunning", {QStringLiteral("%1"), status.device});
        break;
    case PortAccessStatus::State::Stopped:
        lines << GetLanguageText("PortSvcEtatArret");
        break;
    case PortAccessStatus::State::Missing:
        break;
    }
    if (!status.missingModules.isEmpty())
        lines << GetLanguageText("PortSvcModules",
                                 {QStringLiteral("%1"), status.missingModules.join(", ")});
    if (status.deviceMissing)
        lines << GetLanguageText("PortSvcNoDevice", {QStringLiteral("%1"), status.device});
    if (status.permissionDenied) {
        const QString group =
            status.deviceGroup.isEmpty() ? QStringLiteral("lp") : status.deviceGroup;
        lines << GetLanguageText("PortSvcPermission", {QStringLiteral("%1"), status.systemError,
                                                       QStringLiteral("%2"), group});
    } else if (!status.systemError.isEmpty()) {
        lines << GetLanguageText("PortSvcUnusable", {QStringLiteral("%1"), status.systemError});
    }
    lines.removeAll(QString());
    return lines.join('\n');
}

QString VEK_about::serviceNow() const
{
    return StatusText(service_->status());
}

void VEK_about::portServiceButton(const QString &operation, const char *adviceKey)
{
    // Every answer ends with the port's present state and the system's reason.
    const QString now = serviceNow();
    const QString text = adviceKey ? GetLanguageText(QString::fromLatin1(adviceKey)) +
                                         QStringLiteral("\n\n") + GetLanguageText("PortSvcNow") +
                                         QLatin1Char('\n') + now
                                   : now;
    WindowPrompts::system().notify(this, QMessageBox::Information, operation, text,
                                   QStringLiteral("PortServiceNotice"));
}
