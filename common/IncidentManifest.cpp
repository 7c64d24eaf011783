#include "common/IncidentManifest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace LinkageSnapAlarm::IncidentManifest {
namespace {

const QLatin1String kTempPrefix(".");
const QLatin1String kTempSuffix(".partial");
const QLatin1String kLockSuffix(".lock");

// True when the manifest's path names a file inside the export: whatever a
// manifest says, nothing outside the folder is read.
bool IsInside(const QDir& dir, const QString& strRel)
{
    return !strRel.isEmpty() && !QDir::isAbsolutePath(strRel)
           && QDir::cleanPath(dir.absoluteFilePath(strRel)).startsWith(dir.absolutePath() + QLatin1Char('/'));
}

} // namespace

QString TemporaryName(const QString& strFinalName)
{
    return kTempPrefix + strFinalName + kTempSuffix;
}

QString LockPath(const QString& strTemporaryPath)
{
    return strTemporaryPath + kLockSuffix;
}

bool IsTemporaryName(const QString& strName)
{
    return strName.startsWith(kTempPrefix) && strName.endsWith(kTempSuffix);
}

QString Sha256Of(const QString& strPath)
{
    QFile file(strPath);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

Check Verify(const QString& strFolder)
{
    Check check;
    const QDir dir(strFolder);
    if (IsTemporaryName(dir.dirName())) {
        check.strError = QStringLiteral("%1 is an unfinished export").arg(strFolder);
        return check;
    }
    QFile fileManifest(dir.filePath(QLatin1String(kFileName)));
    if (!fileManifest.open(QIODevice::ReadOnly)) {
        check.strError = QStringLiteral("%1 has no readable %2").arg(strFolder, QLatin1String(kFileName));
        return check;
    }
    const QJsonObject objManifest = QJsonDocument::fromJson(fileManifest.readAll()).object();
    if (objManifest.value(QLatin1String("format")).toString() != QLatin1String(kFormat)) {
        check.strError = QStringLiteral("%1 is not an incident export manifest").arg(fileManifest.fileName());
        return check;
    }
    for (const QJsonValue& value : objManifest.value(QLatin1String("files")).toArray()) {
        const QString strRel = value.toObject().value(QLatin1String("path")).toString();
        if (!IsInside(dir, strRel)) {
            check.lstChanged << strRel;
        } else if (!QFileInfo(dir.filePath(strRel)).isFile()) {
            check.lstMissing << strRel;
        } else if (Sha256Of(dir.filePath(strRel)) != value.toObject().value(QLatin1String("sha256")).toString()) {
            check.lstChanged << strRel;
        }
    }
    check.bOk = check.lstChanged.isEmpty() && check.lstMissing.isEmpty();
    return check;
}

} // namespace LinkageSnapAlarm::IncidentManifest
