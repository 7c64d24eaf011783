// Feeds arbitrary text through cJSON into every alarm record and back out,
// and through the response-text entry. Aborts when the output of ToJSON does
// not parse, or when it does not settle after one trip (read, write, read,
// write must print the same text twice), or when the member lookup disagrees
// with cJSON's.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include <QLoggingCategory>

#include "protocol/JSONStruct/IntelAlarmInfoStruct.h"
#include "protocol/JSONStruct/JSONResponse.h"

namespace {

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

std::string Print(const cJSON* pNode)
{
    char* szText = cJSON_PrintUnformatted(pNode);
    if (!szText)
        std::abort(); // ToJSON built something cJSON cannot print
    std::string strText(szText);
    cJSON_free(szText);
    return strText;
}

template <class Record>
std::string PrintRecord(const Record& record)
{
    JsonPtr pNode(record.ToJSON());
    if (!pNode)
        std::abort();
    return Print(pNode.get());
}

template <class Record>
Record Reparse(const std::string& strText)
{
    JsonPtr pNode(cJSON_Parse(strText.c_str()));
    if (!pNode)
        std::abort(); // ToJSON wrote text that is not JSON
    return Record(pNode.get());
}

template <class Record>
void RoundTrip(const cJSON* pInput, std::uint8_t uFilterSeed)
{
    Record first(pInput);
    std::string strError;
    first.CheckRequired(strError);
    const Record second = Reparse<Record>(PrintRecord(first));
    const std::string strSecond = PrintRecord(second);
    if (PrintRecord(Reparse<Record>(strSecond)) != strSecond)
        std::abort();

    // The filter only removes keys; whatever it keeps must still parse.
    Record filtered(first);
    filtered.m_uIgnoreMode = uFilterSeed % 3;
    filtered.m_vecIgnoreList = first.m_setPresentKeys.Keys();
    Reparse<Record>(PrintRecord(filtered));
}

void RoundTripAll(const cJSON* pInput, std::uint8_t uSeed)
{
    using namespace protocol;
    RoundTrip<IntelAlarmInfoStruct>(pInput, uSeed);
    RoundTrip<AIOPAlarmInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmHumanInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmFaceInfo>(pInput, uSeed);
    RoundTrip<AlarmPictureInfo>(pInput, uSeed);
    RoundTrip<PictureRect>(pInput, uSeed);
    RoundTrip<IntelVCASmartAlarm>(pInput, uSeed);
    RoundTrip<IntelAlarmVehicleInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmMEFInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmNonMotorInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmFaceContrastInfo>(pInput, uSeed);
    RoundTrip<IntelAlarmPeopleInfo>(pInput, uSeed);
    RoundTrip<AIOpenPlatformInfo>(pInput, uSeed);
    RoundTrip<AIOPRuleInfo>(pInput, uSeed);
}

// The framework's member lookups must agree with cJSON's for every name.
void CheckLookup(const cJSON* pObject)
{
    const protocol::detail::MemberIndex members(pObject);
    const auto check = [&](const char* szKey) {
        const cJSON* pExpected = cJSON_GetObjectItem(pObject, szKey);
        if (protocol::detail::FindMember(pObject, szKey) != pExpected || members.Find(szKey) != pExpected)
            std::abort();
    };
    for (const cJSON* pChild = pObject->child; pChild; pChild = pChild->next) {
        if (pChild->string)
            check(pChild->string);
    }
    const protocol::KeyTable& keys = protocol::IntelAlarmInfoStruct::FieldKeys();
    for (int i = 0; i < keys.Count(); ++i)
        check(keys.KeyAt(i));
}

bool SilenceParseLog()
{
    // Most inputs are not JSON; logging each would drown the run.
    QLoggingCategory::setFilterRules(QStringLiteral("lsa.protocol.warning=false"));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static const bool s_bQuiet = SilenceParseLog();
    (void)s_bQuiet;
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);
    const std::uint8_t uSeed = nSize ? pData[nSize - 1] : 0;

    JsonPtr pRoot(cJSON_ParseWithLength(strText.data(), strText.size()));
    if (pRoot) {
        CheckLookup(pRoot.get());
        RoundTripAll(pRoot.get(), uSeed);
    }

    protocol::JSONResponse<protocol::IntelAlarmInfoStruct> response;
    if (response.FromText(strText)) {
        response.ErrorCode();
        PrintRecord(response);
    }
    return 0;
}
