#include "IcspRig.h"

#include "app/TransferServicesSetup.h"

#include "icsp/ChipTable.h"

#include <QtTest>

IcspRig::IcspRig(const QString &chip, const IcspLineSettings &wiring, bool realChip)
    : pic(clock, SimChipModel::byName(chip))
{
    pic.setRealChipBehaviour(realChip);
    wiring.applyTo(settings);
    box = std::make_unique<SimulatedProgrammerBox>(pic, wiring);
    box->onPortClosed([this] { failOnTimingViolations(pic); });
    IcspTexts texts;
    texts.portFailure.openFailed = QStringLiteral("cannot open {PORT}: {RAISON}");
    texts.noChip = QStringLiteral("no chip");
    texts.noChipAuto = QStringLiteral("no chip, a 16F84 is chosen");
    texts.autoChip = {QStringLiteral("unknown ID %ID%"),
                      QStringLiteral("AUTO found %LU% %ID%: choose it in the list"),
                      QStringLiteral("%LU% %ID% not supported")};
    texts.eraseNotBlank = QStringLiteral("not blank at %ADRESSE%");
    texts.calibrationKept = QStringLiteral("kept %OSCCAL% %BG%");
    texts.calibrationLost = QStringLiteral("lost %OSCCAL%");
    texts.calibrationTyped = QStringLiteral("typed %OSCCAL% %BG%");
    texts.calibrationNotWritten = QStringLiteral("not written %BG%");
    texts.readBackMismatch = QStringLiteral("read back %ADRESSE% %LU% %ATTENDU%");
    texts.chooseChip = QStringLiteral("choose the chip");
    texts.otherChip = QStringLiteral("not %CHOISI% but %LU% %ID%");
    texts.otherChipId = QStringLiteral("not %CHOISI% but ID %ID%");
    texts.autoOtherChip = QStringLiteral("AUTO found %LU% %ID%, not %CHOISI%");
    texts.blankOrAbsent = QStringLiteral("blank or absent");
    texts.noAnswer = QStringLiteral("Pas de réponse du module {MODULE}");
    texts.readingParameters = QStringLiteral("Lecture Paramètres (8) bytes : ");
    texts.selfTestBad = QStringLiteral("Mauvaise réponse à AUTO-DIAG");
    texts.dataStuckLow = QStringLiteral("DATA est bloquée à 0 !");
    texts.dataInverted = QStringLiteral("DATA est inversée !");
    texts.dataStuckHigh = QStringLiteral("DATA est bloquée à 1 !");
    texts.addressIs = QStringLiteral("Adresse = %1");
    texts.writeRead = QStringLiteral("Write = %1 Read = %2");
    texts.errorsAre = QStringLiteral("Erreur = %1");
    texts.attemptsAre = QStringLiteral("NbEssais = %1");
    texts.writtenIs = QStringLiteral("Donnée Ecrite : %1");
    texts.readIs = QStringLiteral("Donnée lue    : %1");
    texts.badReadPin = QStringLiteral(
        "La Broche : {BROCHE} sélectionné sur le port LPT en lecture n'est pas bonne");
    programmer = std::make_unique<IcspProgrammer>(settings, clock, box->opener(), texts);
}

IcspLineSettings IcspRig::wiring(int box, const QString &port, uint8_t mclr, uint8_t clock,
                                 uint8_t data, uint8_t dataR)
{
    return {int16_t(box), port, mclr, clock, data, dataR};
}

PicDevice IcspRig::deviceFor(const QString &chip)
{
    PicDevice device;
    device.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-") + chip));
    device.InitMemoire();
    return device;
}

void IcspRig::fillImage(PicDevice &device, uint32_t seed, uint16_t config)
{
    uint32_t x = seed;
    auto next = [&x] { return x = x * 1664525u + 1013904223u, x >> 8; };
    for (int k = 0; k < device.programByteCount() / 2; ++k)
        device.ImagePIC.setCodeWord(k, uint16_t(next() & 0x3FFF));
    for (int j = 0; j < device.eepromByteCount(); ++j)
        device.ImagePIC.ImageEEPROM[size_t(j)] = uint8_t(next());
    for (int i = 0; i < 4; ++i)
        device.ImagePIC.UserID[size_t(2 * i)] = uint8_t(next() & 0x7F);
    device.ImagePIC.ConfigWord = config;
}

bool IcspRig::imageOnChip(const SimulatedPic &pic, const PicDevice &device)
{
    for (int k = 0; k < device.programByteCount() / 2; ++k)
        if (pic.program[size_t(k)] != (device.ImagePIC.codeWord(k) & 0x3FFF))
            return false;
    for (int j = 0; j < device.eepromByteCount(); ++j)
        if (pic.eeprom[size_t(j)] != device.ImagePIC.ImageEEPROM[size_t(j)])
            return false;
    for (int i = 0; i < 4; ++i)
        if (pic.userId[size_t(i)] != device.ImagePIC.UserID[size_t(2 * i)])
            return false;
    return pic.readConfig() == device.ImagePIC.ConfigWord;
}

void IcspRig::failOnTimingViolations(SimulatedPic &pic)
{
    const QStringList violations = pic.takeTimingViolations();
    if (!violations.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("timing violations on the chip: ") +
                                violations.join(QStringLiteral("; "))),
                     __FILE__, __LINE__);
}

IcspWindowWorld::IcspWindowWorld(const QString &chip, const QString &choice)
    : pic(clock, SimChipModel::byName(chip))
{
    const IcspLineSettings lines = IcspRig::wiring(1, QStringLiteral("COM1"));
    box = std::make_unique<SimulatedProgrammerBox>(pic, lines);
    InstallTransferServices(context.transfer);
    context.transfer.programmerPort = box->opener();
    context.transfer.clock = &clock;
    lines.applyTo(context.settings);
    context.settings.ICSPChip = choice;
    context.settings.ICSPNBWRT = 5;
    context.pic = IcspRig::deviceFor(chip);
}
