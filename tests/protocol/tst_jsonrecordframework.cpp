// The JSON record framework: member lookup, reading by field type, repeated
// reads, the output filter, the required-field checks and response texts.

#include <QtTest>

#include <climits>
#include <limits>

#include "protocol/JSONStruct/AlarmPictureInfo.h"
#include "protocol/JSONStruct/JSONResponse.h"
#include "protocol/LogText.h"
#include "tests/protocol/RecordTestUtil.h"

using namespace recordtest;

namespace {

struct SampleChild : public protocol::IInboundData
{
#define SAMPLE_CHILD_FIELDS(F) F(int, id, "id")
    PROTOCOL_INBOUND_RECORD(SampleChild, SAMPLE_CHILD_FIELDS)
};

// One field of every kind, with every check.
struct SampleRecord : public protocol::IInboundData
{
#define SAMPLE_RECORD_FIELDS(F)    \
    F(bool, Flag, "Flag")          \
    F(int, Count, "Count")         \
    F(double, Ratio, "Ratio")      \
    F(std::string, Name, "Name")   \
    F(SampleChild, Child, "Child") \
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

// Non-neutral values everywhere, so that every read visibly replaces them.
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

void AddReadRow(const char* szName, const QByteArrayList& inputs, const char* szExpected, const char* szPresent)
{
    QTest::newRow(szName) << inputs << QByteArray(szExpected) << QString(szPresent);
}

} // namespace

class TestJsonRecordFramework : public QObject
{
    Q_OBJECT

private slots:
    void memberLookup_data();
    void memberLookup();
    void read_data();
    void read();
    void notANumber();
    void filter_data();
    void filter();
    void checkRequired_data();
    void checkRequired();
    void logTextEscapes_data();
    void logTextEscapes();
    void responseText_data();
    void responseText();
    void listLengthLimit_data();
    void listLengthLimit();
};

void TestJsonRecordFramework::memberLookup_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArrayList>("keys"); // asked in this order of one index

    QTest::newRow("case variants, first match, whole name")
        << QByteArray(R"({"Temp":1,"TEMPERATURE":2,"temperature":3})")
        << QByteArrayList{"Temperature", "temperature", "TEMP", "Tem", "Temps"};
    QTest::newRow("empty, non-ASCII and NUL-cut names")
        << QByteArray(R"({"":4,"\u00c9t\u00e9":5,"a\u0000b":6})")
        << QByteArrayList{"", "\xc3\x89t\xc3\xa9", "\xc3\xa9t\xc3\xa9", "A", "ab"};
    QTest::newRow("keys out of order and twice")
        << QByteArray(R"({"a_1":1,"B":2,"A_1":3,"b":4})") << QByteArrayList{"b", "A_1", "B", "a_1", "b", "x"};
    QTest::newRow("keys in the members' order, a case variant first")
        << QByteArray(R"({"x":1,"Y":2,"y":3,"w":4})") << QByteArrayList{"x", "y", "z", "w"};
    QTest::newRow("array elements have no names") << QByteArray(R"([{"x":1}])") << QByteArrayList{"x"};
    QByteArray many = "{";
    for (int i = 0; i < 80; ++i)
        many += "\"k" + QByteArray::number(i) + "\":" + QByteArray::number(i) + ",";
    QTest::newRow("more members than the index holds") << many + R"("K70":0})" << QByteArrayList{"K70", "k79", "k80"};
}

