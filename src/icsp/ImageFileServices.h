#pragma once

#include <QString>

#include <functional>

class PicDevice;

// Outcome of reading or writing the image as a file: `info` for the
// information label (may be empty), `notice` for a message box when not empty.
struct ImageFileOutcome {
    bool ok = false;
    QString info;
    QString notice;
};

// The image as an Intel HEX file or as the packages' scrambled HEX file.
struct ImageFileServices {
    enum class Format { Hex, Xeh };
    std::function<ImageFileOutcome(PicDevice &, const QString &, Format)> read;
    std::function<ImageFileOutcome(const PicDevice &, const QString &, Format)> write;
};
