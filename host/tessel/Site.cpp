#include "tessel/Site.h"

#include "tessel/GroupManager.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>
#include <unordered_set>
#include <variant>

namespace tessel {
namespace {

constexpr int kMaxChannel = 4096;

// How a field's JSON value is checked and converted.
enum class FieldKind { Id, Name, Text, Bool, Channel, Stream, Rights, LinkageRole };

template <class R>
struct Field
{
    const char* pszKey;
    FieldKind eKind;
    bool bRequired;
    std::variant<std::string R::*, bool R::*, int32_t R::*, uint32_t R::*> member;
};

// Each record's fields, in one list: the parser reads them, the README names them.
const Field<GroupInfo> kGroupFields[] = {
    {"id", FieldKind::Id, true, &GroupInfo::strGUID},
    {"name", FieldKind::Name, true, &GroupInfo::strName},
};

const Field<CameraInfo> kCameraFields[] = {
    {"guid", FieldKind::Id, true, &CameraInfo::strGUID},
    {"name", FieldKind::Name, true, &CameraInfo::strName},
    {"group", FieldKind::Id, true, &CameraInfo::strGroupID},
    {"online", FieldKind::Bool, false, &CameraInfo::bOnline},
    {"enabled", FieldKind::Bool, false, &CameraInfo::bEnabled},
    {"alarmSource", FieldKind::Text, false, &CameraInfo::strAlarmSourceID},
    {"device", FieldKind::Text, false, &CameraInfo::strDeviceName},
    {"channel", FieldKind::Channel, false, &CameraInfo::nChannel},
    {"stream", FieldKind::Stream, false, &CameraInfo::strStreamUrl},
    {"ptz", FieldKind::Bool, false, &CameraInfo::bHasPTZ},
    {"sound", FieldKind::Bool, false, &CameraInfo::bHasSound},
    {"rights", FieldKind::Rights, false, &CameraInfo::uRights},
    {"linkageRole", FieldKind::LinkageRole, false, &CameraInfo::strLinkageRole},
};

const Field<AlarmInputInfo> kAlarmInputFields[] = {
    {"guid", FieldKind::Id, true, &AlarmInputInfo::strGUID},
    {"name", FieldKind::Name, true, &AlarmInputInfo::strName},
    {"group", FieldKind::Id, true, &AlarmInputInfo::strGroupID},
};

struct RightName
{
    const char* pszName;
    CameraRight eRight;
};
const RightName kRightNames[] = {
    {"liveView", CameraRightLiveView}, {"ptz", CameraRightPTZ}, {"screenshot", CameraRightScreenshot},
    {"record", CameraRightRecord},     {"sound", CameraRightSound},
};

bool IsStreamAddress(const QString& strUrl)
{
    static const char* const kSchemes[] = {"test:", "file://", "http://", "https://", "rtsp://"};
    for (const char* pszScheme : kSchemes) {
        if (strUrl.startsWith(QLatin1String(pszScheme), Qt::CaseInsensitive))
            return true;
    }
    // A local file: an absolute path or one relative to the site file.
    return !strUrl.contains(QLatin1String("://"));
}

bool HasControlCharacters(const QString& strText)
{
    for (const QChar ch : strText) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Converts one value; on failure returns false with what was expected.
template <class R>
bool ReadValue(const Field<R>& field, const QJsonValue& value, R& record, QString& strProblem)
{
    switch (field.eKind) {
    case FieldKind::Id:
    case FieldKind::Name:
    case FieldKind::Text:
    case FieldKind::Stream:
    case FieldKind::LinkageRole: {
        if (!value.isString()) {
            strProblem = QStringLiteral("expected text");
            return false;
        }
        const QString strText = value.toString();
        const int nMax = field.eKind == FieldKind::Id ? kMaxSiteIdLength : kMaxSiteNameLength;
        if (field.eKind == FieldKind::Id && strText.trimmed().isEmpty()) {
            strProblem = QStringLiteral("empty");
            return false;
        }
        if (field.eKind != FieldKind::Stream && strText.size() > nMax) {
            strProblem = QStringLiteral("longer than %1 characters").arg(nMax);
            return false;
        }
        if (HasControlCharacters(strText)) {
            strProblem = QStringLiteral("holds control characters");
            return false;
        }
        if (field.eKind == FieldKind::Stream && !IsStreamAddress(strText)) {
            strProblem = QStringLiteral("not a test:, file, http(s):// or rtsp:// address");
            return false;
        }
        if (field.eKind == FieldKind::LinkageRole && !strText.isEmpty() && strText != QLatin1String("panoramic")
            && strText != QLatin1String("linked")) {
            strProblem = QStringLiteral("expected \"panoramic\", \"linked\" or \"\"");
            return false;
        }
        record.*std::get<std::string R::*>(field.member) = strText.toStdString();
        return true;
    }
    case FieldKind::Bool:
        if (!value.isBool()) {
            strProblem = QStringLiteral("expected true or false");
            return false;
        }
        record.*std::get<bool R::*>(field.member) = value.toBool();
        return true;
    case FieldKind::Channel: {
        const double dValue = value.toDouble(-1);
        if (!value.isDouble() || dValue != static_cast<int>(dValue) || dValue < 1 || dValue > kMaxChannel) {
            strProblem = QStringLiteral("expected a whole number from 1 to %1").arg(kMaxChannel);
            return false;
        }
        record.*std::get<int32_t R::*>(field.member) = static_cast<int32_t>(dValue);
        return true;
    }
    case FieldKind::Rights: {
        if (!value.isArray()) {
            strProblem = QStringLiteral("expected a list of rights");
            return false;
        }
        uint32_t uRights = 0;
        for (const QJsonValue& right : value.toArray()) {
            const auto* pIt = std::find_if(std::begin(kRightNames), std::end(kRightNames), [&](const RightName& r) {
                return right.toString() == QLatin1String(r.pszName);
            });
            if (pIt == std::end(kRightNames)) {
                strProblem = QStringLiteral("unknown right (known: liveView, ptz, screenshot, record, sound)");
                return false;
            }
            uRights |= pIt->eRight;
        }
        record.*std::get<uint32_t R::*>(field.member) = uRights;
        return true;
    }
    }
    return false;
}

// Collects messages, up to a limit, then only counts them.
class CMessages
{
public:
    explicit CMessages(QString strSource)
        : m_strSource(std::move(strSource))
    {
    }
    void Add(const QString& strText)
    {
        if (m_lstMessages.size() < kMaxSiteMessages)
            m_lstMessages << m_strSource + QStringLiteral(": ") + strText;
        else
            ++m_nDropped;
    }
    QStringList Take()
    {
        if (m_nDropped > 0)
            m_lstMessages << m_strSource + QStringLiteral(": %1 more problems not listed").arg(m_nDropped);
        return std::move(m_lstMessages);
    }

private:
    QString m_strSource;
    QStringList m_lstMessages;
    int m_nDropped = 0;
};

QString ItemName(const char* pszKind, int nIndex, const QJsonObject& object, const char* pszIdKey)
{
    QString strName = QStringLiteral("%1 %2").arg(QLatin1String(pszKind)).arg(nIndex + 1);
    const QString strId = object.value(QLatin1String(pszIdKey)).toString().trimmed();
    if (!strId.isEmpty())
        strName += QStringLiteral(" \"%1\"").arg(strId.left(kMaxSiteIdLength));
    return strName;
}

// Reads one record: every field of the list, the unknown keys reported.
template <class R, size_t N>
bool ReadRecord(const QJsonObject& object, const Field<R> (&fields)[N], const QString& strItem, R& record,
                CMessages& messages)
{
    for (const Field<R>& field : fields) {
        const QJsonValue value = object.value(QLatin1String(field.pszKey));
        if (value.isUndefined()) {
            if (!field.bRequired)
                continue;
            messages.Add(QStringLiteral("%1: field \"%2\": missing; skipped").arg(strItem, QLatin1String(field.pszKey)));
            return false;
        }
        QString strProblem;
        if (!ReadValue(field, value, record, strProblem)) {
            messages.Add(
                QStringLiteral("%1: field \"%2\": %3; skipped").arg(strItem, QLatin1String(field.pszKey), strProblem));
            return false;
        }
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool bKnown = std::any_of(std::begin(fields), std::end(fields),
                                        [&](const Field<R>& f) { return it.key() == QLatin1String(f.pszKey); });
        if (!bKnown)
            messages.Add(QStringLiteral("%1: field \"%2\": unknown; ignored").arg(strItem, it.key().left(64)));
    }
    return true;
}

// Reads one array of records, skipping bad ones; bAccept adds the checks that
// need the rest of the site (duplicates, groups).
template <class R, size_t N, class Accept>
void ReadList(const QJsonObject& root, const char* pszKey, const char* pszKind, const char* pszIdKey,
              const Field<R> (&fields)[N], std::vector<R>& vecOut, CMessages& messages, Accept bAccept)
{
    const QJsonValue list = root.value(QLatin1String(pszKey));
    if (list.isUndefined())
        return;
    if (!list.isArray()) {
        messages.Add(QStringLiteral("field \"%1\": expected a list; ignored").arg(QLatin1String(pszKey)));
        return;
    }
    const QJsonArray array = list.toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonValue item = array.at(i);
        if (!item.isObject()) {
            messages.Add(QStringLiteral("%1 %2: expected an object; skipped").arg(QLatin1String(pszKind)).arg(i + 1));
            continue;
        }
        const QJsonObject object = item.toObject();
        const QString strItem = ItemName(pszKind, i, object, pszIdKey);
        R record;
        if (ReadRecord(object, fields, strItem, record, messages) && bAccept(record, strItem))
            vecOut.push_back(std::move(record));
    }
}

} // namespace

SiteLoadResult ParseSite(const QByteArray& baJson, const QString& strSource)
{
    SiteLoadResult result;
    CMessages messages(strSource);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(baJson, &error);
    if (error.error != QJsonParseError::NoError) {
        messages.Add(QStringLiteral("not JSON (%1 at byte %2); site not loaded").arg(error.errorString()).arg(error.offset));
        result.lstMessages = messages.Take();
        return result;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || !root.value(QLatin1String("groups")).isArray()) {
        messages.Add(QStringLiteral("field \"groups\": missing or not a list; site not loaded"));
        result.lstMessages = messages.Take();
        return result;
    }
    result.bUsable = true;
    SiteData& site = result.site;

    std::unordered_set<std::string> setGroups;
    ReadList(root, "groups", "group", "id", kGroupFields, site.vecGroups, messages,
             [&](const GroupInfo& group, const QString& strItem) {
                 if (setGroups.insert(group.strGUID).second)
                     return true;
                 messages.Add(QStringLiteral("%1: field \"id\": used twice; skipped").arg(strItem));
                 return false;
             });

    std::unordered_set<std::string> setElements;
    int nElements = 0;
    int nOverLimit = 0;
    // Cameras and alarm inputs share one GUID space and one size limit.
    auto acceptElement = [&](const std::string& strGUID, const std::string& strGroupID, const QString& strItem) {
        if (!setGroups.count(strGroupID)) {
            messages.Add(QStringLiteral("%1: field \"group\": no such group; skipped").arg(strItem));
            return false;
        }
        if (setElements.count(strGUID)) {
            messages.Add(QStringLiteral("%1: field \"guid\": used twice; skipped").arg(strItem));
            return false;
        }
        if (nElements >= kMaxSiteElements) {
            ++nOverLimit;
            return false;
        }
        setElements.insert(strGUID);
        ++nElements;
        return true;
    };
    ReadList(root, "cameras", "camera", "guid", kCameraFields, site.vecCameras, messages,
             [&](const CameraInfo& camera, const QString& strItem) {
                 return acceptElement(camera.strGUID, camera.strGroupID, strItem);
             });
    ReadList(root, "alarmInputs", "alarm input", "guid", kAlarmInputFields, site.vecAlarmInputs, messages,
             [&](const AlarmInputInfo& input, const QString& strItem) {
                 return acceptElement(input.strGUID, input.strGroupID, strItem);
             });
    if (nOverLimit > 0)
        messages.Add(QStringLiteral("%1 cameras and alarm inputs skipped: a site holds at most %2")
                         .arg(nOverLimit)
                         .arg(kMaxSiteElements));
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != QLatin1String("groups") && it.key() != QLatin1String("cameras")
            && it.key() != QLatin1String("alarmInputs"))
            messages.Add(QStringLiteral("field \"%1\": unknown; ignored").arg(it.key().left(64)));
    }
    result.lstMessages = messages.Take();
    return result;
}

SiteLoadResult LoadSiteFile(const QString& strPath)
{
    QFile file(strPath);
    const QString& strName = strPath;
    SiteLoadResult result;
    if (!file.exists()) {
        result.lstMessages << strName + QStringLiteral(": missing; site not loaded");
        return result;
    }
    if (file.size() > kMaxSiteFileBytes) {
        result.lstMessages << strName + QStringLiteral(": larger than %1 MiB; site not loaded").arg(kMaxSiteFileBytes >> 20);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.lstMessages << strName + QStringLiteral(": cannot be read (%1); site not loaded").arg(file.errorString());
        return result;
    }
    return ParseSite(file.read(kMaxSiteFileBytes), strName);
}

SiteLoadResult ApplySiteFile(const QString& strPath)
{
    SiteLoadResult result = LoadSiteFile(strPath);
    if (result.bUsable)
        CGroupManager::Instance().ApplySite(result.site);
    return result;
}

} // namespace tessel
