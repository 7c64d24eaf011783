// Behaviour of the JSON record framework: key lookup, reading by field type,
// repeated reads, the output filter, the required-field checks and the
// response-text entry.

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>

#include "JSONStruct/AlarmPictureInfo.h"
#include "JSONStruct/JSONResponse.h"
#include "RecordTestUtil.h"

using namespace recordtest;

namespace {

struct SampleChild : public protocol::IInboundData {
#define SAMPLE_CHILD_FIELDS(F) F(int, id, "id")
    PROTOCOL_INBOUND_RECORD(SampleChild, SAMPLE_CHILD_FIELDS)
};

// One field of every kind, with checks on some of them.
struct SampleRecord : public protocol::IInboundData {
#define SAMPLE_RECORD_FIELDS(F)          \
    F(bool, Flag, "Flag")                \
    F(int, Count, "Count")               \
    F(double, Ratio, "Ratio")            \
    F(std::string, Name, "Name")         \
    F(SampleChild, Child, "Child")       \
    F(std::vector<SampleChild>, Items, "Items")
    PROTOCOL_INBOUND_RECORD(SampleRecord, SAMPLE_RECORD_FIELDS)

    bool CheckRequired(std::string& strError) const override
    {
        return CheckKeyExist("Name", strError) && CheckListNotEmpty("Items", Items, strError)
               && CheckIntRange("Count", Count, 1, 150, strError) && CheckTextLength("Name", Name, 8, strError)
               && CheckTextChars("Name", Name, strError);
    }
};

PROTOCOL_DEFINE_JSON_RECORD(SampleChild)
PROTOCOL_DEFINE_JSON_RECORD(SampleRecord)

JsonPtr Parse(const QByteArray& json)
{
    return JsonPtr(json.isNull() ? nullptr : cJSON_Parse(json.constData()));
}

QStringList ToQStringList(const std::vector<std::string>& vec)
{
    QStringList list;
    for (const auto& str : vec)
        list << QString::fromStdString(str);
    return list;
}

// A record holding non-neutral values, so that reads visibly replace them.
SampleRecord PrefilledSample()
{
    SampleRecord record;
    record.Flag = true;
    record.Count = 9;
    record.Ratio = 9.5;
    record.Name = "pre";
    record.Child.id = 9;
    record.Items.resize(1);
    return record;
}

// {"Count": <number>} with a value that JSON text cannot spell, such as NaN.
JsonPtr CountNode(double dValue)
{
    JsonPtr pObject(cJSON_CreateObject());
    cJSON* pNumber = cJSON_CreateNumber(0);
    pNumber->valuedouble = dValue;
    cJSON_AddItemToObject(pObject.get(), "Count", pNumber);
    return pObject;
}

}  // namespace

class TestJsonRecordFramework : public QObject {
    Q_OBJECT

private slots:
    void keyLookup_data();
    void keyLookup();
    void memberLookupMatchesCJSON_data();
    void memberLookupMatchesCJSON();
    void memberLookupSequence_data();
    void memberLookupSequence();
    void wrongKinds_data();
    void wrongKinds();
    void boolFromNode_data();
    void boolFromNode();
    void intFromNode_data();
    void intFromNode();
    void intFromNonFiniteNumber_data();
    void intFromNonFiniteNumber();
    void repeatedFromJSON_data();
    void repeatedFromJSON();
    void ignoreFilter_data();
    void ignoreFilter();
    void isIgnored_data();
    void isIgnored();
    void writing_data();
    void writing();
    void checkRequired_data();
    void checkRequired();
    void copyKeepsKeysAndFilter();
    void responseText_data();
    void responseText();
};

