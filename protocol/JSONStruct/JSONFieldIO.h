#pragma once
// Reading and writing of record fields by type, and the two loops that every
// record's FromJSON and ToJSON run over its field list.

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "protocol/JSONStruct/JSONLimits.h"
#include "protocol/JSONStruct/JSONStructBase.h"

namespace protocol::detail {

// tolower() without a library call per byte: on glibc its own table of the
// thread's current locale, which is what tolower() reads.
#if defined(__GLIBC__)
struct LowerCase {
    const std::int32_t* m_pTable = *__ctype_tolower_loc();
    int operator()(unsigned char uc) const { return m_pTable[uc]; }
};
#else
struct LowerCase {
    int operator()(unsigned char uc) const { return std::tolower(uc); }
};
#endif

// The member cJSON_GetObjectItem finds: names compared byte by byte through
// tolower() of the current locale, first match wins; only faster.
const cJSON* FindMember(const cJSON* pObject, const char* szKey);

// The same lookup for many keys on one object: the members are gathered once
// with a short signature of their names, so each key scans a small array
// instead of the member list. Objects with very many members fall back to
// FindMember. The index is built at the first lookup that needs it.
class MemberIndex {
public:
    explicit MemberIndex(const cJSON* pObject)
        : m_pObject(pObject)
        , m_pNext(pObject ? pObject->child : nullptr)
    {
    }
    const cJSON* Find(const char* szKey, std::size_t nKeyLength) const
    {
        if (!m_bIndexed)
            Build();
        const std::uint64_t ullSignature = Signature(szKey, nKeyLength);
        if (!m_bOverflow && !(m_ullSignatureBits & SignatureBit(ullSignature)))
            return nullptr;
        return Scan(szKey, nKeyLength, ullSignature);
    }
    const cJSON* Find(const char* szKey) const;

    // The same for keys asked in turn that all differ (ignoring case), as a
    // record's do. Members mostly come in the order the keys are asked, so the
    // member after the last one found is tried first, spelled exactly: while
    // every member before it has been found, it is the first match.
    const cJSON* FindInTurn(const char* szKey, std::size_t nKeyLength) const
    {
        if (m_bInTurn && m_pNext && m_pNext->string && SameSpelling(m_pNext->string, szKey, nKeyLength))
            return std::exchange(m_pNext, m_pNext->next);
        // Most keys a record declares are absent: the signature bits answer
        // them here once the index exists.
        if (m_bIndexed && !m_bOverflow && !(m_ullSignatureBits & SignatureBit(Signature(szKey, nKeyLength))))
            return nullptr;
        return FindOutOfTurn(szKey, nKeyLength);
    }

private:
    // Short names byte for byte, in line; longer ones (lists, nested records)
    // measured by the library's word-wise strnlen, then compared as blocks.
    static bool SameSpelling(const char* szName, const char* szKey, std::size_t nKeyLength)
    {
        if (nKeyLength >= kBlockCompareFrom)
            return szName[0] == szKey[0] && strnlen(szName, nKeyLength + 1) == nKeyLength
                   && std::memcmp(szName, szKey, nKeyLength) == 0;
        for (std::size_t i = 0; i < nKeyLength; ++i)
            if (szName[i] != szKey[i])
                return false;
        return szName[nKeyLength] == '\0';
    }
    static constexpr std::size_t kBlockCompareFrom = 12;

    const cJSON* FindOutOfTurn(const char* szKey, std::size_t nKeyLength) const;
    void Build() const;
    const cJSON* Scan(const char* szKey, std::size_t nKeyLength, std::uint64_t ullSignature) const;

    static constexpr int kCapacity = 64;

    // Case-insensitive equality compares byte for byte, so equal names have equal lengths.
    std::uint64_t Signature(const char* szName, std::size_t nLength) const
    {
        return std::uint64_t{nLength} << 32
               | static_cast<std::uint32_t>(m_lower(static_cast<unsigned char>(szName[0])));
    }

    static std::uint64_t SignatureBit(std::uint64_t ullSignature)
    {
        return std::uint64_t{1} << ((ullSignature >> 32) * 7 + (ullSignature & 0xFF)) % 64;
    }

