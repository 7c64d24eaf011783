#include "sim/AlarmFactory.h"
#include "sim/AlarmSimulator.h"

#include "alarmview/AlarmPictureDecoder.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QTest>

using namespace AlarmSim;

namespace {

bool Inside(const protocol::PictureRect& rect)
{
    return rect.x >= 0 && rect.y >= 0 && rect.width > 0 && rect.height > 0 && rect.x + rect.width <= 1
           && rect.y + rect.height <= 1;
}

// How a person's body and face reach the view: C close-up, R rectangle in the
// background, S face from the same picture.
QString PersonKind(const protocol::IntelAlarmHumanInfo& human)
{
    if (!human.SubPic.pPicBinary->strData.empty())
        return "C";
    return human.FaceFromSamePic && human.SubPic.PictureRectList.size() > 2 ? "S" : "R";
}

} // namespace

class tst_AlarmSimulator : public QObject
{
    Q_OBJECT
private slots:
    void alarmsOfALinkage_data();
    void alarmsOfALinkage();
    void runsAtItsRateAndStops();
};

void tst_AlarmSimulator::alarmsOfALinkage_data()
{
    QTest::addColumn<QSize>("sizePicture");
    QTest::addColumn<int>("nPersons");
    QTest::addColumn<QString>("strKinds");
    QTest::newRow("1080p, three persons") << QSize(1920, 1080) << 3 << "CRS";
    QTest::newRow("4K, one person") << QSize(3840, 2160) << 1 << "C";
    QTest::newRow("no persons") << QSize(1920, 1080) << 0 << "";
    QTest::newRow("five persons") << QSize(640, 360) << 5 << "CRSCR";
}

void tst_AlarmSimulator::alarmsOfALinkage()
{
    QFETCH(QSize, sizePicture);
    QFETCH(int, nPersons);
    QFETCH(QString, strKinds);
    const CAlarmFactory factory(sizePicture, nPersons);
    const SimCamera panoramic{"AS-P", "Panorama"};
    const SimCamera linked{"AS-L", "Left"};
    const auto scene = factory.Panoramic(panoramic, "uid-1", 0);
    QCOMPARE(scene.AlarmType, 100009);
    QCOMPARE(scene.AlarmSourceID, std::string("AS-P"));
    QCOMPARE(scene.AlarmSourceName, std::string("Panorama"));
    QCOMPARE(LinkageSnapAlarm::AlarmPicture::HeaderSize(scene.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData),
             sizePicture);

    const auto alarm = factory.Linkage(linked, "uid-1", 5);
    QCOMPARE(alarm.AlarmType, 100509);
    QCOMPARE(alarm.IntelAlarmInfo.LinkageUid, std::string("uid-1"));
    QString strActual;
    for (const auto& human : alarm.IntelAlarmInfo.IntelAlarmHumanInfoList) {
        strActual += PersonKind(human);
        QCOMPARE(LinkageSnapAlarm::AlarmPicture::HeaderSize(human.bkPic.pPicBinary->strData), sizePicture);
        for (const auto& rect : human.SubPic.PictureRectList)
            QVERIFY(Inside(rect));
        if (PersonKind(human) == "C")
            QVERIFY(LinkageSnapAlarm::AlarmPicture::HeaderSize(human.SubPic.pPicBinary->strData).isValid());
    }
    QCOMPARE(strActual, strKinds);
    QCOMPARE(alarm.IntelAlarmInfo.IntelAlarmFaceInfoList.size(), size_t(nPersons > 0 ? 1 : 0));
    // Alarms share their pictures rather than copy them.
    const auto again = factory.Linkage(linked, "uid-2", 5);
    if (nPersons > 0)
        QCOMPARE(again.IntelAlarmInfo.IntelAlarmHumanInfoList[0].bkPic.pPicBinary.get(),
                 alarm.IntelAlarmInfo.IntelAlarmHumanInfoList[0].bkPic.pPicBinary.get());
}

void tst_AlarmSimulator::runsAtItsRateAndStops()
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QStringList lstAlarms;
    connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, this, [&](void* pAlarm) {
        const auto info = static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo();
        lstAlarms << QString("%1 %2").arg(info.AlarmType).arg(QString::fromStdString(info.AlarmSourceID));
    });
    CAlarmSimulator simulator;
    SimSettings settings;
    settings.dRate = 50;
    settings.nBurst = 2;
    settings.nPersons = 1;
    settings.sizePicture = QSize(320, 180);
    simulator.SetSettings(settings);
    simulator.SetCameras({{"AS-P", "Panorama"}}, {{"AS-L", "Left"}, {"AS-R", "Right"}});
    simulator.Start();
    QTRY_VERIFY(lstAlarms.size() >= 6);
    simulator.Stop();
    QVERIFY(!simulator.IsRunning());
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    QCOMPARE(quint64(lstAlarms.size()), simulator.AlarmsSent());
    // Each linkage: its panoramic alarm, then the burst from the linked cameras in turn.
    QCOMPARE(lstAlarms.mid(0, 6).join(','),
             QString("100009 AS-P,100509 AS-L,100509 AS-R,100009 AS-P,100509 AS-R,100509 AS-L"));
}

QTEST_MAIN(tst_AlarmSimulator)
#include "tst_alarmsimulator.moc"
