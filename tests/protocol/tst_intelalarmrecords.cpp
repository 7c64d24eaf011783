// The intelligent alarm records: key order, member layout,
// shared picture bytes, and round trips of realistic alarms.

#include <QtTest>

#include <future>

#include "protocol/JSONStruct/IntelAlarmInfoStruct.h"
#include "tests/protocol/RecordTestUtil.h"

using namespace recordtest;

namespace {

QByteArray ReadSample(const char* szName)
{
    QFile file(QString(LSA_PROTOCOL_TEST_DATA) + "/" + szName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lists every input value that the output lost or changed. A record without
// fields writes an empty object: it carries none of its input's members.
void CollectLost(const cJSON* pInput, const cJSON* pOutput, const QString& strPath, QStringList& lost)
{
    if (cJSON_IsObject(pInput) && cJSON_IsObject(pOutput)) {
        for (const cJSON* pMember = pInput->child; pMember && pOutput->child; pMember = pMember->next)
            CollectLost(pMember, cJSON_GetObjectItemCaseSensitive(pOutput, pMember->string),
                        strPath + '.' + pMember->string, lost);
    } else if (cJSON_IsArray(pInput) && cJSON_IsArray(pOutput)
               && cJSON_GetArraySize(pInput) == cJSON_GetArraySize(pOutput)) {
        for (int i = 0; i < cJSON_GetArraySize(pInput); ++i)
            CollectLost(cJSON_GetArrayItem(pInput, i), cJSON_GetArrayItem(pOutput, i), strPath + QString("[%1]").arg(i),
                        lost);
    } else if (!cJSON_Compare(pInput, pOutput, true)) {
        lost << strPath + ": " + Print(pInput) + " became " + Print(pOutput);
    }
}

} // namespace

class TestIntelAlarmRecords : public QObject
{
    Q_OBJECT

private slots:
    void alarmKeyOrder();
    void memberDeclarationOrder();
    void pictureBytes_data();
    void pictureBytes();
    void roundTrip_data();
    void roundTrip();
};

// The alarm writes its keys in the documented order, which differs from its
// member layout; the other records' keys are covered by the round trips.
void TestIntelAlarmRecords::alarmKeyOrder()
{
    JsonPtr pNode(protocol::IntelAlarmInfoStruct().ToJSON());
    QStringList keys;
    for (const cJSON* pMember = pNode->child; pMember; pMember = pMember->next)
        keys << pMember->string;
    QCOMPARE(keys.join(' '),
             "LinkageUid FaceContrast VCASmart DevLinkCamera AIOpenPlatform AIOpenPlatformEx LFPD "
             "CameraGroupPeopleCounting SecurityCheckInfo MetalDetection SecurityPeopleDetection visiblePackageEvent "
             "faceCapture IntelAlarmFaceInfoList IntelAlarmHumanInfoList IntelAlarmNonMotorInfoList "
             "IntelAlarmVehicleInfoList IntelAlarmMEFInfoList");
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
    QTest::addColumn<bool>("holds");

    protocol::IntelAlarmInfoStruct alarm;
    alarm.IntelAlarmHumanInfoList.resize(1);
    const protocol::AlarmPictureInfo& scene = alarm.VCASmart.bkPic;
    const protocol::AlarmPictureInfo& body = alarm.IntelAlarmHumanInfoList[0].bkPic;
    const auto same = [](const protocol::AlarmPictureInfo& a, const protocol::AlarmPictureInfo& b) {
        return a.pPicBinary && a.pPicBinary == b.pPicBinary;
    };
    protocol::AlarmPictureInfo assigned;
    assigned = scene;
    QTest::newRow("copied picture shares bytes") << same(protocol::AlarmPictureInfo(scene), scene);
    QTest::newRow("assigned picture shares bytes") << same(assigned, scene);
    QTest::newRow("copied alarm shares bytes of listed targets")
        << same(protocol::IntelAlarmInfoStruct(alarm).IntelAlarmHumanInfoList[0].bkPic, body);
    QTest::newRow("each picture starts with bytes of its own") << !same(scene, body);
    protocol::AlarmPictureInfo moved(scene);
    const protocol::AlarmPictureInfo movedTo(std::move(moved));
    QTest::newRow("moved picture keeps its bytes") << same(movedTo, scene);
    protocol::AlarmPictureInfo cleared;
    cleared.pPicBinary = nullptr;
    QTest::newRow("null assigned means no bytes")
        << (!cleared.pPicBinary && !protocol::AlarmPictureInfo(cleared).pPicBinary);
    const protocol::AlarmPictureInfo readTwice;
    const auto bytesOf = [&readTwice] { return readTwice.pPicBinary.get(); };
    auto first = std::async(std::launch::async, bytesOf);
    auto second = std::async(std::launch::async, bytesOf);
    QTest::newRow("threads reading a new picture find the same bytes") << (first.get() == second.get());
    // Blocks of pictures that have gone are used again: never with their bytes.
    const void* pGoneBlock = nullptr;
    {
        protocol::AlarmPictureInfo gone;
        gone.pPicBinary->strData = "old picture";
        pGoneBlock = gone.pPicBinary.get();
    }
    protocol::AlarmPictureInfo fresh;
    QTest::newRow("a reused block starts with empty bytes")
        << (fresh.pPicBinary->strData.empty() && fresh.pPicBinary.get() == pGoneBlock);
}

void TestIntelAlarmRecords::pictureBytes()
{
    QFETCH(bool, holds);
    QVERIFY(holds);
}

void TestIntelAlarmRecords::roundTrip_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("panoramic alarm") << ReadSample("panoramic_alarm.json");
    QTest::newRow("linkage alarm") << ReadSample("linkage_alarm.json");
    QTest::newRow("vehicle, terminal, comparison and open-platform alarm") << ReadSample("mixed_targets_alarm.json");
    QTest::newRow("rectangles keep input order")
        << QByteArray(R"({"VCASmart":{"bkPic":{"PictureRectList":[{"x":0.3},{"x":0.1},{"x":0.2}]}}})");
}

// The alarm keeps every input value it declares, and its output read back
// writes every field the same.
void TestIntelAlarmRecords::roundTrip()
{
    QFETCH(QByteArray, json);

    JsonPtr pInput = Parse(json);
    QVERIFY(pInput);
    JsonPtr pOutput(protocol::IntelAlarmInfoStruct(pInput.get()).ToJSON());
    JsonPtr pAgain(protocol::IntelAlarmInfoStruct(pOutput.get()).ToJSON());
    QStringList lost;
    CollectLost(pInput.get(), pOutput.get(), "input", lost);
    CollectLost(pOutput.get(), pAgain.get(), "output", lost);
    QCOMPARE(lost.join(QLatin1Char('\n')), QString());
}

QTEST_GUILESS_MAIN(TestIntelAlarmRecords)
#include "tst_intelalarmrecords.moc"