void TestJsonRecordFramework::keyLookup_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("expected");  // the rect after reading, x preset to 7
    QTest::addColumn<QStringList>("presentKeys");

    QTest::newRow("exact spelling") << QByteArray(R"({"x":5})") << QByteArray(R"({"x":5,"y":0,"width":0,"height":0})")
                                    << QStringList{"x"};
    QTest::newRow("upper-case key recorded as declared")
        << QByteArray(R"({"X":5})") << QByteArray(R"({"x":5,"y":0,"width":0,"height":0})") << QStringList{"x"};
    QTest::newRow("mixed-case long key") << QByteArray(R"({"wIDtH":2.5,"HEIGHT":1})")
                                         << QByteArray(R"({"x":7,"y":0,"width":2.5,"height":1})")
                                         << QStringList{"width", "height"};
    QTest::newRow("first matching member wins") << QByteArray(R"({"X":1,"x":2})")
                                                << QByteArray(R"({"x":1,"y":0,"width":0,"height":0})")
                                                << QStringList{"x"};
    QTest::newRow("absent key leaves field") << QByteArray(R"({"z":1})")
                                             << QByteArray(R"({"x":7,"y":0,"width":0,"height":0})") << QStringList{};
    QTest::newRow("key with extra character does not match")
        << QByteArray(R"({"xx":1," x":2})") << QByteArray(R"({"x":7,"y":0,"width":0,"height":0})") << QStringList{};
    QTest::newRow("array node reads nothing") << QByteArray(R"([{"x":1}])")
                                              << QByteArray(R"({"x":7,"y":0,"width":0,"height":0})") << QStringList{};
    QTest::newRow("null node reads nothing") << QByteArray() << QByteArray(R"({"x":7,"y":0,"width":0,"height":0})")
                                             << QStringList{};
}

void TestJsonRecordFramework::keyLookup()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, presentKeys);

    protocol::PictureRect rect;
    rect.x = 7;
    JsonPtr pNode = Parse(json);
    rect.FromJSON(pNode.get());

    QCOMPARE(PrintRecord(rect), expected);
    QCOMPARE(ToQStringList(rect.m_setPresentKeys.Keys()), presentKeys);
    QCOMPARE(rect.m_setPresentKeys.Size(), presentKeys.size());
    for (const char* szSpelling : {"X", "WIDTH", "Height"})
        QVERIFY(!rect.m_setPresentKeys.Contains(szSpelling));
}

void TestJsonRecordFramework::memberLookupMatchesCJSON_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("expectedIndex");  // position of the member found, -1 for none

    const QByteArray members = R"({"Temp":1,"TEMPERATURE":2,"temperature":3,"":4,"\u00c9t\u00e9":5,"a\u0000b":6})";
    QTest::newRow("first of two case variants") << members << QByteArray("Temperature") << 1;
    QTest::newRow("shorter name does not match") << members << QByteArray("Tem") << -1;
    QTest::newRow("longer key does not match") << members << QByteArray("Temps") << -1;
    QTest::newRow("empty key finds empty name") << members << QByteArray("") << 3;
    QTest::newRow("non-ASCII bytes compared as bytes") << members << QByteArray("\xc3\x89t\xc3\xa9") << 4;
    QTest::newRow("non-ASCII case variant") << members << QByteArray("\xc3\xa9t\xc3\xa9") << -1;
    QTest::newRow("name cut at embedded NUL") << members << QByteArray("A") << 5;
    QTest::newRow("array elements have no names") << QByteArray(R"([{"x":1}])") << QByteArray("x") << -1;
    QTest::newRow("digits and punctuation") << QByteArray(R"({"a_1":1,"A_1":2})") << QByteArray("A_1") << 0;
    QByteArray many = "{";
    for (int i = 0; i < 80; ++i)
        many += "\"k" + QByteArray::number(i) + "\":" + QByteArray::number(i) + ",";
    many += R"("K70":0})";
    QTest::newRow("object with more members than the index holds") << many << QByteArray("K70") << 70;
    QTest::newRow("key missing from a large object") << many << QByteArray("k80") << -1;
}

