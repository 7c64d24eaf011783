#include "common/IncidentManifest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>

#include <openssl/evp.h>

#include <algorithm>
#include <type_traits>

namespace LinkageSnapAlarm::IncidentManifest {
namespace {

const QLatin1String kTempPrefix(".");
const QLatin1String kTempSuffix(".partial");
const QLatin1String kLockSuffix(".lock");
constexpr qint64 kReadChunkBytes = 1 << 20;
// Written and hashed in blocks that stay in the cache in between.
constexpr qint64 kWriteBlockBytes = 512 * 1024;

// OpenSSL's SHA-256, loaded on the first hash: the dashboard's start, which
// hashes nothing, does not load libcrypto. Without the library Qt's own
// (slower) SHA-256 gives the same digest.
struct Crypto
{
    decltype(&EVP_MD_CTX_new) fnNew = nullptr;
    decltype(&EVP_MD_CTX_free) fnFree = nullptr;
    decltype(&EVP_DigestInit_ex) fnInit = nullptr;
    decltype(&EVP_DigestUpdate) fnUpdate = nullptr;
    decltype(&EVP_DigestFinal_ex) fnFinal = nullptr;
    decltype(&EVP_sha256) fnSha256 = nullptr;

    bool IsComplete() const { return fnNew && fnFree && fnInit && fnUpdate && fnFinal && fnSha256; }
};

const Crypto& LoadCrypto()
{
    static const Crypto s_crypto = [] {
        Crypto crypto;
        QLibrary library(QStringLiteral("crypto"), OPENSSL_VERSION_MAJOR);
        if (!library.load())
            return crypto;
        const auto fnResolve = [&library](auto& fn, const char* szName) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(library.resolve(szName));
        };
        fnResolve(crypto.fnNew, "EVP_MD_CTX_new");
        fnResolve(crypto.fnFree, "EVP_MD_CTX_free");
        fnResolve(crypto.fnInit, "EVP_DigestInit_ex");
        fnResolve(crypto.fnUpdate, "EVP_DigestUpdate");
        fnResolve(crypto.fnFinal, "EVP_DigestFinal_ex");
        fnResolve(crypto.fnSha256, "EVP_sha256");
        return crypto.IsComplete() ? crypto : Crypto();
    }();
    return s_crypto;
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
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    CSha256 sha256;
    QByteArray baChunk(int(kReadChunkBytes), Qt::Uninitialized);
    for (;;) {
        const qint64 nRead = file.read(baChunk.data(), kReadChunkBytes);
        if (nRead < 0)
            return QString();
        if (nRead == 0)
            break;
        sha256.Add(baChunk.constData(), size_t(nRead));
    }
    return sha256.Hex();
}

QString Sha256OfBytes(const QByteArray& baBytes)
{
    CSha256 sha256;
    sha256.Add(baBytes.constData(), size_t(baBytes.size()));
    return sha256.Hex();
}

CSha256::CSha256()
{
    const Crypto& crypto = LoadCrypto();
    if (!crypto.IsComplete()) {
        m_upFallback = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
        m_bOk = true;
        return;
    }
    m_pContext = crypto.fnNew();
    m_bOk = m_pContext && crypto.fnInit(m_pContext, crypto.fnSha256(), nullptr) == 1;
}

CSha256::~CSha256()
{
    if (m_pContext)
        LoadCrypto().fnFree(m_pContext);
}

void CSha256::Add(const char* pData, size_t nBytes)
{
    if (m_upFallback)
        m_upFallback->addData(pData, int(nBytes));
    else
        m_bOk = m_bOk && LoadCrypto().fnUpdate(m_pContext, pData, nBytes) == 1;
}

QString CSha256::Hex()
{
    if (m_upFallback)
        return QString::fromLatin1(m_upFallback->result().toHex());
    unsigned char arrDigest[EVP_MAX_MD_SIZE];
    unsigned int nLength = 0;
    if (!m_bOk || LoadCrypto().fnFinal(m_pContext, arrDigest, &nLength) != 1)
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(arrDigest), int(nLength)).toHex());
}

QString WriteHashed(QFileDevice& file, const QByteArray& baBytes)
{
    CSha256 sha256;
    for (qint64 nDone = 0; nDone < baBytes.size(); nDone += kWriteBlockBytes) {
        const qint64 nBlock = std::min<qint64>(kWriteBlockBytes, baBytes.size() - nDone);
        if (file.write(baBytes.constData() + nDone, nBlock) != nBlock)
            return QString();
        sha256.Add(baBytes.constData() + nDone, size_t(nBlock));
    }
    return sha256.Hex();
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