    LowerCase m_lower;
    const cJSON* m_pObject;
    mutable const cJSON* m_pNext;
    mutable bool m_bInTurn = true;
    mutable bool m_bIndexed = false;
    mutable int m_nCount = 0;
    // One bit per signature present: most declared keys are absent from an
    // alarm, and this answers them without a scan.
    mutable std::uint64_t m_ullSignatureBits = 0;
    mutable bool m_bOverflow = false;
    // Length and folded first byte of each named member: names that differ
    // in either cannot match, so most are passed over without reading them.
    mutable std::uint64_t m_aullSignature[kCapacity];
    mutable const cJSON* m_apMembers[kCapacity];
};

// The kind of a node, as cJSON_Is* tell it, without a call into the library
// per field.
inline bool HasKind(const cJSON* pItem, int nKind)
{
    return (pItem->type & 0xFF) == nKind;
}

// Truncates towards zero and saturates to the 32-bit range; NaN gives 0.
int SaturateToInt32(double dValue);
// A node's integer value: numbers as above, 1 for true, 0 for anything else.
inline int ToInt32(const cJSON* pItem)
{
    if (HasKind(pItem, cJSON_Number))
        return SaturateToInt32(pItem->valuedouble);
    return HasKind(pItem, cJSON_True) ? 1 : 0;
}

inline void ReadValue(const cJSON* pItem, bool& bValue)
{
    bValue = ToInt32(pItem) == 1;
}
inline void ReadValue(const cJSON* pItem, int& nValue)
{
    nValue = ToInt32(pItem);
}
inline void ReadValue(const cJSON* pItem, double& dValue)
{
    dValue = HasKind(pItem, cJSON_Number) ? pItem->valuedouble : 0.0;
}
void ReadValue(const cJSON* pItem, std::string& strValue);

template <class Record, class = std::enable_if_t<std::is_base_of_v<IJSONStruct, Record>>>
void ReadValue(const cJSON* pItem, Record& record)
{
    record.Record::FromJSON(pItem);
}

// Logs a list refused for holding more than kMaxListLength elements.
void LogListTooLong(int nLength);

// Every child becomes one element, built in place; non-objects give default
// elements. A list longer than kMaxListLength is refused (read as empty).
template <class Record>
void ReadValue(const cJSON* pArray, std::vector<Record>& vecRecords)
{
    if (!pArray->child)
        return;  // no children, no elements
    int nLength = 0;
    for (const cJSON* pChild = pArray->child; pChild; pChild = pChild->next)
        ++nLength;
    if (nLength > kMaxListLength) {
        LogListTooLong(nLength);
        return;
    }
    vecRecords.reserve(static_cast<std::size_t>(nLength));
    for (const cJSON* pChild = pArray->child; pChild; pChild = pChild->next) {
        vecRecords.emplace_back();
        vecRecords.back().Record::FromJSON(pChild);
    }
}

template <class T>
void ClearIfList(T&)
{
}
template <class T>
void ClearIfList(std::vector<T>& vec)
{
    vec.clear();
}

using Filter = SerializationIgnoreItemFeatures;

inline bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, bool bValue)
{
    return filter.AddBoolToObject(pObject, szKey, bValue);
}
inline bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, int nValue)
{
    return filter.AddNumberToObject(pObject, szKey, static_cast<double>(nValue));
}
inline bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, double dValue)
{
    return filter.AddNumberToObject(pObject, szKey, dValue);
}
inline bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, const std::string& strValue)
{
    return filter.AddStringToObject(pObject, szKey, strValue);
}

template <class Record, class = std::enable_if_t<std::is_base_of_v<IJSONStruct, Record>>>
bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, const Record& record)
{
    return filter.IsIgnored(szKey) || filter.AddItemToObject(pObject, szKey, record.Record::ToJSON());
}

template <class Record>
bool WriteValue(const Filter& filter, cJSON* pObject, const char* szKey, const std::vector<Record>& vecRecords)
{
    if (filter.IsIgnored(szKey))
        return true;
    cJSON* pArray = cJSON_CreateArray();
    if (!pArray)
        return false;
    for (const Record& record : vecRecords) {
        cJSON* pElement = record.Record::ToJSON();
        if (!pElement) {
            cJSON_Delete(pArray);
            return false;
        }
        cJSON_AddItemToArray(pArray, pElement);
    }
    return filter.AddItemToObject(pObject, szKey, pArray);
}

// FromJSON of a record: lists are emptied first, then each present key is read
// and recorded under the record's own spelling.
template <class Record>
void ReadFields(Record& record, const cJSON* pNode)
{
    if (!pNode)
        return;
    const bool bDistinct = Record::FieldKeys().AreDistinct();
    const MemberIndex members(pNode);
    record.VisitFields([&](auto& field, const char* szKey, int nIndex, std::size_t nLength) {
        ClearIfList(field);
        const cJSON* pItem = bDistinct ? members.FindInTurn(szKey, nLength) : members.Find(szKey, nLength);
        if (!pItem)
            return;
        ReadValue(pItem, field);
        record.m_setPresentKeys.Insert(nIndex);
    });
}

// ToJSON of a record: every field the record's own filter lets through, in
// JSON order; a failed allocation ends the build with what was made so far.
template <class Record>
cJSON* WriteFields(const Record& record)
{
    cJSON* pObject = cJSON_CreateObject();
    if (!pObject)
        return nullptr;
    bool bOk = true;
    record.VisitFields([&](const auto& field, const char* szKey, int, std::size_t) {
        bOk = bOk && WriteValue(record, pObject, szKey, field);
    });
    return pObject;
}

}  // namespace protocol::detail
