#include "platform/VEK_Info_System.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include <sys/sysinfo.h>

namespace VEK_Info_System {

namespace {

uint64_t divideRoundHalfEven(uint64_t value, uint64_t divisor)
{
    uint64_t quotient = value / divisor;
    const uint64_t twiceRest = 2 * (value % divisor);
    if (twiceRest > divisor || (twiceRest == divisor && quotient % 2 == 1))
        ++quotient;
    return quotient;
}

} // namespace

MemoryStatus ReadMemoryStatus()
{
    MemoryStatus status;
    struct sysinfo info {
    };
    if (sysinfo(&info) != 0)
        return status;
    const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    status.totalPhys = uint64_t(info.totalram) * unit;
    status.availPhys = (uint64_t(info.freeram) + uint64_t(info.bufferram)) * unit;
    status.totalPageFile = uint64_t(info.totalswap) * unit;
    status.availPageFile = uint64_t(info.freeswap) * unit;
    status.totalVirtual = status.totalPhys + status.totalPageFile;
    status.availVirtual = status.availPhys + status.availPageFile;
    if (status.totalPhys > 0)
        status.memoryLoad = uint32_t(100 - status.availPhys * 100 / status.totalPhys);
    return status;
}

uint64_t RamMegabytes(uint64_t bytes)
{
    return divideRoundHalfEven(divideRoundHalfEven(bytes, 1024), 1024);
}

QString CpuNameFromCpuInfo(const QString &cpuinfo)
{
    // x86 says "model name"; other architectures "Hardware", "cpu model" or "Processor".
    static const char *const keys[] = {"model name", "Hardware", "cpu model", "Processor", "cpu"};
    const QStringList lines = cpuinfo.split('\n');
    for (const char *key : keys) {
        for (const QString &line : lines) {
            const qsizetype colon = line.indexOf(':');
            if (colon < 0 || line.left(colon).trimmed() != QLatin1String(key))
                continue;
            const QString value = line.mid(colon + 1).simplified();
            if (!value.isEmpty())
                return value;
        }
    }
    return {};
}

QString GetCpuName()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return CpuNameFromCpuInfo(QString::fromUtf8(file.readAll()));
}

QString GetSystemName()
{
    return QSysInfo::prettyProductName();
}

} // namespace VEK_Info_System
