#pragma once
/* Record generation from one field list. A record lists each field once as
 * F(Type, member, "Key"); the macros below declare the members and derive the
 * constructors, the key table and the field visitor from that list, and the
 * loops in JSONFieldIO.h turn the visitor into FromJSON and ToJSON.
 *
 *   #define PROTOCOL_PICTURE_RECT_FIELDS(F) \
 *       F(double, x, "x")                    \
 *       F(double, y, "y")
 *   struct PictureRect : IInboundData {
 *       PROTOCOL_INBOUND_RECORD(PictureRect, PROTOCOL_PICTURE_RECT_FIELDS)
 *   };
 *   PROTOCOL_DEFINE_JSON_RECORD(PictureRect)   // in the .cpp
 *
 * Copies are the compiler's member-wise ones, so they follow the list too.
 */

#include "protocol/JSONStruct/JSONFieldIO.h"

// The field list of a record without fields.
#define PROTOCOL_NO_FIELDS(F)

#define PROTOCOL_FIELD_MEMBER(Type, Member, Key) Type Member{};
#define PROTOCOL_FIELD_KEY(Type, Member, Key) Key,
#define PROTOCOL_FIELD_VISIT(Type, Member, Key) fnVisit(Member, Key, nIndex++, sizeof(Key) - 1);

// Members in DECLARED order; keys, FromJSON and ToJSON in JSON_ORDER. Both
// lists are made of the same entries, so each field is still written once.
#define PROTOCOL_JSON_FIELDS_BODY(Name, DECLARED, JSON_ORDER)                               \
    DECLARED(PROTOCOL_FIELD_MEMBER)                                                         \
    Name()                                                                                  \
    {                                                                                       \
        m_setPresentKeys.Bind(&Name::FieldKeys);                                            \
    }                                                                                       \
    explicit Name(const cJSON* pNode)                                                       \
        : Name()                                                                            \
    {                                                                                       \
        Name::FromJSON(pNode);                                                              \
    }                                                                                       \
    static const ::protocol::KeyTable& FieldKeys()                                          \
    {                                                                                       \
        static const char* const s_szKeys[] = {JSON_ORDER(PROTOCOL_FIELD_KEY) nullptr};     \
        constexpr int nKeys = static_cast<int>(sizeof s_szKeys / sizeof s_szKeys[0]) - 1;   \
        static_assert(nKeys <= ::protocol::PresentKeySet::kMaxKeys, "widen PresentKeySet"); \
        static const ::protocol::KeyTable s_keyTable(s_szKeys, nKeys);                      \
        return s_keyTable;                                                                  \
    }                                                                                       \
    template <class Fn>                                                                     \
    void VisitFields(Fn&& fnVisit)                                                          \
    {                                                                                       \
        int nIndex = 0;                                                                     \
        JSON_ORDER(PROTOCOL_FIELD_VISIT)                                                    \
        (void)nIndex, (void)fnVisit;                                                        \
    }                                                                                       \
    template <class Fn>                                                                     \
    void VisitFields(Fn&& fnVisit) const                                                    \
    {                                                                                       \
        int nIndex = 0;                                                                     \
        JSON_ORDER(PROTOCOL_FIELD_VISIT)                                                    \
        (void)nIndex, (void)fnVisit;                                                        \
    }

#define PROTOCOL_JSON_RECORD_ORDERED(Name, DECLARED, JSON_ORDER) \
    PROTOCOL_JSON_FIELDS_BODY(Name, DECLARED, JSON_ORDER)        \
    void FromJSON(const cJSON* pNode) override;                  \
    cJSON* ToJSON() const override;

#define PROTOCOL_JSON_RECORD(Name, FIELDS) PROTOCOL_JSON_RECORD_ORDERED(Name, FIELDS, FIELDS)

// Records deriving from IInboundData also name themselves.
#define PROTOCOL_INBOUND_RECORD_ORDERED(Name, DECLARED, JSON_ORDER) \
    PROTOCOL_JSON_RECORD_ORDERED(Name, DECLARED, JSON_ORDER)        \
    const char* TypeName() const override                           \
    {                                                               \
        return #Name;                                               \
    }

#define PROTOCOL_INBOUND_RECORD(Name, FIELDS) PROTOCOL_INBOUND_RECORD_ORDERED(Name, FIELDS, FIELDS)

// In the record's .cpp: the out-of-line FromJSON and ToJSON.
#define PROTOCOL_DEFINE_JSON_RECORD(Name)              \
    void Name::FromJSON(const cJSON* pNode)            \
    {                                                  \
        ::protocol::detail::ReadFields(*this, pNode);  \
    }                                                  \
    cJSON* Name::ToJSON() const                        \
    {                                                  \
        return ::protocol::detail::WriteFields(*this); \
    }
