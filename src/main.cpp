#include "app/ui/VEK_Accueil.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VEK_Courbe"));
    VEK_Accueil window;
    window.Form_Load();
    window.show();
    return app.exec();
}