// The framework's lookups must find exactly the member cJSON_GetObjectItem finds.
void TestJsonRecordFramework::memberLookupMatchesCJSON()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, key);
    QFETCH(int, expectedIndex);

    JsonPtr pNode = Parse(json);
    QVERIFY(pNode);
    const cJSON* pFound = protocol::detail::FindMember(pNode.get(), key.constData());
    QCOMPARE(pFound, cJSON_GetObjectItem(pNode.get(), key.constData()));
    QCOMPARE(protocol::detail::MemberIndex(pNode.get()).Find(key.constData()), pFound);
    QCOMPARE(pFound, expectedIndex < 0 ? nullptr : cJSON_GetArrayItem(pNode.get(), expectedIndex));
}

void TestJsonRecordFramework::memberLookupSequence_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("keys");

    const QByteArray ordered = R"({"a":1,"b":2,"c":3,"d":4})";
    QTest::newRow("keys in input order") << ordered << QStringList{"a", "b", "c", "d"};
    QTest::newRow("keys in reverse order") << ordered << QStringList{"D", "c", "B", "a"};
    QTest::newRow("absent keys between present ones") << ordered << QStringList{"a", "x", "c", "y", "b", "d"};
    QTest::newRow("case variants after the scan start")
        << QByteArray(R"({"a":1,"B":2,"A":3,"b":4})") << QStringList{"b", "a", "B", "A"};
    QTest::newRow("same key asked twice") << ordered << QStringList{"c", "c", "d", "d"};
}

// Lookups on one index in any order, as a record's fields ask them.
void TestJsonRecordFramework::memberLookupSequence()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, keys);

    JsonPtr pNode = Parse(json);
    const protocol::detail::MemberIndex members(pNode.get());
    for (const QString& key : keys) {
        const QByteArray keyText = key.toUtf8();
        QCOMPARE(members.Find(keyText.constData()), cJSON_GetObjectItem(pNode.get(), keyText.constData()));
    }
}

void TestJsonRecordFramework::wrongKinds_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("presentKey");

    QTest::newRow("text for double gives zero")
        << QByteArray(R"({"Ratio":"5"})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":0,"Name":"pre","Child":{"id":9},"Items":[]})") << "Ratio";
    QTest::newRow("number for text")
        << QByteArray(R"({"Name":5})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":9.5,"Name":"","Child":{"id":9},"Items":[]})") << "Name";
    QTest::newRow("text for int")
        << QByteArray(R"({"Count":"12"})")
        << QByteArray(R"({"Flag":true,"Count":0,"Ratio":9.5,"Name":"pre","Child":{"id":9},"Items":[]})") << "Count";
    QTest::newRow("object for int")
        << QByteArray(R"({"Count":{"v":3}})")
        << QByteArray(R"({"Flag":true,"Count":0,"Ratio":9.5,"Name":"pre","Child":{"id":9},"Items":[]})") << "Count";
    QTest::newRow("null for bool")
        << QByteArray(R"({"Flag":null})")
        << QByteArray(R"({"Flag":false,"Count":9,"Ratio":9.5,"Name":"pre","Child":{"id":9},"Items":[]})") << "Flag";
    QTest::newRow("bool for double")
        << QByteArray(R"({"Ratio":true})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":0,"Name":"pre","Child":{"id":9},"Items":[]})") << "Ratio";
    QTest::newRow("number for nested record keeps its fields")
        << QByteArray(R"({"Child":3})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":9.5,"Name":"pre","Child":{"id":9},"Items":[]})") << "Child";
    QTest::newRow("number for list")
        << QByteArray(R"({"Items":3})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":9.5,"Name":"pre","Child":{"id":9},"Items":[]})") << "Items";
    QTest::newRow("list of non-objects gives default elements")
        << QByteArray(R"({"Items":[1,"a",[{"id":4}]]})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":9.5,"Name":"pre","Child":{"id":9},)"
                      R"("Items":[{"id":0},{"id":0},{"id":0}]})")
        << "Items";
    QTest::newRow("object for list reads its members as elements")
        << QByteArray(R"({"Items":{"a":{"id":4},"b":5}})")
        << QByteArray(R"({"Flag":true,"Count":9,"Ratio":9.5,"Name":"pre","Child":{"id":9},)"
                      R"("Items":[{"id":4},{"id":0}]})")
        << "Items";
}

