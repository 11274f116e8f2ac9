#include "base/ui/PortField.h"

#include <QComboBox>
#include <QFontMetrics>

#include <cmath>

void MakePortField(QComboBox *field)
{
    field->setEditable(true);
    field->setInsertPolicy(QComboBox::NoInsert);
    // The field's room is counted in x: as many as a usual by-id path is wide.
    const QFontMetrics metrics(field->font());
    const QString usual =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    field->setMinimumContentsLength(int(std::ceil(double(metrics.horizontalAdvance(usual)) /
                                                  metrics.horizontalAdvance(QLatin1Char('x')))));
    field->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QObject::connect(field, &QComboBox::editTextChanged, field, &QWidget::setToolTip);
}
