#pragma once

#include "firmware/HexFileResult.h"

#include <QBitArray>
#include <QString>

class PicDevice;

// Intel HEX files of the PIC firmware and their scrambled twins (.XEH) of the
// firmware packages, to and from the shared memory image.
//
// The readers open and read the whole file first and only then replace the
// image, so a missing or unreadable file leaves it untouched, as does a file
// with a damaged record before its end record (a wrong checksum, a length
// other than its count gives, a character that is not a hexadecimal digit):
// such a file is refused whole, naming the line. They blank the
// program area; EEPROM bytes and user IDs absent from the file keep their values.
// Every message names the file, and the line where there is one.
// Every file written is read back as it will be imported before it takes
// its name. The writers refuse 18F chips, whose memory layout these files do not carry.

// `nomAffiche`, when given, is the name the messages give the file: the file
// the user chose, of which `fichier` is a work copy.
HexFileResult LireFichierHex(PicDevice &device, const QString &fichier,
                             const QString &nomAffiche = {});
HexFileResult EcrireFichierHex(const PicDevice &device, const QString &fichier);
HexFileResult LireFichierXeh(PicDevice &device, const QString &fichier,
                             const QString &nomAffiche = {});
HexFileResult EcrireFichierXeh(const PicDevice &device, const QString &fichier);
// The firmware of a package: only the 8-word program blocks that hold a word
// of `given` (bit k: word k, as a read gives them in HexFileResult::wordsGiven),
// so that a download never takes blank words the file did not give for it.
HexFileResult EcrireFichierXehMots(const PicDevice &device, const QString &fichier,
                                   const QBitArray &given);
