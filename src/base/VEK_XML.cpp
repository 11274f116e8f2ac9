#include "base/VEK_XML.h"

#include "base/BoundedFile.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include <QXmlStreamReader>

#include <utility>

namespace {

const QString kDevice = QStringLiteral("device");

QDomElement deviceAt(const QDomDocument &document, int position)
{
    if (position < 0)
        return {};
    return document.elementsByTagName(kDevice).item(position).toElement();
}

QString childText(const QDomElement &device, const char *name)
{
    return device.firstChildElement(QString::fromLatin1(name)).text();
}

// The document parser slows down with the square of the nesting depth, so a
// deeply nested file is refused before it is parsed. A catalogue needs three levels.
constexpr int MaxNesting = 32;

// A document type that declares entities is refused before anything is
// expanded: one entity used many times turns a small file into gigabytes, and
// the catalogues need none.
bool declaresEntities(const QXmlStreamReader &reader)
{
    return !reader.entityDeclarations().isEmpty() ||
           reader.text().contains(QLatin1String("<!ENTITY"), Qt::CaseInsensitive);
}

bool withinBounds(const QByteArray &bytes, QString &reason, int &line, int &column)
{
    QXmlStreamReader reader(bytes);
    // Read as the document parser reads it, without namespaces: an undeclared
    // prefix would stop this reader at once and leave the depth unchecked.
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        const bool tooDeep = token == QXmlStreamReader::StartElement && ++depth > MaxNesting;
        if (!tooDeep && !(token == QXmlStreamReader::DTD && declaresEntities(reader)))
            continue;
        reason =
            tooDeep
                ? VEK_LANGUAGE::GetLanguageText(QStringLiteral("XmlTropImbrique"),
                                                {QStringLiteral("%1"), QString::number(MaxNesting)})
                : VEK_LANGUAGE::GetLanguageText(QStringLiteral("XmlEntiteRefusee"));
        line = int(reader.lineNumber());
        column = int(reader.columnNumber());
        return false;
    }
    return true; // syntax errors are left to the document parser, which reports them
}

} // namespace

VEK_XML::VEK_XML(QString dataFolder) : dataFolder_(std::move(dataFolder)) {}

QString VEK_XML::folder() const
{
    return dataFolder_.isEmpty() ? DataPaths::DataDirectory() : dataFolder_;
}

QString VEK_XML::CataloguePath(const QString &folder, const QString &fileName)
{
    return folder.endsWith('/') ? folder + fileName : folder + '/' + fileName;
}

QString VEK_XML::chipCataloguePath() const
{
    return CataloguePath(folder(), QStringLiteral("Bin/up_chip.xml"));
}

QString VEK_XML::optionBoardCataloguePath() const
{
    return CataloguePath(folder(), QStringLiteral("Bin/carte_option.xml"));
}

CatalogueLoad VEK_XML::LoadChipCatalogue()
{
    return load(chipCataloguePath(), chips_);
}

CatalogueLoad VEK_XML::LoadOptionBoardCatalogue()
{
    return load(optionBoardCataloguePath(), boards_);
}

CatalogueLoad VEK_XML::load(const QString &path, QDomDocument &target)
{
    CatalogueLoad result;
    using VEK_LANGUAGE::GetLanguageText;
    const QString head =
        GetLanguageText(QStringLiteral("XmlNonCharge"), {QStringLiteral("%1"), path}) +
        QLatin1Char('\n');
    const BoundedFile::Read read = BoundedFile::readAll(path, BoundedFile::MaxCatalogueBytes);
    if (!read.ok) {
        result.message = head + BoundedFile::userReason(read);
        return result;
    }
    QDomDocument document;
    QString reason;
    int line = 0;
    int column = 0;
    if (!withinBounds(read.bytes, reason, line, column) ||
        !document.setContent(read.bytes, &reason, &line, &column)) {
        // The reader's own words for what is wrong, where it is.
        result.message =
            head + GetLanguageText(QStringLiteral("XmlErreurPosition"),
                                   {QStringLiteral("{RAISON}"), reason, QStringLiteral("{LIGNE}"),
                                    QString::number(line), QStringLiteral("{COLONNE}"),
                                    QString::number(column)});
        return result;
    }
    target = document;
    const QDomNodeList devices = target.elementsByTagName(kDevice);
    for (int i = 0; i < devices.size(); ++i)
        result.entries.append({devices.item(i).toElement().attribute(QStringLiteral("name")), i});
    result.ok = true;
    return result;
}

QList<CatalogueEntry> VEK_XML::DesignOptionBoards()
{
    return {{QStringLiteral("Sans"), 0},
            {QStringLiteral("OPT_Q17"), 1},
            {QStringLiteral("OPT_Q29"), 2}};
}

void VEK_XML::SelectOptionBoard(int position, OptionBoardState &board) const
{
    if (position < 0)
        return;
    const QDomElement device = deviceAt(boards_, position);
    // Without a description (no catalogue) the tables are built as for no
    // board, rather than with empty configuration bytes; the name is kept all
    // the same, so that saving the curve does not lose its board.
    board.CarteOptionId = device.isNull() ? QStringLiteral("0") : QString::number(position);
    board.CarteOptionNom = device.isNull() ? DesignOptionBoards().value(position).name
                                           : device.attribute(QStringLiteral("name"));
    board.DeviceAnalogue = childText(device, "DeviceAnalogue");
    board.DeviceInput = childText(device, "DeviceInput");
    board.DeviceOuput = childText(device, "DeviceOuput");
    board.DeviceCfg = childText(device, "DeviceCfg");
    board.DeviceCfgP = childText(device, "DeviceCfgP");
    board.DeviceCfgA = childText(device, "DeviceCfgA");
}

ChipCatalogueRecord VEK_XML::SelectChip(int position) const
{
    const QDomElement device = deviceAt(chips_, position);
    ChipCatalogueRecord chip;
    chip.name = device.attribute(QStringLiteral("name"));
    chip.id = device.attribute(QStringLiteral("id"));
    chip.DeviceFamille = childText(device, "DeviceFamille");
    chip.DeviceChip = childText(device, "DeviceChip");
    chip.DevicePgmSize = childText(device, "DevicePgmSize");
    chip.DeviceEESize = childText(device, "DeviceEESize");
    return chip;
}
