#include "common/IncidentManifest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <openssl/evp.h>

#include <memory>

namespace LinkageSnapAlarm::IncidentManifest {
namespace {

const QLatin1String kTempPrefix(".");
const QLatin1String kTempSuffix(".partial");
const QLatin1String kLockSuffix(".lock");
constexpr qint64 kReadChunkBytes = 1 << 20;

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext NewSha256()
{
    DigestContext upContext(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (upContext && EVP_DigestInit_ex(upContext.get(), EVP_sha256(), nullptr) != 1)
        upContext.reset();
    return upContext;
}

QString HexDigest(EVP_MD_CTX* pContext)
{
    unsigned char arrDigest[EVP_MAX_MD_SIZE];
    unsigned int nLength = 0;
    if (EVP_DigestFinal_ex(pContext, arrDigest, &nLength) != 1)
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(arrDigest), int(nLength)).toHex());
}

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
    DigestContext upContext = NewSha256();
    if (!upContext || !file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray baChunk(int(kReadChunkBytes), Qt::Uninitialized);
    for (;;) {
        const qint64 nRead = file.read(baChunk.data(), kReadChunkBytes);
        if (nRead < 0)
            return QString();
        if (nRead == 0)
            break;
        EVP_DigestUpdate(upContext.get(), baChunk.constData(), size_t(nRead));
    }
    return HexDigest(upContext.get());
}

QString Sha256OfBytes(const QByteArray& baBytes)
{
    CSha256 sha;
    sha.Add(baBytes.constData(), size_t(baBytes.size()));
    return sha.Hex();
}

void CSha256::Free::operator()(evp_md_ctx_st* pContext) const
{
    EVP_MD_CTX_free(pContext);
}

CSha256::CSha256()
    : m_upContext(EVP_MD_CTX_new())
{
    m_bOk = m_upContext && EVP_DigestInit_ex(m_upContext.get(), EVP_sha256(), nullptr) == 1;
}

void CSha256::Add(const char* pData, size_t nBytes)
{
    m_bOk = m_bOk && EVP_DigestUpdate(m_upContext.get(), pData, nBytes) == 1;
}

QString CSha256::Hex()
{
    return m_bOk ? HexDigest(m_upContext.get()) : QString();
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
