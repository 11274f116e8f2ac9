#pragma once

#include "base/OptionBoardState.h"

#include <QDomDocument>
#include <QList>
#include <QString>

// One list entry of a device catalogue: the device's name and its position in
// the catalogue (document order from 0), which is what selection uses.
struct CatalogueEntry {
    QString name;
    int position = 0;
};

// Outcome of loading a catalogue. On failure `entries` is empty and `message`
// says which file failed and why; the caller keeps its list as it was.
struct CatalogueLoad {
    bool ok = false;
    QList<CatalogueEntry> entries;
    QString message;
};

// What the chip catalogue tells about one chip.
struct ChipCatalogueRecord {
    QString name;
    QString id;
    QString DeviceFamille;
    QString DeviceChip;
    QString DevicePgmSize;
    QString DeviceEESize;
};

// The two device catalogues shipped in Bin/: PIC chips and option boards.
// Each catalogue keeps its own parsed document from its loading on.
class VEK_XML
{
public:
    // `dataFolder` holds Bin/; empty means the program's shipped data folder.
    explicit VEK_XML(QString dataFolder = {});

    CatalogueLoad LoadChipCatalogue();
    CatalogueLoad LoadOptionBoardCatalogue();

    // The option-board list as the window offers it before any catalogue is
    // loaded: no board, then the boards of the first modules. Without a
    // catalogue these still let a curve file name its board.
    static QList<CatalogueEntry> DesignOptionBoards();

    // Copies the description of the board at `position` into `board`; a negative
    // position (no selection) leaves `board` alone, a position without a device
    // gives empty texts and the id "0" (no board in the tables), but keeps the
    // name of a design entry.
    void SelectOptionBoard(int position, OptionBoardState &board) const;

    // The record of the chip at `position`; empty texts when there is none.
    ChipCatalogueRecord SelectChip(int position) const;

    // `folder` joined with `fileName` by exactly one "/".
    static QString CataloguePath(const QString &folder, const QString &fileName);

    QString chipCataloguePath() const;
    QString optionBoardCataloguePath() const;

private:
    CatalogueLoad load(const QString &path, QDomDocument &target);
    QString folder() const;

    QString dataFolder_;
    QDomDocument chips_;
    QDomDocument boards_;
};