// Every lookup must find exactly the member cJSON_GetObjectItem finds.
void TestJsonRecordFramework::memberLookup()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArrayList, keys);

    JsonPtr pNode = Parse(json);
    QVERIFY(pNode);
    const protocol::detail::MemberIndex members(pNode.get());
    for (const QByteArray& key : keys) {
        const cJSON* pExpected = cJSON_GetObjectItem(pNode.get(), key.constData());
        QCOMPARE(protocol::detail::FindMember(pNode.get(), key.constData()), pExpected);
        QCOMPARE(members.Find(key.constData()), pExpected);
    }
    // Records ask each key once; the in-turn lookup must agree then.
    if (QSet<QByteArray>(keys.begin(), keys.end()).size() == keys.size()) {
        const protocol::detail::MemberIndex inTurn(pNode.get());
        for (const QByteArray& key : keys)
            QCOMPARE(inTurn.FindInTurn(key.constData(), std::size_t(key.size())),
                     cJSON_GetObjectItem(pNode.get(), key.constData()));
    }
}

void TestJsonRecordFramework::read_data()
{
    QTest::addColumn<QByteArrayList>("inputs"); // read one after the other; a null text is a null node
    QTest::addColumn<QByteArray>("expected");   // the members of the output that the row checks
    QTest::addColumn<QString>("present");

    AddReadRow("key in another case recorded as declared", {R"({"fLAG":false,"COUNT":3,"name":"n"})"},
               R"({"Flag":false,"Count":3,"Name":"n"})", "Flag Count Name");
    AddReadRow("first of two case variants wins", {R"({"COUNT":1,"Count":2})"}, R"({"Count":1})", "Count");
    AddReadRow("absent key keeps the field but empties the list", {R"({"Counts":1,"xItems":[{}]})"},
               R"({"Count":9,"Items":[]})", "");
    AddReadRow("scalars of the wrong kind read as neutral values",
               {R"({"Flag":null,"Count":"12","Ratio":true,"Name":5})"},
               R"({"Flag":false,"Count":0,"Ratio":0,"Name":""})", "Flag Count Ratio Name");
    AddReadRow("number for a record or a list", {R"({"Child":3,"Items":3})"}, R"({"Child":{"id":9},"Items":[]})",
               "Child Items");
    AddReadRow("list of non-objects gives default elements", {R"({"Items":[1,"a",[{"id":4}]]})"},
               R"({"Items":[{"id":0},{"id":0},{"id":0}]})", "Items");
    AddReadRow("object for a list gives its members in order", {R"({"Items":{"a":{"id":4},"b":5}})"},
               R"({"Items":[{"id":4},{"id":0}]})", "Items");
    AddReadRow("bool from 2 is false", {R"({"Flag":2})"}, R"({"Flag":false})", "Flag");
    AddReadRow("bool from true is true", {R"({"Flag":true})"}, R"({"Flag":true})", "Flag");
    AddReadRow("bool from 1.5 is true", {R"({"Flag":1.5})"}, R"({"Flag":true})", "Flag");
    AddReadRow("bool from 0.99 is false", {R"({"Flag":0.99})"}, R"({"Flag":false})", "Flag");
    AddReadRow("bool from text 1 is false", {R"({"Flag":"1"})"}, R"({"Flag":false})", "Flag");
    AddReadRow("int truncates towards zero", {R"({"Count":3.9,"Child":{"id":-3.9}})"},
               R"({"Count":3,"Child":{"id":-3}})", "Count Child");
    AddReadRow("int above INT_MAX saturates", {R"({"Count":2147483648.5,"Child":{"id":1e999}})"},
               R"({"Count":2147483647,"Child":{"id":2147483647}})", "Count Child");
    AddReadRow("int below INT_MIN saturates", {R"({"Count":-2147483649.5,"Child":{"id":-1e999}})"},
               R"({"Count":-2147483648,"Child":{"id":-2147483648}})", "Count Child");
    AddReadRow("int from true is 1", {R"({"Count":true})"}, R"({"Count":1})", "Count");

    const QByteArray first = R"({"Name":"a","Items":[{"id":1},{"id":2}]})";
    AddReadRow("second read keeps keys of both, list of the second", {first, R"({"Count":3,"Items":[{"id":7}]})"},
               R"({"Name":"a","Count":3,"Items":[{"id":7}]})", "Count Name Items");
    AddReadRow("null node changes nothing", {first, QByteArray()}, R"({"Name":"a","Items":[{"id":1},{"id":2}]})",
               "Name Items");
    AddReadRow("second read in another case keeps one key", {first, R"({"NAME":"b"})"}, R"({"Name":"b","Items":[]})",
               "Name Items");
}

