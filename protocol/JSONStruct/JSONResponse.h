#pragma once
// Entry for records that arrive as the text of a response:
// {"code": "<error code>", "msg": "<message>", "data": {<payload>}}.

#include <string>

#include "protocol/JSONStruct/JSONRecord.h"

namespace protocol {

// Returned by JSONResponse::ErrorCode when "code" is not an integer text.
constexpr int kUnknownErrorCode = -1;

// Decimal or "0x" hexadecimal integer text, saturated to int; else kUnknownErrorCode.
int ErrorCodeFromText(const std::string& strCode);
// The parsed tree of a response text (caller frees it), or null when the text
// is empty, larger than kMaxBodyBytes or does not parse; a refusal is logged,
// quoting only the start of the text.
cJSON* ParseResponseText(const std::string& strText);

template <class TData>
struct JSONResponse : public IReturnData {
#define PROTOCOL_JSON_RESPONSE_FIELDS(F) \
    F(std::string, code, "code")         \
    F(std::string, msg, "msg")           \
    F(TData, data, "data")
    PROTOCOL_JSON_FIELDS_BODY(JSONResponse, PROTOCOL_JSON_RESPONSE_FIELDS, PROTOCOL_JSON_RESPONSE_FIELDS)
#undef PROTOCOL_JSON_RESPONSE_FIELDS

    void FromJSON(const cJSON* pNode) override
    {
        detail::ReadFields(*this, pNode);
    }
    cJSON* ToJSON() const override
    {
        return detail::WriteFields(*this);
    }

    int ErrorCode() const
    {
        return ErrorCodeFromText(code);
    }

    // Reads "code", "msg" and "data" from the text; false when it is empty or
    // is not JSON or is larger than kMaxBodyBytes.
    bool FromText(const std::string& strText)
    {
        cJSON* pRoot = ParseResponseText(strText);
        if (!pRoot)
            return false;
        FromJSON(pRoot);
        cJSON_Delete(pRoot);
        return true;
    }
};

}  // namespace protocol
