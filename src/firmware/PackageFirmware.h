#pragma once

#include "firmware/HexFileResult.h"

#include <QString>

class PicDevice;

// The firmware a package is made from, checked as the download will take it:
// the file read whole for the package's chip, at least one word of the
// package's code area, and no word past the chip. The package then holds the
// words the file gave, never blank words in their place.
namespace PackageFirmware {

// A scrambled file when its name ends in "xeh" (case aside); any other name is
// read as Intel HEX.
bool isScrambled(const QString &source);

struct Read {
    QString refusal; // why the file cannot be a package's firmware, naming `shown`
    HexFileResult result;
    bool ok() const { return refusal.isEmpty(); }
};

// Reads `source` into `device`, whose chip is chosen, and checks it. The code
// area is HEX_ADD and HEX_LNG as the editor's boxes read them (a length of 0
// is refused); without both, the chip's whole program memory. Where the area
// may lie in the chip is the download's rule. `shown` names the file.
Read Lire(PicDevice &device, const QString &source, const QString &shown, const QString &HEXADD,
          const QString &HEXLNG);

// Selects `chip` for `device`, reads `source` for it by Lire and, when
// `xehPath` is not empty, writes there the 8-word blocks of the words it gave,
// scrambled (EcrireFichierXehMots). Empty when done, else why not, naming
// `source`; `device` then holds the file only when done.
QString Ecrire(PicDevice &device, const QString &chip, const QString &source,
               const QString &xehPath, const QString &HEXADD, const QString &HEXLNG);

} // namespace PackageFirmware
