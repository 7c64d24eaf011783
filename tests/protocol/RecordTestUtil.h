#pragma once
// Helpers that walk any record's fields through its visitor: filling every
// field with a distinct value, listing the fields two records disagree on,
// and printing or listing the keys of JSON output.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <cJSON.h>

namespace recordtest {

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

struct JsonDeleter {
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

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

inline QStringList KeysOf(const cJSON* pObject)
{
    QStringList keys;
    for (const cJSON* p = pObject ? pObject->child : nullptr; p; p = p->next)
        keys << QString::fromUtf8(p->string);
    return keys;
}

template <class Record>
void FillDistinct(Record& record, int& nSeed);

// Every scalar gets a value of its own; lists get two elements.
template <class T>
void FillValue(T& value, int& nSeed)
{
    ++nSeed;
    if constexpr (std::is_same_v<T, bool>)
        value = true;
    else if constexpr (std::is_same_v<T, int>)
        value = nSeed * 37 - 500;
    else if constexpr (std::is_same_v<T, double>)
        value = nSeed + 0.125;
    else if constexpr (std::is_same_v<T, std::string>)
        value = "v" + std::to_string(nSeed) + " \"q\" \xc3\xa9";
    else if constexpr (IsVector<T>::value) {
        value.resize(2);
        for (auto& element : value)
            FillDistinct(element, nSeed);
    } else
        FillDistinct(value, nSeed);
}

template <class Record>
void FillDistinct(Record& record, int& nSeed)
{
    record.VisitFields([&](auto& field, const char*, int) { FillValue(field, nSeed); });
}

template <class T>
QString ToText(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return QString::fromStdString(value);
    else
        return QString::number(value);
}

template <class Record>
void CollectDiffs(const Record& a, const Record& b, const QString& strPath, QStringList& diffs);

template <class T>
void CompareValue(const T& a, const T& b, const QString& strPath, QStringList& diffs)
{
    if constexpr (IsVector<T>::value) {
        if (a.size() != b.size()) {
            diffs << strPath + QString(": %1 vs %2 elements").arg(a.size()).arg(b.size());
            return;
        }
        for (std::size_t i = 0; i < a.size(); ++i)
            CollectDiffs(a[i], b[i], strPath + QString("[%1]").arg(i), diffs);
    } else if constexpr (std::is_class_v<T> && !std::is_same_v<T, std::string>) {
        CollectDiffs(a, b, strPath, diffs);
    } else if (!(a == b)) {
        diffs << strPath + ": " + ToText(a) + " vs " + ToText(b);
    }
}

// Appends "path: a vs b" for every field (recursively) that differs.
template <class Record>
void CollectDiffs(const Record& a, const Record& b, const QString& strPath, QStringList& diffs)
{
    std::vector<const void*> vecFieldsOfB;
    b.VisitFields([&](const auto& field, const char*, int) { vecFieldsOfB.push_back(&field); });
    a.VisitFields([&](const auto& field, const char* szKey, int nIndex) {
        using Field = std::decay_t<decltype(field)>;
        CompareValue(field, *static_cast<const Field*>(vecFieldsOfB[nIndex]), strPath + "." + szKey, diffs);
    });
}

}  // namespace recordtest