void TestJsonRecordFramework::wrongKinds()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, expected);
    QFETCH(QString, presentKey);

    SampleRecord record = PrefilledSample();
    JsonPtr pNode = Parse(json);
    record.FromJSON(pNode.get());

    QCOMPARE(PrintRecord(record), expected);
    QCOMPARE(ToQStringList(record.m_setPresentKeys.Keys()), QStringList{presentKey});
}

void TestJsonRecordFramework::boolFromNode_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("expected");

    QTest::newRow("2 reads false") << QByteArray("2") << false;
    QTest::newRow("true reads true") << QByteArray("true") << true;
    QTest::newRow("1.5 reads true") << QByteArray("1.5") << true;
    QTest::newRow("1 reads true") << QByteArray("1") << true;
    QTest::newRow("0.99 reads false") << QByteArray("0.99") << false;
    QTest::newRow("-1 reads false") << QByteArray("-1") << false;
    QTest::newRow("false reads false") << QByteArray("false") << false;
    QTest::newRow("text 1 reads false") << QByteArray("\"1\"") << false;
    QTest::newRow("huge number reads false") << QByteArray("1e300") << false;
}

void TestJsonRecordFramework::boolFromNode()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, expected);

    SampleRecord record;
    record.Flag = !expected;
    JsonPtr pNode = Parse("{\"Flag\":" + value + "}");
    record.FromJSON(pNode.get());
    QCOMPARE(record.Flag, expected);
}

void TestJsonRecordFramework::intFromNode_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("truncates positive") << QByteArray("3.9") << 3;
    QTest::newRow("truncates negative towards zero") << QByteArray("-3.9") << -3;
    QTest::newRow("int at INT_MAX") << QByteArray("2147483647") << INT_MAX;
    QTest::newRow("int above INT_MAX") << QByteArray("2147483648.5") << INT_MAX;
    QTest::newRow("int far above INT_MAX") << QByteArray("1e300") << INT_MAX;
    QTest::newRow("int at INT_MIN") << QByteArray("-2147483648") << INT_MIN;
    QTest::newRow("int below INT_MIN") << QByteArray("-2147483649.5") << INT_MIN;
    QTest::newRow("overflowing literal saturates") << QByteArray("1e999") << INT_MAX;
    QTest::newRow("negative overflowing literal saturates") << QByteArray("-1e999") << INT_MIN;
    QTest::newRow("true gives 1") << QByteArray("true") << 1;
    QTest::newRow("false gives 0") << QByteArray("false") << 0;
    QTest::newRow("array gives 0") << QByteArray("[5]") << 0;
}

void TestJsonRecordFramework::intFromNode()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);

    SampleRecord record;
    record.Count = 77;
    JsonPtr pNode = Parse("{\"Count\":" + value + "}");
    QVERIFY(pNode);
    record.FromJSON(pNode.get());
    QCOMPARE(record.Count, expected);
}

void TestJsonRecordFramework::intFromNonFiniteNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("NaN gives 0") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity saturates high") << std::numeric_limits<double>::infinity() << INT_MAX;
    QTest::newRow("minus infinity saturates low") << -std::numeric_limits<double>::infinity() << INT_MIN;
    QTest::newRow("largest double saturates") << std::numeric_limits<double>::max() << INT_MAX;
}

// Nodes built in memory can hold values no JSON text gives.
void TestJsonRecordFramework::intFromNonFiniteNumber()
{
    QFETCH(double, value);
    QFETCH(int, expected);

    SampleRecord record;
    JsonPtr pNode = CountNode(value);
    record.FromJSON(pNode.get());
    QCOMPARE(record.Count, expected);
}

