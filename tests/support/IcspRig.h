#pragma once

#include "ManualClock.h"
#include "SimulatedPic.h"
#include "SimulatedProgrammerBox.h"
#include "app/VekContext.h"
#include "base/MainSettings.h"
#include "icsp/IcspProgrammer.h"
#include "icsp/PicDevice.h"

#include <memory>

// A simulated PIC behind a simulated box, and the programmer driving it, on a
// manual clock: a programming run takes no real time. Every close of the port
// (the end of each operation) fails the test on a timing violation the chip
// counted, unless the test took them first.
struct IcspRig {
    ManualClock clock;
    SimulatedPic pic;
    MainSettings settings;
    std::unique_ptr<SimulatedProgrammerBox> box;
    std::unique_ptr<IcspProgrammer> programmer;

    // `wiring`: box type, port and pins, used both by the box and the settings.
    explicit IcspRig(const QString &chip, const IcspLineSettings &wiring = {},
                     bool realChip = false);

    // Box type, port and pins (output pins MCLR, CLOCK, DATA, then DATA_R).
    static IcspLineSettings wiring(int box, const QString &port, uint8_t mclr = 5,
                                   uint8_t clock = 3, uint8_t data = 2, uint8_t dataR = 10);
    // The device record and a blank image for a fixed chip ("16F84A").
    static PicDevice deviceFor(const QString &chip);
    // An image of pseudo-random words, EEPROM bytes, IDs and configuration.
    static void fillImage(PicDevice &device, uint32_t seed, uint16_t config);
    // The chip holds the image: program words, EEPROM, user IDs, configuration.
    static bool imageOnChip(const SimulatedPic &pic, const PicDevice &device);
    // Fails the running test with the chip's timing violations, if any (and
    // forgets them, so that each is reported once).
    static void failOnTimingViolations(SimulatedPic &pic);
};

// A programmer window's world: a context whose programmer port leads to a
// simulated VEKP box on COM1 and a PIC, on a manual clock; the context's image
// is blank for `chip`, and `choice` is the chip the set-up chose.
struct IcspWindowWorld {
    ManualClock clock;
    SimulatedPic pic;
    std::unique_ptr<SimulatedProgrammerBox> box;
    VekContext context;

    explicit IcspWindowWorld(const QString &chip, const QString &choice = QStringLiteral("AUTO"));
    // The window's operations ran on the chip within its timing.
    ~IcspWindowWorld() { IcspRig::failOnTimingViolations(pic); }
};
