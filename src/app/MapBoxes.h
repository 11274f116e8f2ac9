#pragma once

#include <QString>

#include <array>

// Texts of the two rows of MAP boxes: the pressure percentages tbMapAdj (read
// by the 3D map, the table export and the transfers) and the load-pressure
// row tbMap. Written by the boxes and by the firmware choice.
struct MapBoxes {
    std::array<QString, 9> tbMapAdj{
        QStringLiteral("0"),    QStringLiteral("12.5"), QStringLiteral("25"),
        QStringLiteral("37.5"), QStringLiteral("50"),   QStringLiteral("62.5"),
        QStringLiteral("75"),   QStringLiteral("87.5"), QStringLiteral("100")};
    std::array<QString, 9> tbMap{tbMapAdj};
};
