#pragma once

class QSettings;
struct MainSettings;

// The "Compilation" section of the settings store: the compilation type and the
// four table file names, as the assembly window saves them on quit.
namespace CompilationSettings {

// False when the settings could not be saved (MainSettingsLoader::SaveStore).
bool Sauver(const MainSettings &settings, QSettings &store);

} // namespace CompilationSettings