void TestJsonRecordFramework::read()
{
    QFETCH(QByteArrayList, inputs);
    QFETCH(QByteArray, expected);
    QFETCH(QString, present);

    SampleRecord record = PrefilledSample();
    for (const QByteArray& json : inputs) {
        JsonPtr pNode = Parse(json);
        QVERIFY(pNode || json.isNull());
        record.FromJSON(pNode.get());
    }
    JsonPtr pOutput(record.ToJSON());
    JsonPtr pExpected = Parse(expected);
    QVERIFY(pExpected);
    for (const cJSON* pMember = pExpected->child; pMember; pMember = pMember->next)
        QCOMPARE(Print(cJSON_GetObjectItemCaseSensitive(pOutput.get(), pMember->string)), Print(pMember));
    const SampleRecord copy(record); // copies keep the keys found
    QStringList keys;
    for (const std::string& strKey : copy.m_setPresentKeys.Keys())
        keys << QString::fromStdString(strKey);
    QCOMPARE(keys.join(' '), present);
    QVERIFY(!copy.m_setPresentKeys.Contains("COUNT")); // only under the declared spelling
}

// NaN has no JSON spelling, but nodes built in memory and fields can hold it;
// neither direction may convert it to int (undefined behaviour).
void TestJsonRecordFramework::notANumber()
{
    const double dNaN = std::numeric_limits<double>::quiet_NaN();
    JsonPtr pNode(cJSON_CreateObject());
    cJSON_AddNumberToObject(pNode.get(), "Count", 0)->valuedouble = dNaN;
    SampleRecord record = PrefilledSample();
    record.FromJSON(pNode.get());
    QCOMPARE(record.Count, 0);

    record.Ratio = dNaN;
    JsonPtr pOutput(record.ToJSON());
    QCOMPARE(Print(cJSON_GetObjectItem(pOutput.get(), "Ratio")), QByteArray("null"));
}

void TestJsonRecordFramework::filter_data()
{
    QTest::addColumn<uint>("mode");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray all = R"({"Flag":false,"Count":0,"Ratio":0,"Name":"","Child":{"id":0},"Items":[{"id":0}]})";
    QTest::newRow("mode 0 leaves listed keys out")
        << 0u << QStringList{"Ratio", "Items", ""}
        << QByteArray(R"({"Flag":false,"Count":0,"Name":"","Child":{"id":0}})");
    QTest::newRow("mode 1 writes only listed keys") << 1u << QStringList{"Count"} << QByteArray(R"({"Count":0})");
    QTest::newRow("mode 1 with an empty list writes nothing") << 1u << QStringList{} << QByteArray("{}");
    QTest::newRow("other modes write every key") << 2u << QStringList{"Count"} << all;
    QTest::newRow("list is case-sensitive") << 0u << QStringList{"COUNT"} << all;
    QTest::newRow("filter not applied to nested records")
        << 1u << QStringList{"Child", "Items"} << QByteArray(R"({"Child":{"id":0},"Items":[{"id":0}]})");
}

void TestJsonRecordFramework::filter()
{
    QFETCH(uint, mode);
    QFETCH(QStringList, list);
    QFETCH(QByteArray, expected);

    SampleRecord filtered;
    filtered.Items.resize(1);
    filtered.m_uIgnoreMode = mode;
    for (const QString& key : list)
        filtered.m_vecIgnoreList.push_back(key.toStdString());
    SampleRecord record;
    record = filtered; // assignment carries the filter
    QCOMPARE(PrintRecord(record), expected);
    // An empty or null key is never ignored, whatever the mode and list.
    QVERIFY(!record.IsIgnored(""));
    QVERIFY(!record.IsIgnored(nullptr));
}

