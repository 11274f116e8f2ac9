#include "app/VEK_XML.h"

#include "platform/DataPaths.h"

#include <QFile>

#include <utility>

namespace
{

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
    const QString head = QStringLiteral("Le document %1 ne peut être chargé :\n").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.message = head + file.errorString();
        return result;
    }
    QDomDocument document;
    QString reason;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, &reason, &line, &column)) {
        result.message =
            head + QStringLiteral("%1 (ligne %2, colonne %3)").arg(reason).arg(line).arg(column);
        return result;
    }
    target = document;
    const QDomNodeList devices = target.elementsByTagName(kDevice);
    for (int i = 0; i < devices.size(); ++i)
        result.entries.append({devices.item(i).toElement().attribute(QStringLiteral("name")), i});
    result.ok = true;
    return result;
}

void VEK_XML::SelectOptionBoard(int position, OptionBoardState &board) const
{
    if (position < 0)
        return;
    const QDomElement device = deviceAt(boards_, position);
    board.CarteOptionId = QString::number(position);
    board.CarteOptionNom = device.attribute(QStringLiteral("name"));
    board.DeviceAnalogue = childText(device, "DeviceAnalogue");
    board.DeviceInput = childText(device, "DeviceInput");
    board.DeviceOuput = childText(device, "DeviceOuput");
    board.DeviceCfg = childText(device, "DeviceCfg");
    board.DeviceCfgP = childText(device, "DeviceCfgP");
    board.DeviceCfgA = childText(device, "DeviceCfgA");
}

ChipRecord VEK_XML::SelectChip(int position) const
{
    const QDomElement device = deviceAt(chips_, position);
    ChipRecord chip;
    chip.name = device.attribute(QStringLiteral("name"));
    chip.id = device.attribute(QStringLiteral("id"));
    chip.DeviceFamille = childText(device, "DeviceFamille");
    chip.DeviceChip = childText(device, "DeviceChip");
    chip.DevicePgmSize = childText(device, "DevicePgmSize");
    chip.DeviceEESize = childText(device, "DeviceEESize");
    return chip;
}
