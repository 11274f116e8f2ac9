#pragma once

#include <QString>

#include <cstdint>

// System information shown by the about box.
namespace VEK_Info_System {

// Memory figures in bytes (load in percent), 64-bit so that large memories fit.
struct MemoryStatus {
    uint32_t memoryLoad = 0;
    uint64_t totalPhys = 0;
    uint64_t availPhys = 0;
    uint64_t totalPageFile = 0;
    uint64_t availPageFile = 0;
    uint64_t totalVirtual = 0;
    uint64_t availVirtual = 0;
};

MemoryStatus ReadMemoryStatus();

// Megabytes as shown: bytes / 1024 rounded, / 1024 again rounded, ties to even.
uint64_t RamMegabytes(uint64_t bytes);

// Processor name from the text of /proc/cpuinfo; empty when it has none.
QString CpuNameFromCpuInfo(const QString &cpuinfo);
QString GetCpuName(); // empty when unknown

// Pretty name of the running system ("Debian GNU/Linux 12 (bookworm)").
QString GetSystemName();

} // namespace VEK_Info_System