void TestJsonRecordFramework::repeatedFromJSON_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QStringList>("presentKeys");
    QTest::addColumn<QByteArray>("items");

    const QByteArray first = R"({"Name":"a","Items":[{"id":1},{"id":2}]})";
    QTest::newRow("keys of both inputs, list of the second")
        << first << QByteArray(R"({"Count":3,"Items":[{"id":7}]})") << QStringList{"Count", "Name", "Items"}
        << QByteArray(R"([{"id":7}])");
    QTest::newRow("list emptied when second lacks its key")
        << first << QByteArray(R"({"Count":3})") << QStringList{"Count", "Name", "Items"} << QByteArray("[]");
    QTest::newRow("list emptied when second is not an object")
        << first << QByteArray("7") << QStringList{"Name", "Items"} << QByteArray("[]");
    QTest::newRow("null second node changes nothing")
        << first << QByteArray() << QStringList{"Name", "Items"} << QByteArray(R"([{"id":1},{"id":2}])");
    QTest::newRow("case-different repeat keeps one key")
        << first << QByteArray(R"({"NAME":"b"})") << QStringList{"Name", "Items"} << QByteArray("[]");
}

void TestJsonRecordFramework::repeatedFromJSON()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QStringList, presentKeys);
    QFETCH(QByteArray, items);

    SampleRecord record;
    JsonPtr pFirst = Parse(first);
    JsonPtr pSecond = Parse(second);
    record.FromJSON(pFirst.get());
    record.FromJSON(pSecond.get());

    QCOMPARE(ToQStringList(record.m_setPresentKeys.Keys()), presentKeys);
    JsonPtr pOut(record.ToJSON());
    QCOMPARE(Print(cJSON_GetObjectItemCaseSensitive(pOut.get(), "Items")), items);
}

void TestJsonRecordFramework::ignoreFilter_data()
{
    QTest::addColumn<uint>("mode");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("mode 0 leaves listed keys out") << 0u << QStringList{"width"} << QByteArray(R"({"x":1,"y":2,"height":4})");
    QTest::newRow("mode 1 writes only listed keys") << 1u << QStringList{"width"} << QByteArray(R"({"width":3})");
    QTest::newRow("mode 2 writes every key") << 2u << QStringList{"width"}
                                             << QByteArray(R"({"x":1,"y":2,"width":3,"height":4})");
    QTest::newRow("mode 0 with empty list writes every key")
        << 0u << QStringList{} << QByteArray(R"({"x":1,"y":2,"width":3,"height":4})");
    QTest::newRow("mode 1 with empty list writes nothing") << 1u << QStringList{} << QByteArray("{}");
    QTest::newRow("list is case-sensitive") << 0u << QStringList{"WIDTH"}
                                            << QByteArray(R"({"x":1,"y":2,"width":3,"height":4})");
}

void TestJsonRecordFramework::ignoreFilter()
{
    QFETCH(uint, mode);
    QFETCH(QStringList, list);
    QFETCH(QByteArray, expected);

    protocol::PictureRect rect;
    rect.x = 1, rect.y = 2, rect.width = 3, rect.height = 4;
    rect.m_uIgnoreMode = mode;
    for (const QString& key : list)
        rect.m_vecIgnoreList.push_back(key.toStdString());
    QCOMPARE(PrintRecord(rect), expected);
}

void TestJsonRecordFramework::isIgnored_data()
{
    QTest::addColumn<uint>("mode");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("key");  // a null QString stands for a null key
    QTest::addColumn<bool>("expected");

    QTest::newRow("empty key listed in mode 0") << 0u << QStringList{""} << QString("") << false;
    QTest::newRow("empty key in mode 1") << 1u << QStringList{"x"} << QString("") << false;
    QTest::newRow("null key in mode 1") << 1u << QStringList{"x"} << QString() << false;
    QTest::newRow("listed key in mode 0") << 0u << QStringList{"x"} << QString("x") << true;
    QTest::newRow("unlisted key in mode 1") << 1u << QStringList{"x"} << QString("y") << true;
    QTest::newRow("listed key in mode 7") << 7u << QStringList{"x"} << QString("x") << false;
}

