#include "alarmview/AlarmDetailView.h"
#include "alarmview/IncidentExport.h"
#include "alarmview/IncidentExportDialog.h"
#include "common/IncidentManifest.h"
#include "settings/LinkageSetupStore.h"

#include "tests/support/EncodedTestStream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLockFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace LinkageSnapAlarm;

namespace {

const qint64 kAlarmMs = 1700000000000; // the panoramic alarm
const qint64 kFrameMs = 40;
const int kMarginSeconds = 2;
const QStringList kCameras{"Panorama", "Left", "Right"};

std::shared_ptr<const CardRecord> Record(const QString& strCamera, qint64 nMs, int nType, const QByteArray& baFace,
                                         const QByteArray& baBody, const QByteArray& baScene)
{
    auto spRecord = std::make_shared<CardRecord>();
    spRecord->CameraName = strCamera;
    spRecord->AlarmTime = QDateTime::fromMSecsSinceEpoch(nMs);
    spRecord->AlarmType = nType;
    spRecord->LinkageUid = "L-7/x";
    spRecord->PersonRects = {protocol::MakePictureRect(0.1, 0.2, 0.3, 0.4)};
    spRecord->Face = baFace.isEmpty() ? CardPicture() : WholePicture(baFace.toStdString());
    spRecord->Body = baBody.isEmpty() ? CardPicture() : WholePicture(baBody.toStdString());
    spRecord->Scene = baScene.isEmpty() ? CardPicture() : WholePicture(baScene.toStdString());
    return spRecord;
}

// A panoramic alarm at kAlarmMs, then Left at +1 s and Right at +1.5 s.
LinkageRecordSet Linkage()
{
    LinkageRecordSet set;
    set.spScene = Record("Panorama", kAlarmMs, 100009, {}, {}, "scene-jpeg");
    set.vecCards = {Record("Right", kAlarmMs + 1500, 100509, "face-2", "body-2", "scene-jpeg"),
                    Record("Left", kAlarmMs + 1000, 100509, "face-1", "body-1", "scene-jpeg")};
    return set;
}

// A buffer holding the camera's video from nFromMs to nToMs around the alarm.
std::shared_ptr<Vantrel::CPreAlarmBuffer> Buffer(const Vantrel::EncodedFrames& vecSecond, qint64 nFromMs, qint64 nToMs,
                                                 const QString& strCaps = QString())
{
    auto spBuffer =
        std::make_shared<Vantrel::CPreAlarmBuffer>(Vantrel::CPreAlarmBuffer::Limits{60'000'000'000LL, 1 << 30});
    const qint64 nSecondMs = qint64(vecSecond.size()) * kFrameMs;
    for (Vantrel::EncodedFrame frame : LsaTest::RepeatStream(vecSecond, int((nToMs - nFromMs) / nSecondMs), kFrameMs)) {
        frame.nWallMs += kAlarmMs + nFromMs - vecSecond.front().nWallMs;
        if (!strCaps.isEmpty())
            frame.strCaps = strCaps;
        spBuffer->Push(std::move(frame));
    }
    return spBuffer;
}

QJsonObject Manifest(const QString& strFolder)
{
    QFile file(strFolder + "/manifest.json");
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

qint64 Ms(const QJsonValue& value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

// Everything in the folder, hidden names too.
QStringList Entries(const QString& strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_IncidentExport : public QObject
{
    Q_OBJECT

private:
    IncidentExportRequest Request(const QString& strFolder, bool bLive = false)
    {
        IncidentExportRequest request;
        request.set = Linkage();
        request.strTargetFolder = strFolder;
        request.strNote = "Person at the gate";
        request.nMarginSeconds = kMarginSeconds;
        for (const QString& strCamera : kCameras)
            request.vecSources.push_back({strCamera, Buffer(m_vecSecond, -6000, 8000), bLive, {}});
        return request;
    }

    Vantrel::EncodedFrames m_vecSecond; // one second of real H.264, a keyframe first

private slots:
    void initTestCase()
    {
        m_vecSecond = LsaTest::EncodeTestStream({}, 0);
        m_vecSecond.resize(25);
        QVERIFY(!m_vecSecond.empty() && m_vecSecond.front().bKeyframe);
    }

    void exportContents_data()
    {
        QTest::addColumn<qint64>("nRightFromMs"); // what the third camera's buffer holds
        QTest::addColumn<qint64>("nRightToMs");
        QTest::addColumn<bool>("bRightInWindow");
        QTest::addColumn<QString>("strMissing"); // the manifest's reason, empty when it has a clip
        QTest::addColumn<QString>("strEndsEarly");
        QTest::addColumn<QString>("strRightCaps"); // the stream's format when not H.264
        QTest::newRow("all cameras buffered") << -6000LL << 8000LL << true << ""
                                              << ""
                                              << "";
        QTest::newRow("camera stopped before the alarm") << -6000LL << -3000LL << true << "stopped before the alarm"
                                                         << ""
                                                         << "";
        QTest::newRow("camera not in a window") << 0LL << 0LL << false << "not shown in a live window"
                                                << ""
                                                << "";
        QTest::newRow("alarm older than the buffer") << 4000LL << 8000LL << true << "older than the buffer"
                                                     << ""
                                                     << "";
        QTest::newRow("stream the muxer refuses") << -6000LL << 8000LL << true << "could not be written"
                                                  << ""
                                                  << "video/x-unknown";
        QTest::newRow("camera stopped after the alarm") << -6000LL << 2000LL << true << ""
                                                        << "live view stopped"
                                                        << "";
    }

    void exportContents()
    {
        QFETCH(qint64, nRightFromMs);
        QFETCH(qint64, nRightToMs);
        QFETCH(bool, bRightInWindow);
        QFETCH(QString, strMissing);
        QFETCH(QString, strEndsEarly);
        QFETCH(QString, strRightCaps);
        QTemporaryDir dir;
        IncidentExportRequest request = Request(dir.path());
        request.vecSources.pop_back();
        if (bRightInWindow)
            request.vecSources.push_back(
                {"Right", Buffer(m_vecSecond, nRightFromMs, nRightToMs, strRightCaps), false, {}});
        IncidentExportControl control;
        const IncidentExportResult result = RunIncidentExport(request, control);
        QVERIFY2(result.bOk, qPrintable(result.strError));
        QCOMPARE(QFileInfo(result.strFolder).dir().absolutePath(), QDir(dir.path()).absolutePath());
        QCOMPARE(Entries(dir.path()), QStringList{QFileInfo(result.strFolder).fileName()});

        const QJsonObject manifest = Manifest(result.strFolder);
        QCOMPARE(manifest.value("linkageUid").toString(), QString("L-7/x"));
        QCOMPARE(manifest.value("note").toString(), QString("Person at the gate"));
        QCOMPARE(Ms(manifest.value("firstAlarm")), kAlarmMs);
        QCOMPARE(Ms(manifest.value("lastAlarm")), kAlarmMs + 1500);
        const QJsonArray alarms = manifest.value("alarms").toArray();
        QCOMPARE(alarms.size(), 3);
        QCOMPARE(alarms[1].toObject().value("camera").toString(), QString("Left")); // oldest card first
        QCOMPARE(alarms[1].toObject().value("rects").toArray()[0].toObject().value("width").toDouble(), 0.3);
        QFile face(result.strFolder + "/" + alarms[1].toObject().value("face").toString());
        QVERIFY(face.open(QIODevice::ReadOnly));
        QCOMPARE(face.readAll(), QByteArray("face-1"));

        const QJsonArray cameras = manifest.value("cameras").toArray();
        QCOMPARE(cameras.size(), 3);
        for (const QJsonValue& value : cameras) {
            const QJsonObject camera = value.toObject();
            const bool bRight = camera.value("camera").toString() == "Right";
            if (bRight && !strMissing.isEmpty()) {
                QVERIFY2(camera.value("missing").toString().contains(strMissing),
                         qPrintable(camera.value("missing").toString()));
                QCOMPARE(result.lstMissing.size(), 1);
                continue;
            }
            // From the keyframe at the margin before the first alarm to the last picture of the margin after.
            QCOMPARE(Ms(camera.value("from")), kAlarmMs - kMarginSeconds * 1000);
            const qint64 nToMs =
                bRight && !strEndsEarly.isEmpty() ? kAlarmMs + nRightToMs : kAlarmMs + 1500 + kMarginSeconds * 1000;
            QVERIFY(Ms(camera.value("to")) <= nToMs && Ms(camera.value("to")) > nToMs - 2 * kFrameMs);
            const QString strEnds = bRight ? strEndsEarly : QString();
            QCOMPARE(camera.value("endsEarly").toString().isEmpty(), strEnds.isEmpty());
            QVERIFY(camera.value("endsEarly").toString().contains(strEnds));
            QFile clip(result.strFolder + "/" + camera.value("clip").toString());
            QVERIFY(clip.open(QIODevice::ReadOnly));
            QCOMPARE(clip.read(4), QByteArray("\x1A\x45\xDF\xA3")); // Matroska's EBML head
        }
        QCOMPARE(manifest.value("files").toArray().size(), 5 + cameras.size() - result.lstMissing.size());
        QVERIFY(IncidentManifest::Verify(result.strFolder).bOk);
    }

    // The window is found by the camera's ID where the alarm and the window know one, else by name.
    void clipOfTheRightWindow_data()
    {
        QTest::addColumn<QString>("strAlarmId");
        QTest::addColumn<QString>("strWindowName");
        QTest::addColumn<QString>("strWindowId");
        QTest::addColumn<bool>("bClip");
        QTest::newRow("renamed camera, same ID") << "id-right"
                                                 << "Right (renamed)"
                                                 << "id-right" << true;
        QTest::newRow("same name, other camera") << "id-right"
                                                 << "Right"
                                                 << "id-other" << false;
        QTest::newRow("no ID in the window: by name") << "id-right"
                                                      << "Right"
                                                      << "" << true;
    }

    void clipOfTheRightWindow()
    {
        QFETCH(QString, strAlarmId);
        QFETCH(QString, strWindowName);
        QFETCH(QString, strWindowId);
        QFETCH(bool, bClip);
        QTemporaryDir dir;
        IncidentExportRequest request = Request(dir.path());
        auto spRight = std::make_shared<CardRecord>(*request.set.vecCards[0]);
        spRight->CameraId = strAlarmId;
        request.set.vecCards[0] = spRight;
        request.vecSources[2].strCamera = strWindowName;
        request.vecSources[2].strCameraId = strWindowId;
        IncidentExportControl control;
        const IncidentExportResult result = RunIncidentExport(request, control);
        QVERIFY(result.bOk);
        const QJsonObject right = Manifest(result.strFolder).value("cameras").toArray()[2].toObject();
        QCOMPARE(right.value("camera").toString(), QString("Right"));
        QCOMPARE(right.contains("clip"), bClip);
    }

    // The seconds of video last exported with come back in the next dialog, within its range.
    void secondsKept_data()
    {
        QTest::addColumn<int>("nSeconds");
        QTest::addColumn<bool>("bExported"); // set in a dialog and exported, else stored as such
        QTest::addColumn<int>("nShown");
        QTest::newRow("used for an export") << 25 << true << 25;
        QTest::newRow("stored beyond the range") << 999 << false << 120;
    }

    void secondsKept()
    {
        QFETCH(int, nSeconds);
        QFETCH(bool, bExported);
        QFETCH(int, nShown);
        QTemporaryDir dir;
        if (bExported) {
            CIncidentExportDialog dialog;
            dialog.Open(Linkage(), {}, dir.path());
            dialog.SetFreeBytesHook([](const QString&) { return std::optional<qint64>(0); });
            dialog.findChild<QSpinBox*>("m_pSecondsSpin")->setValue(nSeconds);
            QSignalSpy spyFinished(&dialog, &CIncidentExportDialog::signalExportFinished);
            dialog.findChild<QPushButton*>("m_pExportBtn")->click();
            QVERIFY(spyFinished.wait());
        } else {
            QVERIFY(CLinkageSetupStore::Instance()->SaveExportMargin(nSeconds));
        }
        CIncidentExportDialog next;
        next.Open(Linkage(), {}, dir.path());
        QCOMPARE(next.findChild<QSpinBox*>("m_pSecondsSpin")->value(), nShown);
    }

    void cancelLeavesNothing_data()
    {
        QTest::addColumn<QString>("strStage");
        QTest::newRow("while waiting for the video after") << "ExportWaiting";
        QTest::newRow("while writing a clip") << "ExportClip";
        QTest::newRow("while computing the checksums") << "ExportHashing";
    }

    void cancelLeavesNothing()
    {
        QFETCH(QString, strStage);
        QTemporaryDir dir;
        IncidentExportRequest request = Request(dir.path(), true);
        // The first camera is still live and its video after the alarm not there yet: the export waits.
        request.vecSources[0].spBuffer = Buffer(m_vecSecond, -6000, 1000);
        IncidentExportControl control;
        control.fnProgress = [&](int, const QString& strText) {
            if (strText.startsWith(strStage))
                control.bCancel = true;
        };
        const IncidentExportResult result = RunIncidentExport(request, control);
        QVERIFY(!result.bOk);
        QVERIFY(result.bCancelled);
        QCOMPARE(Entries(dir.path()), QStringList());
    }

    void leftoverOfKilledRun_data()
    {
        QTest::addColumn<bool>("bLockHeld"); // the run that wrote it still lives
        QTest::newRow("killed run") << false;
        QTest::newRow("export still running") << true;
    }

    void leftoverOfKilledRun()
    {
        QFETCH(bool, bLockHeld);
        QTemporaryDir dir;
        const QString strLeftover = dir.filePath(".incident-L-7_x-20231114-221320.partial");
        QVERIFY(QDir().mkpath(strLeftover + "/clips"));
        QFile(strLeftover + "/scene.jpg").open(QIODevice::WriteOnly);
        QLockFile lock(strLeftover + ".lock");
        QVERIFY(!bLockHeld || lock.tryLock(0));
        QVERIFY(!IncidentManifest::Verify(strLeftover).bOk);

        IncidentExportControl control;
        const IncidentExportResult result = RunIncidentExport(Request(dir.path()), control);
        QVERIFY(result.bOk);
        QVERIFY(!IncidentManifest::IsTemporaryName(QFileInfo(result.strFolder).fileName()));
        QCOMPARE(QFileInfo::exists(strLeftover), bLockHeld);
        // A second export of the same linkage never replaces the first.
        const IncidentExportResult second = RunIncidentExport(Request(dir.path()), control);
        QVERIFY(second.bOk && second.strFolder != result.strFolder);
        QVERIFY(IncidentManifest::Verify(result.strFolder).bOk);
    }

    void verifyFindsChanges_data()
    {
        QTest::addColumn<QString>("strChange"); // file to change, "-file" to remove
        QTest::addColumn<QStringList>("lstChanged");
        QTest::addColumn<QStringList>("lstMissing");
        QTest::newRow("untouched") << "" << QStringList() << QStringList();
        QTest::newRow("changed picture") << "scene.jpg" << QStringList{"scene.jpg"} << QStringList();
        QTest::newRow("changed clip") << "clips/Left.mkv" << QStringList{"clips/Left.mkv"} << QStringList();
        QTest::newRow("missing face") << "-persons/001-face.jpg" << QStringList()
                                      << QStringList{"persons/001-face.jpg"};
    }

    void verifyFindsChanges()
    {
        QFETCH(QString, strChange);
        QFETCH(QStringList, lstChanged);
        QFETCH(QStringList, lstMissing);
        QTemporaryDir dir;
        IncidentExportControl control;
        const IncidentExportResult result = RunIncidentExport(Request(dir.path()), control);
        QVERIFY(result.bOk);
        if (strChange.startsWith('-')) {
            QVERIFY(QFile::remove(result.strFolder + "/" + strChange.mid(1)));
        } else if (!strChange.isEmpty()) {
            QFile file(result.strFolder + "/" + strChange);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(file.size() / 2);
            file.write("!");
        }
        const IncidentManifest::Check check = IncidentManifest::Verify(result.strFolder);
        QCOMPARE(check.bOk, lstChanged.isEmpty() && lstMissing.isEmpty());
        QCOMPARE(check.lstChanged, lstChanged);
        QCOMPARE(check.lstMissing, lstMissing);
    }

    void dialogRefusesWithoutSpace()
    {
        QTemporaryDir dir;
        CIncidentExportDialog dialog;
        dialog.Open(Linkage(), Request(dir.path()).vecSources, dir.path());
        dialog.SetFreeBytesHook([](const QString&) { return std::optional<qint64>(1 << 20); });
        QSignalSpy spyFinished(&dialog, &CIncidentExportDialog::signalExportFinished);
        dialog.findChild<QPushButton*>("m_pExportBtn")->click();
        QVERIFY(dialog.IsExporting());
        QVERIFY(!dialog.findChild<QPushButton*>("m_pExportBtn")->isEnabled());
        QVERIFY(spyFinished.wait());
        const auto result = spyFinished.at(0).at(0).value<IncidentExportResult>();
        QVERIFY(!result.bOk);
        QVERIFY(dialog.findChild<QLabel*>("m_pStatusLabel")->text().contains("ExportNotEnoughSpace"));
        QVERIFY(dialog.findChild<QPushButton*>("m_pExportBtn")->isEnabled());
        QCOMPARE(Entries(dir.path()), QStringList());
    }

    void detailViewAsksForExport()
    {
        CAlarmDetailView view;
        view.Open(Linkage(), 0);
        QSignalSpy spyExport(&view, &CAlarmDetailView::signalExportRequested);
        view.findChild<QPushButton*>("m_pBtnDetailExport")->click();
        QCOMPARE(spyExport.count(), 1);
        QCOMPARE(spyExport.at(0).at(0).value<LinkageRecordSet>().vecCards.size(), size_t(2));
    }
};

QTEST_MAIN(tst_IncidentExport)
#include "tst_incidentexport.moc"
