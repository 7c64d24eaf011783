#include "protocol/JSONStruct/JSONFieldIO.h"

#include "protocol/ProtocolLogging.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace protocol::detail {

namespace {

bool EqualIgnoringCase(const LowerCase& lower, const char* szName, const char* szKey)
{
    for (;; ++szName, ++szKey) {
        const auto ucName = static_cast<unsigned char>(*szName);
        const auto ucKey = static_cast<unsigned char>(*szKey);
        if (ucName != ucKey && lower(ucName) != lower(ucKey))
            return false;
        if (ucName == '\0')
            return true;
    }
}

// The same for two names of one known length: equal spellings, the usual
// case, are compared eight bytes at a time before any byte is folded.
bool EqualIgnoringCase(const LowerCase& lower, const char* szName, const char* szKey, std::size_t nLength)
{
    std::size_t nSame = 0;
    for (; nSame + 8 <= nLength; nSame += 8) {
        std::uint64_t ullName;
        std::uint64_t ullKey;
        std::memcpy(&ullName, szName + nSame, 8);
        std::memcpy(&ullKey, szKey + nSame, 8);
        if (ullName != ullKey)
            break;
    }
    return EqualIgnoringCase(lower, szName + nSame, szKey + nSame);
}

}  // namespace

const cJSON* FindMember(const cJSON* pObject, const char* szKey)
{
    if (!pObject || !szKey)
        return nullptr;
    const LowerCase lower;
    for (const cJSON* pChild = pObject->child; pChild; pChild = pChild->next) {
        if (pChild->string && EqualIgnoringCase(lower, pChild->string, szKey))
            return pChild;
    }
    return nullptr;
}

const cJSON* MemberIndex::FindOutOfTurn(const char* szKey, std::size_t nKeyLength) const
{
    const cJSON* pFound = Find(szKey, nKeyLength);
    if (pFound && pFound == m_pNext)
        m_pNext = m_pNext->next;
    else if (pFound)
        m_bInTurn = false;
    return pFound;
}

void MemberIndex::Build() const
{
    m_bIndexed = true;
    for (const cJSON* pChild = m_pObject ? m_pObject->child : nullptr; pChild; pChild = pChild->next) {
        if (!pChild->string)
            continue;  // unnamed members never match, as in cJSON
        if (m_nCount == kCapacity) {
            m_bOverflow = true;
            return;
        }
        m_aullSignature[m_nCount] = Signature(pChild->string, std::strlen(pChild->string));
        m_ullSignatureBits |= SignatureBit(m_aullSignature[m_nCount]);
        m_apMembers[m_nCount++] = pChild;
    }
}

const cJSON* MemberIndex::Scan(const char* szKey, std::size_t nKeyLength, std::uint64_t ullSignature) const
{
    if (m_bOverflow)
        return FindMember(m_pObject, szKey);
    for (int i = 0; i < m_nCount; ++i) {
        if (m_aullSignature[i] == ullSignature && EqualIgnoringCase(m_lower, m_apMembers[i]->string, szKey, nKeyLength))
            return m_apMembers[i];
    }
    return nullptr;
}

const cJSON* MemberIndex::Find(const char* szKey) const
{
    return szKey ? Find(szKey, std::strlen(szKey)) : nullptr;
}

int SaturateToInt32(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (dValue <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(dValue);
}

void ReadValue(const cJSON* pItem, std::string& strValue)
{
    if (HasKind(pItem, cJSON_String) && pItem->valuestring)
        strValue.assign(pItem->valuestring);
    else
        strValue.clear();
}

void LogListTooLong(int nLength)
{
    qCWarning(lcProtocol, "Refused a list of %d elements (limit %d); it is read as empty.", nLength, kMaxListLength);
}

}  // namespace protocol::detail