void TestJsonRecordFramework::checkRequired_data()
{
    QTest::addColumn<QByteArray>("name"); // null: no "Name" key
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("items");
    QTest::addColumn<QByteArray>("error"); // empty: the checks pass

    QTest::newRow("all checks pass, clearing the error") << QByteArray("cam") << 1 << true << QByteArray();
    QTest::newRow("key missing") << QByteArray() << 5 << true << QByteArray("Name field not exist!");
    QTest::newRow("list empty") << QByteArray("cam") << 5 << false << QByteArray("Items can't be empty!");
    QTest::newRow("int below range") << QByteArray("cam") << 0 << true << QByteArray("Count is lesser than 1.");
    QTest::newRow("int above range") << QByteArray("cam") << 151 << true << QByteArray("Count is greater than 150.");
    QTest::newRow("int at upper limit") << QByteArray("cam") << 150 << true << QByteArray();
    QTest::newRow("text too long") << QByteArray("camera-12") << 5 << true
                                   << QByteArray("Name length is greater than 8.");
    QTest::newRow("text at length limit") << QByteArray("camera-1") << 5 << true << QByteArray();
    for (const char* szBad : {"a/b", "a:b", "a*b", "a?b", "a<b", "a>b", "a|b", "a\xA1\xB0"}) {
        QTest::newRow(qPrintable(QString("invalid char in %1").arg(QString::fromLatin1(szBad))))
            << QByteArray(szBad) << 5 << true << QByteArray("Name contain invalid char [/:*?\xA1\xB0<>|].");
    }
}

void TestJsonRecordFramework::checkRequired()
{
    QFETCH(QByteArray, name);
    QFETCH(int, count);
    QFETCH(bool, items);
    QFETCH(QByteArray, error);

    QByteArray json = "{\"Count\":" + QByteArray::number(count) + ",\"Items\":" + (items ? "[{}]" : "[]");
    if (!name.isNull())
        json += ",\"Name\":\"" + name + '"';
    SampleRecord record;
    JsonPtr pNode = Parse(json + '}');
    QVERIFY(pNode);
    record.FromJSON(pNode.get());
    std::string strError = "stale";
    QCOMPARE(record.CheckRequired(strError), error.isEmpty());
    QCOMPARE(QByteArray::fromStdString(strError), error);
}

void TestJsonRecordFramework::logTextEscapes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("plain and non-Latin text kept")
        << QByteArray("Gate \xE9\x97\xA8") << QByteArray("Gate \xE9\x97\xA8");
    QTest::newRow("line breaks and tab") << QByteArray("a\r\nb\tc") << QByteArray("a\\r\\nb\\tc");
    QTest::newRow("escape, NUL and DEL") << QByteArray("\x1B[31m\0\x7F", 7) << QByteArray("\\x1b[31m\\x00\\x7f");
    QTest::newRow("C1 control and line separator") << QByteArray("a\xC2\x85"
                                                                 "b\xE2\x80\xA8")
                                                   << QByteArray("a\\u{0085}b\\u{2028}");
    QTest::newRow("bidirectional isolate") << QByteArray("\xE2\x81\xA6x") << QByteArray("\\u{2066}x");
    QTest::newRow("backslash doubled") << QByteArray("a\\n") << QByteArray("a\\\\n");
    QTest::newRow("bytes that are not UTF-8") << QByteArray("a\xFF\xC3") << QByteArray("a\\xff\\xc3");
}

void TestJsonRecordFramework::logTextEscapes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, escaped);
    QCOMPARE(QByteArray::fromStdString(protocol::EscapeForLog(text.toStdString())), escaped);
}

