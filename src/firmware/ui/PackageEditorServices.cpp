#include "firmware/ui/PackageEditorServices.h"

#include "app/VEK_LANGUAGE.h"
#include "app/VekContext.h"
#include "platform/DataPaths.h"

#include <QDir>

PackageEditorServices PackageEditorServices::standard(VekContext &context)
{
    Q_UNUSED(context);
    PackageEditorServices s;
    s.packageFolder = DataPaths::UserProgramDirectory() + QStringLiteral("HEX_XEH");
    QDir().mkpath(s.packageFolder);
    return s;
}
