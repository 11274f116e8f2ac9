#pragma once

#include <QString>

// Where the program finds its shipped data and where it may write its own files.
namespace DataPaths {

// Folder of the shipped data (Languages/, Bin/), ending with "/".
// VEK_DATA_DIR overrides it; otherwise share/VEK_Courbe beside the installed
// program, otherwise the source tree's data/ folder (development builds).
QString DataDirectory();

// The user's writable program folder: ~TEMP.* files, HEX_XEH, curves. Created on demand.
QString UserProgramDirectory();

// The user's documents folder (logs, curves by default). Created on demand.
QString UserDocumentsDirectory();

} // namespace DataPaths
