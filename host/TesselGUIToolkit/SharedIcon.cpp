#include "TesselGUIToolkit/SharedIcon.h"

#include "TesselGUIToolkit/LazyIcon.h"

#include <QHash>

namespace TesselGUIToolkit {

QIcon SharedIcon(const QString& strFile)
{
    static auto* s_pIcons = new QHash<QString, QIcon>;
    auto it = s_pIcons->constFind(strFile);
    if (it == s_pIcons->constEnd())
        it = s_pIcons->insert(strFile, LazyIcon(strFile));
    return it.value();
}

} // namespace TesselGUIToolkit
