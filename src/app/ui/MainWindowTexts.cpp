#include "app/ui/MainWindowTexts.h"

#include "base/VEK_LANGUAGE.h"
#include "base/ui/Captions.h"
#include "base/ui/HelpTextFilter.h"

#include <QPushButton>
#include <QTabWidget>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

struct ButtonText {
    const char *name;
    const char *caption;
    const char *toolTip;
};

// Command buttons with their caption and tool-tip keys, in the order they are put.
const ButtonText kButtons[] = {
    {"about", LangKey("MBAbout"), LangKey("aboutTTT")},
    {"bp_new", LangKey("MBNouveau"), LangKey("BPNewTTT")},
    {"Ouvrir", LangKey("MBOuvrir"), LangKey("BPOpenTTT")},
    {"enregistrer", LangKey("MBEnregitrer"), LangKey("BPSaveTTT")},
    {"BP_Compilation", LangKey("MBCompilation"), LangKey("BPCompilationTTT")},
    {"BP_Bootloader", LangKey("MBProgrammation"), LangKey("BPICSPTTT")},
    {"bp_imprimer", LangKey("MBImprimer"), LangKey("PBPrintTTT")},
    {"Config", LangKey("MBConfiguration"), LangKey("BPConfigTTT")},
    {"Quit", LangKey("MBQuitter"), LangKey("BPQuitTTT")},
};

struct Caption {
    const char *name;
    const char *key;
};

// Titles of the pages 0 to 3; page 4 keeps its own title.
const char *const kPageTitles[] = {LangKey("MOParametres"), LangKey("MOCourbes"),
                                   LangKey("MOMapping"), LangKey("MOHyperTerminal")};

// Captions of the controls on the pages, page by page.
const Caption kCaptions[] = {
    {"FrameMoteur", LangKey("MFMoteur")},
    {"LabelMoteur1", LangKey("MLMoteur1")},
    {"LabelMoteur2", LangKey("MLMoteur2")},
    {"LabelMoteur3", LangKey("MLMoteur3")},
    {"FrameAvanceST", LangKey("MFAvanceST")},
    {"LabelAvStatique1", LangKey("MLAvStatique1")},
    {"LabelAvStatique2", LangKey("MLAvStatique2")},
    {"FrameAvanceBRPM", LangKey("MFAvanceBRPM")},
    {"LabelAvBRPM1", LangKey("MLAvBRPM1")},
    {"LabelAvBRPM2", LangKey("MLAvBRPM2")},
    {"FrameHardware", LangKey("MFHardware")},
    {"LabelHarware1", LangKey("MLHardware1")},
    {"FrameDwell", LangKey("MFDwell")},
    {"LabelDwell", LangKey("MFDwell")},
    {"FrameMultiEtincelle", LangKey("MFMultiEtincelle")},
    {"LabelMultiEtincelle1", LangKey("MLMultiEtincelle1")},
    {"SingleSparck", LangKey("MNon")},
    {"MultiSparck", LangKey("MOui")},
    {"FrameCarteOption", LangKey("MFCarteTOR")},
    {"FrameRetardCliquetis", LangKey("MFRetardCliquetis")},
    {"LabelRetardCliquetis1", LangKey("MLRetardCliquetis1")},
    {"LabelRetardCliquetis2", LangKey("MLRetardCliquetis2")},
    {"LabelRetardCliquetis3", LangKey("MLRetardCliquetis3")},
    {"LabelRetardCliquetis4", LangKey("MLRetardCliquetis4")},
    {"LabelRetardCliquetis5", LangKey("MLRetardCliquetis5")},
    {"LabelRetardCliquetis11", LangKey("MLRetardCliquetis11")},
    {"FrameTableMap", LangKey("MFTableMap")},
    {"LabelTableMap1", LangKey("MLTableMap1")},
    {"LabelTableMap2", LangKey("MLTableMap2")},
    {"LabelCourbe1", LangKey("MLCourbe1")},
    {"LabelCourbe2", LangKey("MLCourbe2")},
    {"LabelCourbe3", LangKey("MLCourbe3")},
    {"LabelCourbe4", LangKey("MLCourbe4")},
    {"LabelCourbe5", LangKey("MLCourbe5")},
    {"LabelCourbe6", LangKey("MLCourbe6")},
    {"LabelCourbe7", LangKey("MLCourbe7")},
    {"LabelCourbe8", LangKey("MLCourbe8")},
    {"LabelCourbe9", LangKey("MLCourbe9")},
    {"LabelCourbe10", LangKey("MLCourbe10")},
    {"LabelCourbe11", LangKey("MLCourbe11")},
    {"bp_valide", LangKey("MOK")},
    {"BP_import", LangKey("MBImport")},
    {"LabelMAPPING3D1", LangKey("MLMAPPING3D1")},
    {"LabelMAPPING3D2", LangKey("MLMAPPING3D2")},
    {"cmdGridColor", LangKey("MBGridColor")},
    {"LabelTERMINAL1", LangKey("MLMAPPING3D1")},
    {"LabelTERMINAL2", LangKey("MLMAPPING3D2")},
    {"LabeLREALTIME1", LangKey("MLMAPPING3D1")},
    {"LabeLREALTIME2", LangKey("MLMAPPING3D2")},
};

