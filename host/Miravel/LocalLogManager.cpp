#include "Miravel/LocalLogManager.h"

#include "Ostrel/UserDataPath.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <mutex>

namespace Miravel {

QString CLocalLogManager::LogFilePath()
{
    return QFile::decodeName(Ostrel::CUserDataPath().logPath().c_str()) + QStringLiteral("operation.log");
}

bool CLocalLogManager::writeOperationLog(int nLogType, const QString& strCamera, const QString& strDevice)
{
    static std::mutex s_mutex;
    std::lock_guard<std::mutex> lock(s_mutex);
    QFile file(LogFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    // Tabs and line breaks inside names would split the record.
    auto clean = [](QString str) { return str.replace(QRegularExpression("[\\t\\r\\n]"), " "); };
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << QDateTime::currentDateTime().toString(Qt::ISODateWithMs) << '\t' << nLogType << '\t' << clean(strCamera)
        << '\t' << clean(strDevice) << '\n';
    return out.status() == QTextStream::Ok;
}

} // namespace Miravel
