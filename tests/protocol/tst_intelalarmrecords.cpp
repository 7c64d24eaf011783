// The intelligent alarm records: key order and names, shared picture bytes,
// rectangle order, and round trips of realistic and fully filled alarms.

#include <QtTest>

#include "JSONStruct/IntelAlarmInfoStruct.h"
#include "RecordTestUtil.h"

using namespace recordtest;

namespace {

QByteArray ReadSample(const QString& strName)
{
    QFile file(QStringLiteral(LSA_PROTOCOL_TEST_DATA) + "/" + strName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class Record>
Record FromText(const QByteArray& json)
{
    JsonPtr pNode(cJSON_Parse(json.constData()));
    return Record(pNode.get());
}

template <class Record>
void AddKeyOrderRow(const char* szTypeName, const QStringList& expectedKeys)
{
    const Record record;
    JsonPtr pNode(record.ToJSON());
    QTest::newRow(szTypeName) << KeysOf(pNode.get()) << expectedKeys << QString(record.TypeName());
}

template <class Record>
void AddFilledRoundTripRow(const char* szTypeName)
{
    Record record;
    int nSeed = 0;
    FillDistinct(record, nSeed);
    QStringList diffs;
    const Record copy = FromText<Record>(PrintRecord(record));
    CollectDiffs(record, copy, szTypeName, diffs);
    QTest::newRow(szTypeName) << diffs << PrintRecord(record) << PrintRecord(copy) << nSeed;
}

protocol::AlarmPictureInfo PictureWithRects(int nCount)
{
    protocol::AlarmPictureInfo picture;
    picture.PictureRectList.resize(static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
        picture.PictureRectList[static_cast<std::size_t>(i)].x = 0.1 * (i + 1);
    return picture;
}

}  // namespace

class TestIntelAlarmRecords : public QObject {
    Q_OBJECT

private slots:
    void jsonKeyOrder_data();
    void jsonKeyOrder();
    void memberDeclarationOrder();
    void pictureBytes_data();
    void pictureBytes();
    void rectangleOrder_data();
    void rectangleOrder();
    void detectionLists_data();
    void detectionLists();
    void realisticRoundTrip_data();
    void realisticRoundTrip();
    void filledRoundTrip_data();
    void filledRoundTrip();
};

void TestIntelAlarmRecords::jsonKeyOrder_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("typeName");

    AddKeyOrderRow<protocol::IntelAlarmInfoStruct>(
        "IntelAlarmInfoStruct",
        {"LinkageUid", "FaceContrast", "VCASmart", "DevLinkCamera", "AIOpenPlatform", "AIOpenPlatformEx", "LFPD",
         "CameraGroupPeopleCounting", "SecurityCheckInfo", "MetalDetection", "SecurityPeopleDetection",
         "visiblePackageEvent", "faceCapture", "IntelAlarmFaceInfoList", "IntelAlarmHumanInfoList",
         "IntelAlarmNonMotorInfoList", "IntelAlarmVehicleInfoList", "IntelAlarmMEFInfoList"});
    AddKeyOrderRow<protocol::IntelAlarmHumanInfo>(
        "IntelAlarmHumanInfo",
        {"MatchFace", "FaceFromSamePic", "NeedSaveBkImg", "ThreeWheel", "UpColor", "DownColor", "Sex", "Glass", "Bag",
         "Things", "Hat", "Mask", "LongShirt", "TrousersType", "LongHair", "Ride", "MultiRider", "AgeGroup", "bkPic",
         "SubPic"});
    AddKeyOrderRow<protocol::IntelAlarmFaceInfo>(
        "IntelAlarmFaceInfo",
        {"IsMatchedFace", "NeedSaveBkImg", "facePicID", "age", "StayDuration", "Sex", "Glass", "AgeGroup", "Mask",
         "Expression", "Beard", "Smile", "LivenessStatus", "Race", "Hat", "TemperatureEnabled", "TemperatureAnomaly",
         "TemperatureUnit", "Temperature", "HighAlarmTemperature", "bkPic", "SubPic", "ThermalPic"});
    AddKeyOrderRow<protocol::AlarmPictureInfo>("AlarmPictureInfo", {"guid", "url", "hasFace", "PictureRectList"});
    AddKeyOrderRow<protocol::IntelVCASmartAlarm>("IntelVCASmartAlarm", {"TargetType", "bkPic"});
    AddKeyOrderRow<protocol::PictureRect>("PictureRect", {"x", "y", "width", "height"});
    AddKeyOrderRow<protocol::AIOPAlarmInfo>(
        "AIOPAlarmInfo",
        {"vsRuleInfos", "vsAudioInfos", "struMajorPic", "struMinorPic", "struTargetPic", "struTargetBkPic",
         "AIOPDotMatrixInfo", "strJsonInfo", "strPid", "iDeviceCategory", "tmOccurTime", "strChannelName"});
    AddKeyOrderRow<protocol::AIOPRuleInfo>("AIOPRuleInfo", {"strRuleName", "iRuleID", "iRuleType", "vsTargetInfos"});
    AddKeyOrderRow<protocol::IntelAlarmVehicleInfo>(
        "IntelAlarmVehicleInfo",
        {"NeedSaveBkImg", "MainBand", "SubBand", "CarModel", "Band", "CarType", "CarColor", "CarColorDepth",
         "PlateType", "Plate", "PlateConfidence", "PlateColor", "Phone", "SafeBelt", "SunShield", "Hanging",
         "AlarmType", "AIDType", "LaneNo", "CrossLine", "CrossSpaces", "AngledParking", "CarEnterState",
         "AlarmValidity", "TriggerType", "ParkingNo", "SceneName", "MonitorTaskID", "ListType", "bkPic", "SubPic",
         "PlatebkPic", "PlateSubPic", "MixPic", "HPNo", "lane", "parkingSpaceStatus", "rate", "operationPeopleNum",
         "operationStatus", "motionStatus", "vehicleDoorStatus", "stockStatus"});
    AddKeyOrderRow<protocol::IntelAlarmMEFInfo>("IntelAlarmMEFInfo", {"time", "IMSI", "IMEI", "bandIdx"});
    AddKeyOrderRow<protocol::IntelAlarmFaceContrastInfo>(
        "IntelAlarmFaceContrastInfo",
        {"SnapFace", "SnapHuman", "Similarity", "RecordDataIndex", "Occurrences", "ContrastStatus",
         "IntelAlarmPeopleInfo", "ArmingType"});
    AddKeyOrderRow<protocol::IntelAlarmPeopleInfo>(
        "IntelAlarmPeopleInfo",
        {"Name", "Sex", "Province", "City", "CertType", "CertNum", "Birth", "Phone", "FDname", "FDID", "FDThresh",
         "Prompt", "ExtendInfoList", "Pic"});
    AddKeyOrderRow<protocol::AIOpenPlatformInfo>(
        "AIOpenPlatformInfo",
        {"AlarmPictureInfo", "AddAlarmPictureInfo", "AIOPEvent", "strJsonInfo", "strTargetImage",
         "strTargetBackgroundImage", "iType", "iPresetIndex", "iDeviceCategory", "iShowType", "strPID", "targets"});
    AddKeyOrderRow<protocol::IntelAlarmNonMotorInfo>("IntelAlarmNonMotorInfo", {"x"});
    AddKeyOrderRow<protocol::DevLinkCamera>("DevLinkCamera", {});
}

void TestIntelAlarmRecords::jsonKeyOrder()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, expected);
    QFETCH(QString, typeName);

