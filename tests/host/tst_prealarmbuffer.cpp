#include "Vantrel/PreAlarmBuffer.h"

#include <QTest>

using Vantrel::CPreAlarmBuffer;
using Vantrel::EncodedFrame;
using Vantrel::EncodedFrames;

namespace {
constexpr qint64 kMs = 1000 * 1000;
constexpr qint64 kFrameNs = 40 * kMs; // 25 pictures a second

EncodedFrame Frame(int nIndex, bool bKeyframe, int nBytes)
{
    EncodedFrame frame;
    frame.baData = QByteArray(nBytes, 'x');
    frame.nPtsNs = frame.nDtsNs = nIndex * kFrameNs;
    frame.nDurationNs = kFrameNs;
    frame.nArrivalNs = nIndex * kFrameNs;
    frame.nWallMs = 1000000 + nIndex * 40;
    frame.bKeyframe = bKeyframe;
    return frame;
}

// "K" a keyframe, "d" a delta frame, "|" a new connection; the frames held back as the same letters.
QString Held(const CPreAlarmBuffer& buffer)
{
    QString str;
    for (const EncodedFrame& frame : buffer.Snapshot())
        str += frame.bKeyframe ? 'K' : 'd';
    return str;
}

void PushPattern(CPreAlarmBuffer& buffer, const QString& strPattern, int nBytes)
{
    int i = 0;
    for (const QChar ch : strPattern) {
        if (ch == '|')
            buffer.MarkDiscontinuity();
        else
            buffer.Push(Frame(i++, ch == 'K', nBytes));
    }
}
} // namespace

class tst_PreAlarmBuffer : public QObject
{
    Q_OBJECT
private slots:
    void longRunStaysBounded_data();
    void longRunStaysBounded();
    void trimmingKeepsWholeGops_data();
    void trimmingKeepsWholeGops();
    void snapshotStartsAtKeyframe_data();
    void snapshotStartsAtKeyframe();
    void replayTimeLineJoinsSegments();
};

void tst_PreAlarmBuffer::longRunStaysBounded_data()
{
    QTest::addColumn<int>("nGopFrames");
    QTest::addColumn<int>("nFrameBytes");
    QTest::addColumn<int>("nWindowS");
    QTest::addColumn<int>("nMaxKiB");
    QTest::addColumn<bool>("bTimeBinds"); // else the byte cap does

    QTest::newRow("time: 1 s GOPs at 1 Mbit/s") << 25 << 5000 << 30 << 32768 << true;
    QTest::newRow("time: 2 s GOPs, 10 s window") << 50 << 5000 << 10 << 32768 << true;
    QTest::newRow("bytes: 8 Mbit/s into 4 MiB") << 25 << 40000 << 30 << 4096 << false;
    QTest::newRow("bytes: one GOP a minute") << 1500 << 2000 << 30 << 1024 << false;
}

void tst_PreAlarmBuffer::longRunStaysBounded()
{
    QFETCH(int, nGopFrames);
    QFETCH(int, nFrameBytes);
    QFETCH(int, nWindowS);
    QFETCH(int, nMaxKiB);
    QFETCH(bool, bTimeBinds);
    CPreAlarmBuffer::Limits limits;
    limits.nWindowNs = nWindowS * 1000 * kMs;
    limits.nMaxBytes = qint64(nMaxKiB) * 1024;
    CPreAlarmBuffer buffer(limits);
    const qint64 nGopNs = nGopFrames * kFrameNs;
    // Ten minutes of stream, pushed as fast as it goes.
    const int nFrames = 10 * 60 * 25;
    for (int i = 0; i < nFrames; ++i) {
        buffer.Push(Frame(i, i % nGopFrames == 0, nFrameBytes));
        const CPreAlarmBuffer::Stats stats = buffer.GetStats();
        if (stats.nBytes > limits.nMaxBytes || stats.nSpanNs >= limits.nWindowNs + nGopNs)
            QFAIL(qPrintable(QString("frame %1: %2 bytes over %3 ns").arg(i).arg(stats.nBytes).arg(stats.nSpanNs)));
    }
    const CPreAlarmBuffer::Stats stats = buffer.GetStats();
    const EncodedFrames frames = buffer.Snapshot();
    QVERIFY(frames.empty() || frames.front().bKeyframe);
    if (bTimeBinds)
        QVERIFY(stats.nSpanNs >= limits.nWindowNs - kFrameNs); // the whole window is there
    else
        QVERIFY(stats.nBytes > limits.nMaxBytes - nGopFrames * CPreAlarmBuffer::CostOf(Frame(0, false, nFrameBytes)));
}