void TestJsonRecordFramework::isIgnored()
{
    QFETCH(uint, mode);
    QFETCH(QStringList, list);
    QFETCH(QString, key);
    QFETCH(bool, expected);

    protocol::SerializationIgnoreItemFeatures filter;
    filter.m_uIgnoreMode = mode;
    for (const QString& item : list)
        filter.m_vecIgnoreList.push_back(item.toStdString());
    const QByteArray keyText = key.toUtf8();
    QCOMPARE(filter.IsIgnored(key.isNull() ? nullptr : keyText.constData()), expected);
}

void TestJsonRecordFramework::writing_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("defaults are written for absent keys")
        << 0.0 << QByteArray(R"({"Flag":false,"Count":0,"Ratio":0,"Name":"","Child":{"id":0},"Items":[]})");
    QTest::newRow("NaN is written as null")
        << std::numeric_limits<double>::quiet_NaN()
        << QByteArray(R"({"Flag":false,"Count":0,"Ratio":null,"Name":"","Child":{"id":0},"Items":[]})");
    QTest::newRow("infinity is written as null")
        << std::numeric_limits<double>::infinity()
        << QByteArray(R"({"Flag":false,"Count":0,"Ratio":null,"Name":"","Child":{"id":0},"Items":[]})");
    QTest::newRow("fraction keeps its digits")
        << 0.1 << QByteArray(R"({"Flag":false,"Count":0,"Ratio":0.1,"Name":"","Child":{"id":0},"Items":[]})");
}

void TestJsonRecordFramework::writing()
{
    QFETCH(double, ratio);
    QFETCH(QByteArray, expected);

    SampleRecord record;
    record.Ratio = ratio;
    QCOMPARE(PrintRecord(record), expected);
}

void TestJsonRecordFramework::checkRequired_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<QByteArray>("error");

    const QByteArray items = R"("Items":[{"id":1}])";
    QTest::newRow("all checks pass clear the error")
        << R"({"Name":"cam","Count":5,)" + items + "}" << true << QByteArray();
    QTest::newRow("key missing") << R"({"Count":5,)" + items + "}" << false << QByteArray("Name field not exist!");
    QTest::newRow("list empty") << QByteArray(R"({"Name":"cam","Count":5,"Items":[]})") << false
                                << QByteArray("Items can't be empty!");
    QTest::newRow("int below range") << R"({"Name":"cam","Count":0,)" + items + "}" << false
                                     << QByteArray("Count is lesser than 1.");
    QTest::newRow("int above range") << R"({"Name":"cam","Count":151,)" + items + "}" << false
                                     << QByteArray("Count is greater than 150.");
    QTest::newRow("int at upper limit") << R"({"Name":"cam","Count":150,)" + items + "}" << true << QByteArray();
    QTest::newRow("text too long") << R"({"Name":"camera-12","Count":5,)" + items + "}" << false
                                   << QByteArray("Name length is greater than 8.");
    QTest::newRow("text at length limit") << R"({"Name":"camera-1","Count":5,)" + items + "}" << true << QByteArray();
    const QByteArray invalidChars = "Name contain invalid char [/:*?\xA1\xB0<>|].";
    for (const char* szBad : {"a/b", "a:b", "a*b", "a?b", "a<b", "a>b", "a|b", "a\xA1\xB0"}) {
        QTest::newRow(qPrintable(QString("invalid char in %1").arg(QString::fromLatin1(szBad))))
            << R"({"Name":")" + QByteArray(szBad) + R"(","Count":5,)" + items + "}" << false << invalidChars;
    }
}