    QCOMPARE(keys, expected);
    QCOMPARE(typeName, QString(QTest::currentDataTag()));
}

// The record keeps the host's member layout although its JSON order differs.
void TestIntelAlarmRecords::memberDeclarationOrder()
{
    const protocol::IntelAlarmInfoStruct alarm;
    const auto address = [](const auto& member) { return reinterpret_cast<const char*>(&member); };
    QVERIFY(address(alarm.VCASmart) < address(alarm.AIOpenPlatform));
    QVERIFY(address(alarm.AIOpenPlatformEx) < address(alarm.DevLinkCamera));
    QVERIFY(address(alarm.DevLinkCamera) < address(alarm.LFPD));
}

void TestIntelAlarmRecords::pictureBytes_data()
{
    QTest::addColumn<int>("scenario");
    QTest::newRow("copied picture shares bytes") << 0;
    QTest::newRow("assigned picture shares bytes") << 1;
    QTest::newRow("copied human shares body picture bytes") << 2;
    QTest::newRow("copied alarm shares scene picture bytes") << 3;
}

void TestIntelAlarmRecords::pictureBytes()
{
    QFETCH(int, scenario);

    protocol::IntelAlarmInfoStruct alarm;
    alarm.IntelAlarmHumanInfoList.resize(1);
    protocol::AlarmPictureInfo& original = scenario == 2 ? alarm.IntelAlarmHumanInfoList[0].bkPic
                                                         : alarm.VCASmart.bkPic;
    protocol::AlarmPictureInfo assigned;
    protocol::AlarmPictureInfo* pSeen = nullptr;
    protocol::IntelAlarmHumanInfo humanCopy;
    std::unique_ptr<protocol::IntelAlarmInfoStruct> pAlarmCopy;
    protocol::AlarmPictureInfo pictureCopy(original);
    switch (scenario) {
    case 0: pSeen = &pictureCopy; break;
    case 1: assigned = original; pSeen = &assigned; break;
    case 2: humanCopy = alarm.IntelAlarmHumanInfoList[0]; pSeen = &humanCopy.bkPic; break;
    default: pAlarmCopy = std::make_unique<protocol::IntelAlarmInfoStruct>(alarm); pSeen = &pAlarmCopy->VCASmart.bkPic;
    }

    QVERIFY(pSeen->pPicBinary->strData.empty());
    pSeen->pPicBinary->strData.assign("\xFF\xD8\x00\x01", 4);
    QCOMPARE(original.pPicBinary->strData, std::string("\xFF\xD8\x00\x01", 4));
    QCOMPARE(pSeen->pPicBinary.get(), original.pPicBinary.get());
}

