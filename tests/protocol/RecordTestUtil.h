#pragma once
// Parsing and printing helpers shared by the record tests.

#include <QByteArray>

#include <memory>

#include <cJSON.h>

namespace recordtest {

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

// A null text gives a null node, as an absent input would.
inline JsonPtr Parse(const QByteArray& json)
{
    return JsonPtr(json.isNull() ? nullptr : cJSON_Parse(json.constData()));
}

inline QByteArray Print(const cJSON* pNode)
{
    char* szText = cJSON_PrintUnformatted(pNode);
    QByteArray text(szText ? szText : "");
    cJSON_free(szText);
    return text;
}

template <class Record>
QByteArray PrintRecord(const Record& record)
{
    JsonPtr pNode(record.ToJSON());
    return Print(pNode.get());
}

} // namespace recordtest
