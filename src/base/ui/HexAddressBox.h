#pragma once

class QLineEdit;

// A box for a hexadecimal address keeps room for its six digits when a long
// language's captions crowd the row, and grows no wider than `maxWidth`.
QLineEdit *HexAddressBox(QLineEdit *edit, int maxWidth = 90);
