#pragma once

// The layout of an incident export that its writer (the linkage view) and its
// checker (LinkageDashboard --verify-export) share: the manifest's name and
// format, the hidden name of an export being written, and the check itself.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

struct evp_md_ctx_st;
class QCryptographicHash;
class QFileDevice;

namespace LinkageSnapAlarm::IncidentManifest {

constexpr const char* kFileName = "manifest.json";
constexpr const char* kFormat = "LinkageIncidentExport";
constexpr int kVersion = 1;

// The hidden name an export has while it is written; its lock file beside it.
QString TemporaryName(const QString& strFinalName);
QString LockPath(const QString& strTemporaryPath);
bool IsTemporaryName(const QString& strName);

// The SHA-256 of a file as lower-case hex; empty when it cannot be read.
// OpenSSL's, which uses the processor's SHA instructions: an export hashes
// every byte of its clips, and Qt's own SHA-256 is about ten times slower.
QString Sha256Of(const QString& strPath);
QString Sha256OfBytes(const QByteArray& baBytes);

// SHA-256 fed piece by piece: a file hashed from the bytes it is written from,
// while they are still in the cache, instead of reading it back. OpenSSL's,
// loaded on the first hash, so the dashboard's start does not load libcrypto;
// without the library Qt's own (slower) SHA-256 gives the same digest.
class CSha256
{
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void Add(const char* pData, size_t nBytes);
    // Lower-case hex of all that was added; empty when the digest failed.
    QString Hex();

private:
    evp_md_ctx_st* m_pContext = nullptr; // null when Qt's digest stands in
    std::unique_ptr<QCryptographicHash> m_upFallback;
    bool m_bOk = false;
};

// Writes bytes to an open file in blocks, each hashed right after its write
// while it is still in the cache; the SHA-256 as hex, empty when either failed.
QString WriteHashed(QFileDevice& file, const QByteArray& baBytes);

// The outcome of checking an export against its manifest.
struct Check
{
    bool bOk = false;
    QString strError;       // the manifest is missing or unreadable
    QStringList lstChanged; // files whose bytes differ from the manifest's hash
    QStringList lstMissing; // files the manifest lists that are gone
};
Check Verify(const QString& strFolder);

} // namespace LinkageSnapAlarm::IncidentManifest