void tst_PreAlarmBuffer::trimmingKeepsWholeGops_data()
{
    QTest::addColumn<QString>("strPushed");
    QTest::addColumn<int>("nWindowFrames");
    QTest::addColumn<int>("nMaxFrames"); // the byte cap, in frames
    QTest::addColumn<QString>("strHeld");

    QTest::newRow("leading delta frames dropped") << "ddKdd" << 100 << 100 << "Kdd";
    QTest::newRow("time trims the oldest GOP") << "KddKddKdd" << 5 << 100 << "KddKdd";
    QTest::newRow("time keeps a GOP the window needs") << "KddKddKd" << 5 << 100 << "KddKddKd";
    QTest::newRow("bytes trim whole GOPs") << "KdddKddKd" << 100 << 6 << "KddKd";
    QTest::newRow("one GOP over the cap waits for a keyframe") << "Kddddddd" << 100 << 4 << "";
    QTest::newRow("after the cap emptied it, the next keyframe") << "KdddddKd" << 100 << 4 << "Kd";
    QTest::newRow("a new connection waits for its keyframe") << "Kdd|ddKd" << 100 << 100 << "KddKd";
    QTest::newRow("a zero window keeps nothing") << "KddKdd" << 0 << 100 << "";
}

void tst_PreAlarmBuffer::trimmingKeepsWholeGops()
{
    QFETCH(QString, strPushed);
    QFETCH(int, nWindowFrames);
    QFETCH(int, nMaxFrames);
    QFETCH(QString, strHeld);
    const int nBytes = 1000;
    CPreAlarmBuffer::Limits limits;
    limits.nWindowNs = nWindowFrames * kFrameNs;
    limits.nMaxBytes = nMaxFrames * CPreAlarmBuffer::CostOf(Frame(0, false, nBytes));
    CPreAlarmBuffer buffer(limits);
    PushPattern(buffer, strPushed, nBytes);
    QCOMPARE(Held(buffer), strHeld);
    QCOMPARE(buffer.GetStats().nBytes, strHeld.size() * CPreAlarmBuffer::CostOf(Frame(0, false, nBytes)));
}

void tst_PreAlarmBuffer::snapshotStartsAtKeyframe_data()
{
    QTest::addColumn<qint64>("nLastFrames"); // -1: all
    QTest::addColumn<qint64>("nWallFrame");  // -1: by duration instead
    QTest::addColumn<int>("nFirstIndex");

    // Keyframes at 0, 3 and 6 of frames 0..8.
    QTest::newRow("everything") << qint64(-1) << qint64(-1) << 0;
    QTest::newRow("last 2 frames from the keyframe before") << qint64(2) << qint64(-1) << 6;
    QTest::newRow("last 4 frames reach back a GOP") << qint64(4) << qint64(-1) << 3;
    QTest::newRow("more than held") << qint64(100) << qint64(-1) << 0;
    QTest::newRow("since a wall time inside a GOP") << qint64(-1) << qint64(5) << 3;
    QTest::newRow("since a wall time at a keyframe") << qint64(-1) << qint64(6) << 6;
    QTest::newRow("since a wall time before the first") << qint64(-1) << qint64(-10) << 0;
}

void tst_PreAlarmBuffer::snapshotStartsAtKeyframe()
{
    QFETCH(qint64, nLastFrames);
    QFETCH(qint64, nWallFrame);
    QFETCH(int, nFirstIndex);
    CPreAlarmBuffer buffer;
    PushPattern(buffer, "KddKddKdd", 10);
    const EncodedFrames frames = nWallFrame != -1 ? buffer.SnapshotSinceWall(1000000 + nWallFrame * 40)
                                                  : buffer.Snapshot(nLastFrames < 0 ? -1 : nLastFrames * kFrameNs);
    QVERIFY(!frames.empty());
    QVERIFY(frames.front().bKeyframe);
    QCOMPARE(frames.front().nPtsNs, nFirstIndex * kFrameNs);
    QCOMPARE(frames.back().nPtsNs, 8 * kFrameNs);
}

void tst_PreAlarmBuffer::replayTimeLineJoinsSegments()
{
    // Two connections whose stream times both start near 0, after an outage.
    CPreAlarmBuffer buffer;
    for (int i = 0; i < 4; ++i)
        buffer.Push(Frame(i, i == 0, 10));
    buffer.MarkDiscontinuity();
    for (int i = 0; i < 4; ++i) {
        EncodedFrame frame = Frame(i, i == 0, 10);
        frame.nArrivalNs += 5000 * kMs;
        buffer.Push(frame);
    }
    EncodedFrames frames = buffer.Snapshot();
    Vantrel::RebaseForReplay(frames);
    QCOMPARE(frames.size(), size_t(8));
    for (size_t i = 0; i < frames.size(); ++i)
        QCOMPARE(frames[i].nPtsNs, qint64(i) * kFrameNs); // continuous, no outage
    QCOMPARE(Vantrel::KeyframeAtOrBefore(frames, 6 * kFrameNs), size_t(4));
    QCOMPARE(Vantrel::KeyframeAtOrBefore(frames, 3 * kFrameNs), size_t(0));
}

QTEST_MAIN(tst_PreAlarmBuffer)
#include "tst_prealarmbuffer.moc"