void TestJsonRecordFramework::responseText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QByteArray>("msg");
    QTest::addColumn<double>("width");
    QTest::addColumn<QByteArray>("log");

    const int nUnknown = protocol::kUnknownErrorCode;
    QTest::newRow("code, msg and data") << QByteArray(R"({"code":"1001","msg":"busy","data":{"WIDTH":0.5}})") << true
                                        << 1001 << QByteArray("busy") << 0.5 << QByteArray();
    QTest::newRow("hexadecimal code") << QByteArray(R"({"code":"0x1F"})") << true << 31 << QByteArray() << 0.0
                                      << QByteArray();
    QTest::newRow("code above INT_MAX saturates")
        << QByteArray(R"({"code":"99999999999999999999"})") << true << INT_MAX << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("code that is not a number")
        << QByteArray(R"({"code":"E12"})") << true << nUnknown << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("empty text") << QByteArray() << false << nUnknown << QByteArray() << 0.0 << QByteArray();
    QTest::newRow("text that is not JSON") << QByteArray("{bad") << false << nUnknown << QByteArray() << 0.0
                                           << QByteArray("Failed to cJSON_Parse( [{bad] ). Error at byte 2.");
    // A hostile body is refused before parsing, and the log quotes only its start.
    const QByteArray baHuge = QByteArray("{") + QByteArray(int(protocol::kMaxBodyBytes), ' ');
    QTest::newRow("body above the size limit")
        << baHuge << false << nUnknown << QByteArray() << 0.0
        << QByteArray("Refused a response of ") + QByteArray::number(baHuge.size()) + " bytes (limit "
               + QByteArray::number(qulonglong(protocol::kMaxBodyBytes)) + "): [" + baHuge.left(160) + "]... ("
               + QByteArray::number(baHuge.size()) + " bytes)";
    QTest::newRow("forged log line in a body")
        << QByteArray("{x\n12:00:00 lsa.plugin: fake\xE2\x80\xAE") << false << nUnknown << QByteArray() << 0.0
        << QByteArray("Failed to cJSON_Parse( [{x\\n12:00:00 lsa.plugin: fake\\u{202e}] ). Error at byte 2.");
    const QByteArray baLongBad = "not json " + QByteArray(400, 'x');
    QTest::newRow("long text that is not JSON")
        << baLongBad << false << nUnknown << QByteArray() << 0.0
        << QByteArray("Failed to cJSON_Parse( [") + baLongBad.left(160) + "]... (409 bytes) ). Error at byte 0.";
}

void TestJsonRecordFramework::responseText()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, parsed);
    QFETCH(int, errorCode);
    QFETCH(QByteArray, msg);
    QFETCH(double, width);
    QFETCH(QByteArray, log);

    if (!log.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, log.constData());
    protocol::JSONResponse<protocol::PictureRect> response;
    QCOMPARE(response.FromText(text.toStdString()), parsed);
    QCOMPARE(response.ErrorCode(), errorCode);
    QCOMPARE(QByteArray::fromStdString(response.msg), msg);
    QCOMPARE(response.data.width, width);
}

void TestJsonRecordFramework::listLengthLimit_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");
    QTest::newRow("at the limit") << protocol::kMaxListLength << protocol::kMaxListLength;
    QTest::newRow("one above the limit is refused") << protocol::kMaxListLength + 1 << 0;
}

void TestJsonRecordFramework::listLengthLimit()
{
    QFETCH(int, length);
    QFETCH(int, kept);
    QByteArray json = R"({"Items":[)";
    for (int i = 0; i < length; ++i)
        json += i ? ",{}" : "{}";
    json += "]}";
    if (kept != length)
        QTest::ignoreMessage(QtWarningMsg, QByteArray("Refused a list of " + QByteArray::number(length)
                                                      + " elements (limit 4096); it is read as empty.")
                                               .constData());
    JsonPtr pRoot(cJSON_Parse(json.constData()));
    SampleRecord record;
    record.FromJSON(pRoot.get());
    QCOMPARE(int(record.Items.size()), kept);
}

QTEST_GUILESS_MAIN(TestJsonRecordFramework)
#include "tst_jsonrecordframework.moc"