void TestJsonRecordFramework::checkRequired()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, expected);
    QFETCH(QByteArray, error);

    SampleRecord record;
    JsonPtr pNode = Parse(json);
    QVERIFY(pNode);
    record.FromJSON(pNode.get());
    std::string strError = "stale";
    QCOMPARE(record.CheckRequired(strError), expected);
    QCOMPARE(QByteArray::fromStdString(strError), error);

    // The default check accepts and leaves the text alone.
    protocol::PictureRect rect;
    strError = "stale";
    QVERIFY(rect.CheckRequired(strError));
    QCOMPARE(strError, std::string("stale"));
}

void TestJsonRecordFramework::copyKeepsKeysAndFilter()
{
    SampleRecord record;
    JsonPtr pNode = Parse(R"({"NAME":"n","Items":[{"ID":3}]})");
    record.FromJSON(pNode.get());
    record.m_uIgnoreMode = 1;
    record.m_vecIgnoreList = {"Name", "Items"};

    const SampleRecord copy(record);
    QCOMPARE(ToQStringList(copy.m_setPresentKeys.Keys()), (QStringList{"Name", "Items"}));
    QCOMPARE(ToQStringList(copy.Items[0].m_setPresentKeys.Keys()), QStringList{"id"});
    QCOMPARE(PrintRecord(copy), QByteArray(R"({"Name":"n","Items":[{"id":3}]})"));

    SampleRecord assigned;
    assigned = record;
    QCOMPARE(PrintRecord(assigned), PrintRecord(copy));
    QVERIFY(assigned.m_setPresentKeys.Contains("Items"));
}

void TestJsonRecordFramework::responseText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QByteArray>("msg");
    QTest::addColumn<double>("width");
    QTest::addColumn<QByteArray>("log");

    QTest::newRow("success") << QByteArray(R"({"code":"0","msg":"ok","data":{"WIDTH":0.5}})") << true << 0
                             << QByteArray("ok") << 0.5 << QByteArray();
    QTest::newRow("decimal error code") << QByteArray(R"({"code":"1001","msg":"busy"})") << true << 1001
                                        << QByteArray("busy") << 0.0 << QByteArray();
    QTest::newRow("hexadecimal error code") << QByteArray(R"({"code":"0x1F"})") << true << 31 << QByteArray() << 0.0
                                            << QByteArray();
    QTest::newRow("code above INT_MAX saturates") << QByteArray(R"({"code":"99999999999999999999"})") << true
                                                  << INT_MAX << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("code that is not a number") << QByteArray(R"({"code":"E12"})") << true
                                               << protocol::kUnknownErrorCode << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("numeric code is not a text") << QByteArray(R"({"code":5})") << true << protocol::kUnknownErrorCode
                                                << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("empty text") << QByteArray() << false << protocol::kUnknownErrorCode << QByteArray() << 0.0
                                << QByteArray();
    QTest::newRow("text that is not JSON") << QByteArray("{bad") << false << protocol::kUnknownErrorCode
                                           << QByteArray() << 0.0
                                           << QByteArray("Failed to cJSON_Parse( [{bad] ). Error info: [ad].");
}

void TestJsonRecordFramework::responseText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, expected);
    QFETCH(int, errorCode);
    QFETCH(QByteArray, msg);
    QFETCH(double, width);
    QFETCH(QByteArray, log);

    if (!log.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, log.constData());
    protocol::JSONResponse<protocol::PictureRect> response;
    QCOMPARE(response.FromText(text.toStdString()), expected);
    QCOMPARE(response.ErrorCode(), errorCode);
    QCOMPARE(QByteArray::fromStdString(response.msg), msg);
    QCOMPARE(response.data.width, width);
}

QTEST_GUILESS_MAIN(TestJsonRecordFramework)
#include "tst_jsonrecordframework.moc"
