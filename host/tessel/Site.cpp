#include "tessel/Site.h"

#include "tessel/GroupManager.h"

#include "protocol/LogText.h"

#include <QFile>

#include <cjson/cJSON.h>

#include <memory>

#include <cmath>
#include <cstring>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <variant>

namespace tessel {
namespace {

constexpr int kMaxChannel = 4096;

// How a field's JSON value is checked and converted.
enum class FieldKind { Id, Name, Text, Bool, WholeNumber, Stream, Rights, LinkageRole, Analytics };

template <class R>
struct Field
{
    const char* pszKey;
    FieldKind eKind;
    bool bRequired;
    std::variant<std::string R::*, bool R::*, int32_t R::*, uint32_t R::*, Analytics::AnalyticsSettings R::*> member;
    // Whole numbers: the range allowed.
    int32_t nMin = 0;
    int32_t nMax = 0;
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
    {"channel", FieldKind::WholeNumber, false, &CameraInfo::nChannel, 1, kMaxChannel},
    {"stream", FieldKind::Stream, false, &CameraInfo::strStreamUrl},
    {"ptz", FieldKind::Bool, false, &CameraInfo::bHasPTZ},
    {"sound", FieldKind::Bool, false, &CameraInfo::bHasSound},
    {"rights", FieldKind::Rights, false, &CameraInfo::uRights},
    {"linkageRole", FieldKind::LinkageRole, false, &CameraInfo::strLinkageRole},
    {"analytics", FieldKind::Analytics, false, &CameraInfo::analytics},
    {"bufferSeconds", FieldKind::WholeNumber, false, &CameraInfo::nBufferSeconds, 0, kMaxBufferSeconds},
    {"bufferMiB", FieldKind::WholeNumber, false, &CameraInfo::nBufferMiB, 1, kMaxBufferMiB},
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
    {"liveView", CameraRightLiveView}, {"ptz", CameraRightPTZ},     {"screenshot", CameraRightScreenshot},
    {"record", CameraRightRecord},     {"sound", CameraRightSound}, {"playback", CameraRightPlayback},
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
bool ReadValue(const Field<R>& field, const cJSON* pValue, R& record, QString& strProblem)
{
    switch (field.eKind) {
    case FieldKind::Id:
    case FieldKind::Name:
    case FieldKind::Text:
    case FieldKind::Stream:
    case FieldKind::LinkageRole: {
        if (!cJSON_IsString(pValue)) {
            strProblem = QStringLiteral("expected text");
            return false;
        }
        const QString strText = QString::fromUtf8(pValue->valuestring);
        const int nMax = field.eKind == FieldKind::Id       ? kMaxSiteIdLength
                         : field.eKind == FieldKind::Stream ? kMaxSiteStreamLength
                                                            : kMaxSiteNameLength;
        if (field.eKind == FieldKind::Id && strText.trimmed().isEmpty()) {
            strProblem = QStringLiteral("empty");
            return false;
        }
        if (strText.size() > nMax) {
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
        if (!cJSON_IsBool(pValue)) {
            strProblem = QStringLiteral("expected true or false");
            return false;
        }
        record.*std::get<bool R::*>(field.member) = cJSON_IsTrue(pValue);
        return true;
    case FieldKind::WholeNumber: {
        const double dValue = cJSON_IsNumber(pValue) ? pValue->valuedouble : double(field.nMin) - 1;
        // Range first: converting a huge or non-finite number to int is undefined.
        if (!(dValue >= field.nMin && dValue <= field.nMax) || dValue != std::floor(dValue)) {
            strProblem = QStringLiteral("expected a whole number from %1 to %2").arg(field.nMin).arg(field.nMax);
            return false;
        }
        record.*std::get<int32_t R::*>(field.member) = static_cast<int32_t>(dValue);
        return true;
    }
    case FieldKind::Rights: {
        if (!cJSON_IsArray(pValue)) {
            strProblem = QStringLiteral("expected a list of rights");
            return false;
        }
        uint32_t uRights = 0;
        for (const cJSON* pRight = pValue->child; pRight; pRight = pRight->next) {
            const auto* pIt = std::find_if(std::begin(kRightNames), std::end(kRightNames), [&](const RightName& r) {
                return cJSON_IsString(pRight) && std::strcmp(pRight->valuestring, r.pszName) == 0;
            });
            if (pIt == std::end(kRightNames)) {
                strProblem =
                    QStringLiteral("unknown right (known: liveView, ptz, screenshot, record, sound, playback)");
                return false;
            }
            uRights |= pIt->eRight;
        }
        record.*std::get<uint32_t R::*>(field.member) = uRights;
        return true;
    }
    case FieldKind::Analytics:
        return Analytics::ReadAnalyticsSettings(
            pValue, record.*std::get<Analytics::AnalyticsSettings R::*>(field.member), strProblem);
    }
    return false;
}

// Collects messages, up to a limit, then only counts them.
class CMessages
{
public:
    explicit CMessages(const QString& strSource)
        : m_strSource(protocol::EscapeForLog(strSource))
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

QString ItemName(const char* pszKind, int nIndex, const cJSON* pObject, const char* pszIdKey)
{
    QString strName = QStringLiteral("%1 %2").arg(QLatin1String(pszKind)).arg(nIndex + 1);
    const cJSON* pId = cJSON_GetObjectItemCaseSensitive(pObject, pszIdKey);
    const QString strId = cJSON_IsString(pId) ? QString::fromUtf8(pId->valuestring).trimmed() : QString();
    if (!strId.isEmpty())
        strName += QStringLiteral(" \"%1\"").arg(protocol::EscapeForLog(strId.left(kMaxSiteIdLength)));
    return strName;
}

// Reads one record: every field of the list, the unknown keys reported.
template <class R, size_t N>
bool ReadRecord(const cJSON* pObject, const Field<R> (&fields)[N], const QString& strItem, R& record,
                CMessages& messages)
{
    for (const Field<R>& field : fields) {
        const cJSON* pValue = cJSON_GetObjectItemCaseSensitive(pObject, field.pszKey);
        if (!pValue) {
            if (!field.bRequired)
                continue;
            messages.Add(
                QStringLiteral("%1: field \"%2\": missing; skipped").arg(strItem, QLatin1String(field.pszKey)));
            return false;
        }
        QString strProblem;
        if (!ReadValue(field, pValue, record, strProblem)) {
            messages.Add(
                QStringLiteral("%1: field \"%2\": %3; skipped").arg(strItem, QLatin1String(field.pszKey), strProblem));
            return false;
        }
    }
    for (const cJSON* pMember = pObject->child; pMember; pMember = pMember->next) {
        const bool bKnown = std::any_of(std::begin(fields), std::end(fields), [&](const Field<R>& f) {
            return pMember->string && std::strcmp(pMember->string, f.pszKey) == 0;
        });
        if (!bKnown)
            messages.Add(QStringLiteral("%1: field \"%2\": unknown; ignored")
                             .arg(strItem, protocol::EscapeForLog(QString::fromUtf8(pMember->string).left(64))));
    }
    return true;
}

// Reads one array of records, skipping bad ones; bAccept adds the checks that
// need the rest of the site (duplicates, groups).
template <class R, size_t N, class Accept>
void ReadList(const cJSON* pRoot, const char* pszKey, const char* pszKind, const char* pszIdKey,
              const Field<R> (&fields)[N], std::vector<R>& vecOut, CMessages& messages, Accept bAccept)
{
    const cJSON* pList = cJSON_GetObjectItemCaseSensitive(pRoot, pszKey);
    if (!pList)
        return;
    if (!cJSON_IsArray(pList)) {
        messages.Add(QStringLiteral("field \"%1\": expected a list; ignored").arg(QLatin1String(pszKey)));
        return;
    }
    int i = 0;
    for (const cJSON* pItem = pList->child; pItem; pItem = pItem->next, ++i) {
        if (!cJSON_IsObject(pItem)) {
            messages.Add(QStringLiteral("%1 %2: expected an object; skipped").arg(QLatin1String(pszKind)).arg(i + 1));
            continue;
        }
        const QString strItem = ItemName(pszKind, i, pItem, pszIdKey);
        R record;
        if (ReadRecord(pItem, fields, strItem, record, messages) && bAccept(record, strItem))
            vecOut.push_back(std::move(record));
    }
}

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};

// GUIDs name the same element whatever their case.
std::string FoldedId(const std::string& strId)
{
    return QString::fromStdString(strId).toCaseFolded().toStdString();
}

bool IsSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

} // namespace

SiteLoadResult ParseSite(const QByteArray& baJson, const QString& strSource)
{
    SiteLoadResult result;
    CMessages messages(strSource);
    const char* pszEnd = nullptr;
    std::unique_ptr<cJSON, JsonDeleter> upRoot(
        cJSON_ParseWithLengthOpts(baJson.constData(), static_cast<size_t>(baJson.size()), &pszEnd, false));
    const char* const pszData = baJson.constData();
    while (upRoot && pszEnd && pszEnd < pszData + baJson.size() && IsSpace(*pszEnd))
        ++pszEnd;
    if (!upRoot || (pszEnd && pszEnd < pszData + baJson.size())) {
        const qint64 nOffset = pszEnd ? pszEnd - pszData : 0;
        messages.Add(QStringLiteral("not JSON (%1 at byte %2); site not loaded")
                         .arg(upRoot ? QStringLiteral("text after the end") : QStringLiteral("syntax error"))
                         .arg(nOffset));
        result.lstMessages = messages.Take();
        return result;
    }
    const cJSON* pRoot = upRoot.get();
    if (!cJSON_IsObject(pRoot) || !cJSON_IsArray(cJSON_GetObjectItemCaseSensitive(pRoot, "groups"))) {
        messages.Add(QStringLiteral("field \"groups\": missing or not a list; site not loaded"));
        result.lstMessages = messages.Take();
        return result;
    }
    result.bUsable = true;
    SiteData& site = result.site;

    std::unordered_map<std::string, std::string> mapGroups; // folded GUID -> GUID as first written
    ReadList(pRoot, "groups", "group", "id", kGroupFields, site.vecGroups, messages,
             [&](const GroupInfo& group, const QString& strItem) {
                 if (mapGroups.emplace(FoldedId(group.strGUID), group.strGUID).second)
                     return true;
                 messages.Add(QStringLiteral("%1: field \"id\": used twice; skipped").arg(strItem));
                 return false;
             });
    if (site.vecGroups.empty())
        messages.Add(QStringLiteral("field \"groups\": no group; the camera tree is empty"));

    std::unordered_set<std::string> setElements; // folded GUIDs
    int nElements = 0;
    int nOverLimit = 0;
    // Cameras and alarm inputs share one GUID space and one size limit; an
    // element names its group as the group itself is written.
    auto acceptElement = [&](const std::string& strGUID, std::string& strGroupID, const QString& strItem) {
        const auto itGroup = mapGroups.find(FoldedId(strGroupID));
        if (itGroup == mapGroups.end()) {
            messages.Add(QStringLiteral("%1: field \"group\": no such group; skipped").arg(strItem));
            return false;
        }
        const std::string strFolded = FoldedId(strGUID);
        if (setElements.count(strFolded)) {
            messages.Add(QStringLiteral("%1: field \"guid\": used twice; skipped").arg(strItem));
            return false;
        }
        if (nElements >= kMaxSiteElements) {
            ++nOverLimit;
            return false;
        }
        strGroupID = itGroup->second;
        setElements.insert(strFolded);
        ++nElements;
        return true;
    };
    ReadList(pRoot, "cameras", "camera", "guid", kCameraFields, site.vecCameras, messages,
             [&](CameraInfo& camera, const QString& strItem) {
                 return acceptElement(camera.strGUID, camera.strGroupID, strItem);
             });
    ReadList(pRoot, "alarmInputs", "alarm input", "guid", kAlarmInputFields, site.vecAlarmInputs, messages,
             [&](AlarmInputInfo& input, const QString& strItem) {
                 return acceptElement(input.strGUID, input.strGroupID, strItem);
             });
    if (nOverLimit > 0)
        messages.Add(QStringLiteral("%1 cameras and alarm inputs skipped: a site holds at most %2")
                         .arg(nOverLimit)
                         .arg(kMaxSiteElements));
    for (const cJSON* pMember = pRoot->child; pMember; pMember = pMember->next) {
        const QString strKey = QString::fromUtf8(pMember->string);
        if (strKey != QLatin1String("groups") && strKey != QLatin1String("cameras")
            && strKey != QLatin1String("alarmInputs"))
            messages.Add(QStringLiteral("field \"%1\": unknown; ignored").arg(protocol::EscapeForLog(strKey.left(64))));
    }
    result.lstMessages = messages.Take();
    return result;
}

SiteLoadResult LoadSiteFile(const QString& strPath)
{
    QFile file(strPath);
    const QString strName = protocol::EscapeForLog(strPath);
    SiteLoadResult result;
    if (!file.exists()) {
        result.lstMessages << strName + QStringLiteral(": missing; site not loaded");
        return result;
    }
    if (file.size() > kMaxSiteFileBytes) {
        result.lstMessages
            << strName + QStringLiteral(": larger than %1 MiB; site not loaded").arg(kMaxSiteFileBytes >> 20);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.lstMessages << strName
                                  + QStringLiteral(": cannot be read (%1); site not loaded").arg(file.errorString());
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
