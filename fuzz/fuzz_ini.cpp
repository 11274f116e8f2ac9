// Language files and package descriptions: the INI-like reader.
#include "FuzzSupport.h"
#include "app/VEK_LANGUAGE.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzScratchFile file(data, size);
    VEK_LANGUAGE::ReadIniValue(file.path(), QStringLiteral("GLOBAL"), QStringLiteral("MBAbout"));
    VEK_LANGUAGE::ReadIniValue(file.path(), QStringLiteral("[REGLAGE]"), QStringLiteral("HEX_ADD="));
    return 0;
}
