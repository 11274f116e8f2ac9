#include "app/ui/WindowProfile.h"

#include "app/FirmwareProfile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

namespace {

template <typename T = QWidget> T *find(QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

void show(QWidget &window, const std::optional<bool> &shown,
          std::initializer_list<const char *> names)
{
    if (!shown)
        return;
    for (const char *name : names)
        if (QWidget *w = find(window, QLatin1String(name)))
            w->setVisible(*shown);
}

// Shown controls are also made usable: a control hidden by one package must
// work again once shown.
void showUsable(QWidget &window, const std::optional<bool> &shown,
                std::initializer_list<const char *> names)
{
    show(window, shown, names);
    if (shown && *shown)
        for (const char *name : names)
            if (QWidget *w = find(window, QLatin1String(name)))
                w->setEnabled(true);
}

void enable(QWidget &window, const std::optional<bool> &enabled,
            std::initializer_list<const char *> names)
{
    if (!enabled)
        return;
    for (const char *name : names)
        if (QWidget *w = find(window, QLatin1String(name)))
            w->setEnabled(*enabled);
}

// The first item equal to `text` (case aside); none equal leaves no selection.
void selectItem(QComboBox *list, const QString &text)
{
    if (!list)
        return;
    int found = -1;
    for (int i = 0; i < list->count() && found < 0; ++i)
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            found = i;
    list->setCurrentIndex(found);
}

void layOutMapBoxes(QWidget &window, const MapBoxLayout &layout)
{
    for (int i = 0; i < FirmwareProfile::kMapBoxes; ++i) {
        auto *adj = find<QLineEdit>(window, QStringLiteral("tbMapAdj%1").arg(i));
        auto *range = find<QLineEdit>(window, QStringLiteral("tbMap%1").arg(i));
        const bool shown = i < layout.count;
        if (adj) {
            adj->setVisible(shown);
            if (shown) {
                adj->setText(layout.percentTexts.at(i));
                const bool locked = layout.isLocked(i);
                adj->setReadOnly(locked);
                // Locked boxes take the colour of a button face, the others of an entry.
                QPalette palette = adj->palette();
                palette.setColor(QPalette::Base, window.palette().color(locked ? QPalette::Button
                                                                               : QPalette::Base));
                adj->setPalette(palette);
            }
        }
        if (range) {
            range->setVisible(shown);
            if (shown)
                range->setText(layout.rangeTexts.at(i));
        }
    }
}

} // namespace

void ApplyWindowProfile(QWidget &window, const FirmwareProfile &p)
{
    show(window, p.FrameMoteur, {"FrameMoteur"});
    enable(window, p.NbCylindresEnabled, {"LabelMoteur1", "NbCylindres"});
    if (p.NbCylindresText)
        selectItem(find<QComboBox>(window, QStringLiteral("NbCylindres")), *p.NbCylindresText);
    show(window, p.FrameAvanceST, {"FrameAvanceST"});
    enable(window, p.AvStatiqueEnabled, {"Txt_av_statique"});
    if (p.AvStatiqueText)
        if (auto *box = find<QLineEdit>(window, QStringLiteral("Txt_av_statique")))
            box->setText(*p.AvStatiqueText);
    show(window, p.FrameAvanceBRPM, {"FrameAvanceBRPM"});
    show(window, p.FrameHardware, {"FrameHardware"});
    show(window, p.FrameCarteOption, {"FrameCarteOption"});
    show(window, p.FrameMultiEtincelle, {"FrameMultiEtincelle"});
    show(window, p.FrameRetardCliquetis, {"FrameRetardCliquetis"});
    show(window, p.FrameDwell, {"FrameDwell"});
    show(window, p.FrameTableMap, {"FrameTableMap", "PicMap"});
    showUsable(window, p.TerminalDisplay, {"FrameLED", "Term_Recept", "BP_Erraseterm"});
    showUsable(window, p.TerminalPort,
               {"BP_OpenPort", "chkTermEcho", "Label5", "optAsc", "optHex", "optDec"});
    showUsable(window, p.FrameKT5, {"FrameKT5"});
    if (p.mapBoxes)
        layOutMapBoxes(window, *p.mapBoxes);
}
