#pragma once
// Base types of every JSON record: the present-key set, the output filter and
// the three record roots (inbound, return and LPC data).

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <cJSON.h>

namespace protocol {

// The keys one record type declares, in JSON order, with a hash index so that
// presence tests cost the same for every record size.
class KeyTable {
public:
    KeyTable(const char* const* ppKeys, int nCount);
    int IndexOf(std::string_view key) const;  // -1 when the record does not declare it
    const char* KeyAt(int nIndex) const { return m_ppKeys[nIndex]; }
    std::size_t LengthAt(int nIndex) const { return m_vecLengths[static_cast<std::size_t>(nIndex)]; }
    int Count() const { return m_nCount; }
    // No two keys are equal ignoring case (ASCII).
    bool AreDistinct() const { return m_bDistinct; }

private:
    const char* const* m_ppKeys;
    int m_nCount;
    bool m_bDistinct = true;
    std::vector<std::size_t> m_vecLengths;
    std::unordered_map<std::string_view, int> m_mapIndex;
};

// The keys FromJSON found, spelled as the record declares them. A bit per
// declared key keeps parsing free of allocations and copies trivially.
class PresentKeySet {
public:
    static constexpr int kMaxKeys = 64;

    using TableFn = const KeyTable& (*)();
    // The table is fetched when asked for, so constructing a record costs one store.
    void Bind(TableFn fnTable) { m_fnTable = fnTable; }
    void Insert(int nIndex) { m_uBits |= std::uint64_t{1} << nIndex; }
    bool Contains(std::string_view key) const;
    int Size() const;
    bool IsEmpty() const { return m_uBits == 0; }
    std::vector<std::string> Keys() const;  // in JSON order

private:
    const KeyTable* Table() const { return m_fnTable ? &m_fnTable() : nullptr; }

    TableFn m_fnTable = nullptr;
    std::uint64_t m_uBits = 0;
};

// The output filter, one per most-derived record (a virtual base).
struct SerializationIgnoreItemFeatures {
    enum : std::uint32_t { kIgnoreListed = 0, kWriteOnlyListed = 1 };

    std::uint32_t m_uIgnoreMode = kIgnoreListed;
    std::vector<std::string> m_vecIgnoreList;

    bool IsIgnored(const char* szKey) const;

    // Writing helpers: each is a no-op when the key is ignored and returns
    // false only when a node could not be allocated.
    bool AddBoolToObject(cJSON* pObject, const char* szKey, bool bValue) const;
    bool AddNumberToObject(cJSON* pObject, const char* szKey, double dValue) const;
    bool AddStringToObject(cJSON* pObject, const char* szKey, const std::string& strValue) const;
    // Takes ownership of pItem: attaches it, or deletes it when the key is ignored.
    bool AddItemToObject(cJSON* pObject, const char* szKey, cJSON* pItem) const;
};

struct IJSONStruct {
    PresentKeySet m_setPresentKeys;

    virtual void FromJSON(const cJSON* pNode) = 0;
    virtual cJSON* ToJSON() const = 0;

protected:
    // Records are never deleted through the root.
    ~IJSONStruct() = default;
};

struct IInboundData : public IJSONStruct, public virtual SerializationIgnoreItemFeatures {
    virtual const char* TypeName() const = 0;
    virtual ~IInboundData() = default;
    // Validates a record after FromJSON; the default accepts everything.
    virtual bool CheckRequired(std::string& strError) const;

    IInboundData() = default;
    IInboundData(const IInboundData&) = default;
    IInboundData(IInboundData&&) = default;
    IInboundData& operator=(const IInboundData&) = default;

protected:
    // Checks for CheckRequired overrides: each clears strError, then fails
    // with the check's message.
    bool CheckKeyExist(const char* szKey, std::string& strError) const;
    static bool CheckNotEmpty(const char* szKey, std::size_t nSize, std::string& strError);
    template <class T>
    static bool CheckListNotEmpty(const char* szKey, const std::vector<T>& vec, std::string& strError)
    {
        return CheckNotEmpty(szKey, vec.size(), strError);
    }
    static bool CheckIntRange(const char* szKey, int nValue, int nMin, int nMax, std::string& strError);
    static bool CheckTextLength(const char* szKey, const std::string& strText, int nMaxLength, std::string& strError);
    static bool CheckTextChars(const char* szKey, const std::string& strText, std::string& strError);
};

struct IReturnData : public IJSONStruct, public virtual SerializationIgnoreItemFeatures {
    virtual ~IReturnData() = default;

    IReturnData() = default;
    IReturnData(const IReturnData&) = default;
    IReturnData(IReturnData&&) = default;
    IReturnData& operator=(const IReturnData&) = default;
};

struct ILPCData : public IJSONStruct, public virtual SerializationIgnoreItemFeatures {
    virtual int GetLPCType() const { return 0; }
    virtual ~ILPCData() = default;

    ILPCData() = default;
    ILPCData(const ILPCData&) = default;
    ILPCData(ILPCData&&) = default;
    ILPCData& operator=(const ILPCData&) = default;
};

}  // namespace protocol