// Help texts shown in L_Info while the pointer is over a control.
const Caption kHelpTexts[] = {
    {"about", LangKey("BPaboutMM")},
    {"bp_new", LangKey("BPNewMM")},
    {"Ouvrir", LangKey("MMOuvrir")},
    {"enregistrer", LangKey("MMenregistrer")},
    {"BP_Compilation", LangKey("BPCompilationMM")},
    {"bp_imprimer", LangKey("BPimprimerMM")},
    {"Config", LangKey("MMConfig")},
    {"Quit", LangKey("MMQuit")},
    {"BP_DEC", LangKey("BPDECMM")},
    {"BP_INC", LangKey("BPINCMM")},
    {"BP_import", LangKey("BPimportMM")},
    {"bp_valide", LangKey("MMBPValideRpmAdv")},
    {"cmdGridColor", LangKey("MMcmdGridColor")},
    {"FrameAvanceST", LangKey("MMFrameAvanceST")},
    {"FrameMoteur", LangKey("MMFrameMoteur")},
    {"FrameHardware", LangKey("MMHardwareXLEDControl")},
    {"BP_Erraseterm", LangKey("TermAideEffacer")},
};

} // namespace

namespace MainWindowTexts {

QStringList buttonNames()
{
    QStringList names;
    for (const ButtonText &b : kButtons)
        names << QString::fromLatin1(b.name);
    return names;
}

QString livePageTitle()
{
    return GetLanguageText(QStringLiteral("PageTempsReel"));
}

void applyCaptions(QWidget &window, QTabWidget &pages)
{
    for (const ButtonText &b : kButtons) {
        if (auto *button = window.findChild<QPushButton *>(QString::fromLatin1(b.name))) {
            button->setText(GetLanguageText(QString::fromLatin1(b.caption)));
            button->setToolTip(GetLanguageText(QString::fromLatin1(b.toolTip)));
        }
    }
    for (int i = 0; i < 4; ++i)
        pages.setTabText(i, GetLanguageText(QString::fromLatin1(kPageTitles[i])));
    pages.setTabText(4, livePageTitle());
    for (const Caption &c : kCaptions)
        if (auto *widget = window.findChild<QWidget *>(QString::fromLatin1(c.name)))
            SetCaption(widget, GetLanguageText(QString::fromLatin1(c.key)));
}

void registerHelp(QWidget &window, HelpTextFilter &filter)
{
    for (const Caption &help : kHelpTexts)
        if (auto *widget = window.findChild<QWidget *>(QString::fromLatin1(help.name)))
            filter.add(widget, help.key);
}

} // namespace MainWindowTexts
