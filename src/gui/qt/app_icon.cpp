#include "gui/qt/app_icon.h"

#include <QString>

// The icon's resource is compiled into a static library, where nothing else
// would keep its registration from being dropped by the linker.
static void RegisterIconResource()
{
    Q_INIT_RESOURCE(tavexdl);
}

namespace tavex {

QIcon AppIcon()
{
    static const bool registered = (RegisterIconResource(), true);
    static_cast<void>(registered);
    return QIcon(QStringLiteral(":/tavexdl/tavexdl.svg"));
}

} // namespace tavex
