#include "app/PrintLayout.h"

#include <algorithm>

namespace PrintLayout {

Content ContentFor(int page, int curvePointCount, const QString &terminalText)
{
    switch (page) {
    case Curves:
    case RealTime:
        return curvePointCount > 0 ? Content::Chart : Content::Nothing;
    case Map3D:
        return curvePointCount > 0 ? Content::Map : Content::Nothing;
    case Terminal:
        return terminalText.isEmpty() ? Content::Nothing : Content::Text;
    default:
        return Content::Nothing;
    }
}

QRectF PlacePicture(QSizeF picture, QSizeF page)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    const double roomHeight = std::max(0.0, page.height() - TopMarginTwips);
    const double scale =
        std::min({1.0, page.width() / picture.width(), roomHeight / picture.height()});
    const QSizeF size = picture * scale;
    return {(page.width() - size.width()) / 2, TopMarginTwips, size.width(), size.height()};
}

} // namespace PrintLayout
