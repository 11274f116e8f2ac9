#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The rpm simulation commands sent to the module.
namespace SimulationCommand {

inline constexpr int RegimeMin = 500; // slider range
inline constexpr int RegimeMax = 8000;

// Period word that makes the module run as if the engine turned at `rpm`:
// 3 750 000 / rpm, halves to even. None when it would not fit the signed
// 16-bit word (rpm below 115) or rpm is not positive.
std::optional<uint16_t> PeriodeSimulation(int rpm);

// "!", period high byte, period low byte.
QByteArray CommandeSimulation(uint16_t period);
// The stop byte (0x22).
QByteArray CommandeArretSimulation();

inline constexpr char StartByte = 0x21;
inline constexpr char StopByte = 0x22;

// The settings the start command is always sent with.
inline constexpr const char *ReglagesSimulation = "57600,N,8,1";

} // namespace SimulationCommand