void TestIntelAlarmRecords::rectangleOrder_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<double>>("xs");

    QTest::newRow("three rectangles in input order")
        << QByteArray(R"({"PictureRectList":[{"x":0.3},{"x":0.1},{"x":0.2}]})") << QList<double>{0.3, 0.1, 0.2};
    QTest::newRow("one rectangle") << QByteArray(R"({"PictureRectList":[{"x":0.5}]})") << QList<double>{0.5};
    QTest::newRow("empty list") << QByteArray(R"({"PictureRectList":[]})") << QList<double>{};
    QTest::newRow("key absent") << QByteArray(R"({"url":"u"})") << QList<double>{};
}

void TestIntelAlarmRecords::rectangleOrder()
{
    QFETCH(QByteArray, json);
    QFETCH(QList<double>, xs);

    protocol::AlarmPictureInfo picture = PictureWithRects(4);
    JsonPtr pNode(cJSON_Parse(json.constData()));
    picture.FromJSON(pNode.get());

    QList<double> actual;
    for (const protocol::PictureRect& rect : picture.PictureRectList)
        actual << rect.x;
    QCOMPARE(actual, xs);
}

void TestIntelAlarmRecords::detectionLists_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("humans");
    QTest::addColumn<int>("faces");

    QTest::newRow("both lists empty") << QByteArray(R"({"IntelAlarmHumanInfoList":[],"IntelAlarmFaceInfoList":[]})")
                                      << 0 << 0;
    QTest::newRow("both lists absent") << QByteArray(R"({"LinkageUid":"u"})") << 0 << 0;
    QTest::newRow("linkage alarm") << ReadSample("linkage_alarm.json") << 3 << 1;
    QTest::newRow("panoramic alarm") << ReadSample("panoramic_alarm.json") << 0 << 0;
}

