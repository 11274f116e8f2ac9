#include "firmware/CompilationSettings.h"

#include "base/MainSettings.h"
#include "base/MainSettingsLoader.h"

#include <QSettings>

namespace CompilationSettings {

bool Sauver(const MainSettings &settings, QSettings &store)
{
    store.beginGroup(QStringLiteral("Compilation"));
    store.setValue(QStringLiteral("TypeCompilation"), QString::number(settings.TypeCompilation));
    store.setValue(QStringLiteral("NomFichierLTAB8"), settings.NomFichierLTAB8);
    store.setValue(QStringLiteral("NomFichierHTAB8"), settings.NomFichierHTAB8);
    store.setValue(QStringLiteral("NomFichierLTAB16"), settings.NomFichierLTAB16);
    store.setValue(QStringLiteral("NomFichierHTAB16"), settings.NomFichierHTAB16);
    store.endGroup();
    return MainSettingsLoader::SaveStore(store);
}

} // namespace CompilationSettings
