#pragma once

class QComboBox;

// A set-up dialog's port field: an editable list of the ports found, which
// keeps a typed port as typed, is wide enough for a usual by-id path
// ("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0") and
// gives its whole text as its tooltip as it changes.
void MakePortField(QComboBox *field);
