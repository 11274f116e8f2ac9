#pragma once

#include "TestSupport.h"
#include "firmware/AssemblerRun.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"
#include "firmware/TableIncludeFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

// The test firmware of our own (asm/tables_test.asm): the tables of a fixed curve
// exported as include files for two curve lines (MAP 35 % and 100 %) and
// assembled by gpasm into a HEX file.
struct AsmTestFirmware {
    FirmwareTable hauteAtmo, basseAtmo, hauteBoost, basseBoost;
    QString hexFile;
    QString failure; // empty when built

    // Curve line, its table address in the source and its MAP percentage.
    struct Placement {
        int address;
        bool low;
        int pct;
    };
    static constexpr Placement placements[] = {
        {0x300, true, 35}, {0x500, false, 35}, {0x700, true, 100}, {0x900, false, 100}};

    // Word i (0..255) of a placed table, as the export blends it.
    uint16_t expected(const Placement &p, int i) const
    {
        const FirmwareTable &atmo = p.low ? basseAtmo : hauteAtmo;
        const FirmwareTable &boost = p.low ? basseBoost : hauteBoost;
        return uint16_t(
            TableIncludeFiles::MelangeMot(atmo[i + 1], boost[i + 1], p.pct).toUInt(nullptr, 16));
    }

    static AsmTestFirmware build(const QString &folder, int type)
    {
        AsmTestFirmware fw;
        CurveGridSnapshot grid;
        grid.rows = {{"Rpm", "Atmo", "Turbo"},
                     {"1000", "12", "8"},
                     {"3000", "16", "11"},
                     {"5500", "19", "14.5"},
                     {"7000", "18", "15"}};
        TableHeaderSnapshot header;
        header.Txt_rpm_maxi = "7500";
        header.CmbAvanceBasRegime = "6.0";
        header.Txt_av_statique = "20";
        header.TxtDwell = "3.0";
        header.TxtDureeRetardCliquetis = "20";
        NoPrompts prompts;
        TableGenerator generator(header, prompts);
        const bool eight = type == 8;
        int16_t status = 0;
        status |= eight ? generator.GenereHTAB8(fw.hauteAtmo, grid, 20, 1)
                        : generator.GenereHTAB16(fw.hauteAtmo, grid, 20, 1);
        status |= eight ? generator.GenereLTAB8(fw.basseAtmo, grid, 20, 1)
                        : generator.GenereLTAB16(fw.basseAtmo, grid, 20, 1);
        status |= eight ? generator.GenereHTAB8(fw.hauteBoost, grid, 20, 2)
                        : generator.GenereHTAB16(fw.hauteBoost, grid, 20, 2);
        status |= eight ? generator.GenereLTAB8(fw.basseBoost, grid, 20, 2)
                        : generator.GenereLTAB16(fw.basseBoost, grid, 20, 2);
        if (status != 0)
            return fw.fail("a table generator stopped: " + prompts.messages.join(' '));

        const QString source = QDir(folder).filePath("firmware test.asm");
        QFile::remove(source);
        if (!QFile::copy(TestSupport::testSourceDirectory() + "/firmware/asm/tables_test.asm",
                         source))
            return fw.fail("cannot copy the test source");
        TableIncludeFiles::ExportRequest request;
        request.folder = folder;
        request.nomBasse = "LTAB.TXT";
        request.nomHaute = "HTAB.TXT";
        request.lineCount = 2;
        request.percentages = {"35", "100"};
        request.tables = {entries(fw.hauteAtmo), entries(fw.basseAtmo), entries(fw.hauteBoost),
                          entries(fw.basseBoost)};
        if (!TableIncludeFiles::Exporter(request).ok())
            return fw.fail("export failed");

        AssemblerRun assembler;
        QSignalSpy spy(&assembler, &AssemblerRun::finished);
        if (!assembler.start(source) || !spy.wait(60000))
            return fw.fail("gpasm did not finish");
        const auto result = spy.at(0).at(0).value<AssemblerResult>();
        if (result.status != AssemblerResult::Succeeded)
            return fw.fail("gpasm failed: " + result.output);
        fw.hexFile = result.hexFile;
        return fw;
    }

private:
    class NoPrompts : public TableGenerationPrompts
    {
    public:
        QStringList messages;
        bool askTruncation(const QString &, const QString &text) override
        {
            messages << text;
            return false;
        }
        void showError(const QString &, const QString &text) override { messages << text; }
    };

    static QStringList entries(const FirmwareTable &table)
    {
        QStringList words;
        for (int i = 1; i <= 256; ++i)
            words << table[i];
        return words;
    }

    AsmTestFirmware &fail(const QString &why)
    {
        failure = why;
        return *this;
    }
};