void TestIntelAlarmRecords::detectionLists()
{
    QFETCH(QByteArray, json);
    QFETCH(int, humans);
    QFETCH(int, faces);

    protocol::IntelAlarmInfoStruct alarm;
    alarm.IntelAlarmHumanInfoList.resize(2);
    alarm.IntelAlarmFaceInfoList.resize(2);
    JsonPtr pNode(cJSON_Parse(json.constData()));
    QVERIFY(pNode);
    alarm.FromJSON(pNode.get());
    QCOMPARE(static_cast<int>(alarm.IntelAlarmHumanInfoList.size()), humans);
    QCOMPARE(static_cast<int>(alarm.IntelAlarmFaceInfoList.size()), faces);
}

void TestIntelAlarmRecords::realisticRoundTrip_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("panoramic alarm") << ReadSample("panoramic_alarm.json");
    QTest::newRow("linkage alarm") << ReadSample("linkage_alarm.json");
    QTest::newRow("vehicle, terminal, comparison and open-platform alarm") << ReadSample("mixed_targets_alarm.json");
}

// Every field survives ToJSON followed by FromJSON; the values that the
// linkage view reads are also checked against the input text.
void TestIntelAlarmRecords::realisticRoundTrip()
{
    QFETCH(QByteArray, json);
    QVERIFY(!json.isEmpty());

    const auto alarm = FromText<protocol::IntelAlarmInfoStruct>(json);
    const auto again = FromText<protocol::IntelAlarmInfoStruct>(PrintRecord(alarm));
    QStringList diffs;
    CollectDiffs(alarm, again, "alarm", diffs);
    QCOMPARE(diffs, QStringList());
    QCOMPARE(PrintRecord(again), PrintRecord(alarm));

    JsonPtr pInput(cJSON_Parse(json.constData()));
    const cJSON* pUid = cJSON_GetObjectItem(pInput.get(), "LinkageUid");
    QCOMPARE(alarm.LinkageUid, std::string(cJSON_GetStringValue(pUid)));
    const cJSON* pHumans = cJSON_GetObjectItem(pInput.get(), "IntelAlarmHumanInfoList");
    for (int i = 0; i < cJSON_GetArraySize(pHumans); ++i) {
        const auto& human = alarm.IntelAlarmHumanInfoList[static_cast<std::size_t>(i)];
        const cJSON* pHuman = cJSON_GetArrayItem(pHumans, i);
        QCOMPARE(human.FaceFromSamePic, cJSON_IsTrue(cJSON_GetObjectItem(pHuman, "FaceFromSamePic")) != 0);
        const cJSON* pRects = cJSON_GetObjectItem(cJSON_GetObjectItem(pHuman, "SubPic"), "PictureRectList");
        QCOMPARE(static_cast<int>(human.SubPic.PictureRectList.size()), cJSON_GetArraySize(pRects));
        const cJSON* pLast = cJSON_GetArrayItem(pRects, cJSON_GetArraySize(pRects) - 1);
        QCOMPARE(human.SubPic.PictureRectList.back().height,
                 cJSON_GetNumberValue(cJSON_GetObjectItem(pLast, "height")));
    }
}

void TestIntelAlarmRecords::filledRoundTrip_data()
{
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<QByteArray>("printed");
    QTest::addColumn<QByteArray>("reprinted");
    QTest::addColumn<int>("fieldCount");

    AddFilledRoundTripRow<protocol::IntelAlarmInfoStruct>("IntelAlarmInfoStruct");
    AddFilledRoundTripRow<protocol::AIOPAlarmInfo>("AIOPAlarmInfo");
}

// Every field of every nested record holds a value of its own before the trip.
void TestIntelAlarmRecords::filledRoundTrip()
{
    QFETCH(QStringList, diffs);
    QFETCH(QByteArray, printed);
    QFETCH(QByteArray, reprinted);
    QFETCH(int, fieldCount);

    QVERIFY(fieldCount > 50);
    QCOMPARE(diffs, QStringList());
    QCOMPARE(reprinted, printed);
}

QTEST_GUILESS_MAIN(TestIntelAlarmRecords)
#include "tst_intelalarmrecords.moc"
