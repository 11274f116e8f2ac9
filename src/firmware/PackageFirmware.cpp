#include "firmware/PackageFirmware.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "firmware/HexFiles.h"
#include "firmware/TablePlacement.h"
#include "icsp/DevicePreparation.h"
#include "icsp/PicDevice.h"

#include <QDir>

#include <optional>

namespace PackageFirmware {

bool isScrambled(const QString &source)
{
    return source.right(3).compare(QLatin1String("xeh"), Qt::CaseInsensitive) == 0;
}

namespace {

// A start or a length as the editor's boxes read it; nothing when not given.
std::optional<int> word(ValueRules::Value value, const QString &text)
{
    const ValueRules::Outcome read =
        ValueRules::read(value, text, ValueRules::Source::box(ValueRules::Path::PackageEditor));
    return read.taken() && read.value ? std::optional<int>(int(*read.value)) : std::nullopt;
}

} // namespace

Read Lire(PicDevice &device, const QString &source, const QString &shown, const QString &HEXADD,
          const QString &HEXLNG)
{
    using TablePlacement::AreasFor;
    Read out;
    const std::optional<int> start = word(ValueRules::Value::CodeStart, HEXADD);
    const std::optional<int> length = word(ValueRules::Value::CodeLength, HEXLNG);
    if (length == 0) { // a download of it would send nothing
        out.refusal = VEK_LANGUAGE::GetLanguageText("MessZoneVidePaquet",
                                                    {"{DEBUT}", HexLong(start.value_or(0), 4)});
        return out;
    }
    // Without both, the firmware's words are looked for in the whole chip.
    TablePlacement::WordRange range{0, device.DevicePgmSize > 0 ? int(device.DevicePgmSize)
                                                                : PicImage::CodeWords};
    if (start && length)
        range = {*start, *start + *length};
    PicDevice scratch = device; // a file refused leaves the image as it was
    out.result = isScrambled(source) ? LireFichierXeh(scratch, source, shown)
                                     : LireFichierHex(scratch, source, shown);
    if (!out.result.succeeded())
        out.refusal = out.result.info;
    else if (!scratch.wordsOutsideChip.isEmpty())
        out.refusal = scratch.wordsOutsideChip;
    else
        out.refusal =
            TablePlacement::ZoneSansMot(range, out.result.wordsGiven, shown, AreasFor::Package);
    if (out.ok())
        device = scratch;
    return out;
}

QString Ecrire(PicDevice &device, const QString &chip, const QString &source,
               const QString &xehPath, const QString &HEXADD, const QString &HEXLNG)
{
    PicDevice chosen = device;
    chosen.DeviceChip = chip;
    if (!DevicePreparation::Preparer(chosen, chip).chipSelected)
        return VEK_LANGUAGE::GetLanguageText("MessXosChipInconnu",
                                             {QStringLiteral("%CHIP%"), chip});
    const Read read = Lire(chosen, source, QDir::toNativeSeparators(source), HEXADD, HEXLNG);
    if (!read.ok())
        return read.refusal;
    if (!xehPath.isEmpty()) {
        const HexFileResult written = EcrireFichierXehMots(chosen, xehPath, read.result.wordsGiven);
        if (!written.succeeded())
            return written.info;
    }
    device = chosen;
    return {};
}

} // namespace PackageFirmware
