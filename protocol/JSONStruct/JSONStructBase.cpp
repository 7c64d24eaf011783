#include "protocol/JSONStruct/JSONStructBase.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace protocol {

namespace {

// Fills a check message: the key for %s and, where the message has one, the limit for %d.
std::string Format(const char* szFormat, const char* szKey, int nLimit)
{
    const char* szName = szKey ? szKey : "";
    const int nLength = std::snprintf(nullptr, 0, szFormat, szName, nLimit);
    std::string strText(nLength > 0 ? static_cast<std::size_t>(nLength) : 0u, '\0');
    std::snprintf(strText.data(), strText.size() + 1, szFormat, szName, nLimit);
    return strText;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The full-width opening quotation mark as the host's code page (GBK) spells it.
constexpr const char* kFullWidthQuote = "\xA1\xB0";

}  // namespace

KeyTable::KeyTable(const char* const* ppKeys, int nCount)
    : m_ppKeys(ppKeys)
    , m_nCount(nCount)
{
    m_mapIndex.reserve(static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount; ++i) {
        m_mapIndex.emplace(ppKeys[i], i);  // a repeated key keeps its first index
        m_vecLengths.push_back(std::strlen(ppKeys[i]));
        for (int j = 0; j < i && m_bDistinct; ++j)
            m_bDistinct = !std::equal(ppKeys[i], ppKeys[i] + m_vecLengths.back() + 1, ppKeys[j],
                                      [](char c1, char c2) { return AsciiLower(c1) == AsciiLower(c2); });
    }
}

int KeyTable::IndexOf(std::string_view key) const
{
    const auto it = m_mapIndex.find(key);
    return it == m_mapIndex.end() ? -1 : it->second;
}

bool PresentKeySet::Contains(std::string_view key) const
{
    const KeyTable* pTable = Table();
    if (!pTable)
        return false;
    const int nIndex = pTable->IndexOf(key);
    return nIndex >= 0 && (m_uBits >> nIndex & 1u);
}

int PresentKeySet::Size() const
{
    return static_cast<int>(std::bitset<kMaxKeys>(m_uBits).count());
}

std::vector<std::string> PresentKeySet::Keys() const
{
    std::vector<std::string> vecKeys;
    const KeyTable* pTable = Table();
    for (int i = 0; pTable && i < pTable->Count(); ++i) {
        if (m_uBits >> i & 1u)
            vecKeys.emplace_back(pTable->KeyAt(i));
    }
    return vecKeys;
}

bool SerializationIgnoreItemFeatures::IsIgnored(const char* szKey) const
{
    if (!szKey || !*szKey)
        return false;
    if (m_uIgnoreMode != kIgnoreListed && m_uIgnoreMode != kWriteOnlyListed)
        return false;
    const bool bListed = std::find(m_vecIgnoreList.begin(), m_vecIgnoreList.end(), szKey) != m_vecIgnoreList.end();
    return m_uIgnoreMode == kIgnoreListed ? bListed : !bListed;
}

bool SerializationIgnoreItemFeatures::AddBoolToObject(cJSON* pObject, const char* szKey, bool bValue) const
{
    return IsIgnored(szKey) || AddItemToObject(pObject, szKey, cJSON_CreateBool(bValue));
}

bool SerializationIgnoreItemFeatures::AddNumberToObject(cJSON* pObject, const char* szKey, double dValue) const
{
    if (IsIgnored(szKey))
        return true;
    // cJSON converts the number to int itself, which is undefined for NaN.
    cJSON* pItem = cJSON_CreateNumber(std::isnan(dValue) ? 0.0 : dValue);
    if (pItem)
        pItem->valuedouble = dValue;
    return AddItemToObject(pObject, szKey, pItem);
}

bool SerializationIgnoreItemFeatures::AddStringToObject(cJSON* pObject, const char* szKey,
                                                        const std::string& strValue) const
{
    return IsIgnored(szKey) || AddItemToObject(pObject, szKey, cJSON_CreateString(strValue.c_str()));
}

bool SerializationIgnoreItemFeatures::AddItemToObject(cJSON* pObject, const char* szKey, cJSON* pItem) const
{
    if (IsIgnored(szKey)) {
        cJSON_Delete(pItem);
        return true;
    }
    if (!pItem)
        return false;
    // cJSON copies the key into memory the item owns.
    if (!pObject || !szKey || !cJSON_AddItemToObject(pObject, szKey, pItem)) {
        cJSON_Delete(pItem);
        return false;
    }
    return true;
}

bool IInboundData::CheckRequired(std::string& /*strError*/) const
{
    return true;
}

bool IInboundData::CheckKeyExist(const char* szKey, std::string& strError) const
{
    strError.clear();
    if (szKey && m_setPresentKeys.Contains(szKey))
        return true;
    strError = Format("%s field not exist!", szKey, 0);
    return false;
}

bool IInboundData::CheckNotEmpty(const char* szKey, std::size_t nSize, std::string& strError)
{
    strError.clear();
    if (nSize > 0)
        return true;
    strError = Format("%s can't be empty!", szKey, 0);
    return false;
}

bool IInboundData::CheckIntRange(const char* szKey, int nValue, int nMin, int nMax, std::string& strError)
{
    strError.clear();
    if (nValue < nMin)
        strError = Format("%s is lesser than %d.", szKey, nMin);
    else if (nValue > nMax)
        strError = Format("%s is greater than %d.", szKey, nMax);
    return strError.empty();
}

bool IInboundData::CheckTextLength(const char* szKey, const std::string& strText, int nMaxLength, std::string& strError)
{
    strError.clear();
    if (nMaxLength >= 0 && strText.size() <= static_cast<std::size_t>(nMaxLength))
        return true;
    strError = Format("%s length is greater than %d.", szKey, nMaxLength);
    return false;
}

bool IInboundData::CheckTextChars(const char* szKey, const std::string& strText, std::string& strError)
{
    strError.clear();
    const bool bInvalid =
        strText.find_first_of("/:*?<>|") != std::string::npos || strText.find(kFullWidthQuote) != std::string::npos;
    if (!bInvalid)
        return true;
    strError = std::string(szKey ? szKey : "") + " contain invalid char [/:*?" + kFullWidthQuote + "<>|].";
    return false;
}

}  // namespace protocol
