#include "Ostrel/UserDataPath.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Ostrel {

CUserDataPath::CUserDataPath() = default;

std::string CUserDataPath::componentPath() const
{
    // Read every time: the data location follows the environment (XDG_DATA_HOME).
    const QString strPath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                            + QStringLiteral("/LinkageHost/components/");
    QDir().mkpath(strPath);
    return QFile::encodeName(QDir::toNativeSeparators(strPath)).toStdString();
}

} // namespace Ostrel
