#include "TesselGUIToolkit/SharedIcon.h"

#include <QHash>

namespace TesselGUIToolkit {

QIcon SharedIcon(const QString& strPath)
{
    static auto* s_pIcons = new QHash<QString, QIcon>;
    auto it = s_pIcons->constFind(strPath);
    if (it == s_pIcons->constEnd())
        it = s_pIcons->insert(strPath, QIcon(strPath));
    return it.value();
}

} // namespace TesselGUIToolkit
