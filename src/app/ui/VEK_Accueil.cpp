#include "app/ui/VEK_Accueil.h"

#include "app/VEK_LANGUAGE.h"

VEK_Accueil::VEK_Accueil(QWidget *parent) : QMainWindow(parent)
{
    VEK_LANGUAGE::SetFichierLangueDefaut(QStringLiteral("francais.ini"));
    VEK_LANGUAGE::InitLanguage();
    setWindowTitle(VEK_LANGUAGE::GetLanguageText(QStringLiteral("VEK_AccueilCapt")));
    resize(1024, 700);
}
