#include "Vantrel/ClipWriter.h"

#include "tests/support/EncodedTestStream.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QByteArray kStartCode("\0\0\0\1", 4);
const QByteArray kShortStartCode("\0\0\1", 3);
const QByteArray kFillerNal = kStartCode + QByteArray("\x0C\xFF\xFF\x80", 4); // filler data

// The frames of a clip as the demuxer gives them back, each NAL unit behind a start code again.
QList<QByteArray> DemuxedFrames(const QString& strPath, gint64* pnDurationNs)
{
    const QString strLaunch =
        QStringLiteral("filesrc location=\"%1\" ! matroskademux ! appsink name=sink sync=false").arg(strPath);
    GstElement* pPipeline = gst_parse_launch(strLaunch.toUtf8().constData(), nullptr);
    GstElement* pSink = gst_bin_get_by_name(GST_BIN(pPipeline), "sink");
    gst_element_set_state(pPipeline, GST_STATE_PAUSED);
    gst_element_get_state(pPipeline, nullptr, nullptr, GST_CLOCK_TIME_NONE);
    *pnDurationNs = -1;
    gst_element_query_duration(pPipeline, GST_FORMAT_TIME, pnDurationNs);
    gst_element_set_state(pPipeline, GST_STATE_PLAYING);
    QList<QByteArray> lstFrames;
    while (GstSample* pSample = gst_app_sink_pull_sample(GST_APP_SINK(pSink))) {
        GstBuffer* pBuffer = gst_sample_get_buffer(pSample);
        QByteArray baAvc(int(gst_buffer_get_size(pBuffer)), '\0');
        gst_buffer_extract(pBuffer, 0, baAvc.data(), gsize(baAvc.size()));
        QByteArray baFrame;
        for (int i = 0; i + 4 <= baAvc.size();) {
            const int nLength = qFromBigEndian<qint32>(baAvc.constData() + i);
            baFrame += kStartCode + baAvc.mid(i + 4, nLength);
            i += 4 + nLength;
        }
        lstFrames << baFrame;
        gst_sample_unref(pSample);
    }
    gst_object_unref(pSink);
    gst_element_set_state(pPipeline, GST_STATE_NULL);
    gst_object_unref(pPipeline);
    return lstFrames;
}

} // namespace

class TestClipWriter : public QObject
{
    Q_OBJECT

private slots:
    // The clip holds every frame's NAL units unchanged, its header was finished
    // (the duration), and what the writer shows its caller is the file.
    void clipHoldsTheFrames_data()
    {
        QTest::addColumn<QString>("strChange");
        QTest::newRow("as encoded") << "";
        QTest::newRow("three-byte start codes") << "short";
        QTest::newRow("a frame of many NAL units") << "many";
    }

    void clipHoldsTheFrames()
    {
        QFETCH(QString, strChange);
        const Vantrel::EncodedFrames vecEncoded = LsaTest::EncodeTestStream({}, 0);
        QVERIFY(vecEncoded.size() == 50);
        Vantrel::EncodedFrames vecFrames = vecEncoded;
        QList<QByteArray> lstExpected;
        for (Vantrel::EncodedFrame& frame : vecFrames) {
            if (strChange == "many" && &frame == &vecFrames[3])
                frame.baData += kFillerNal.repeated(20);
            lstExpected << frame.baData;
            if (strChange == "short")
                frame.baData.replace(kStartCode, kShortStartCode);
        }
        QTemporaryDir dir;
        const QString strPath = dir.filePath("clip.mkv");
        QByteArray baObserved;
        QString strError;
        QVERIFY2(Vantrel::WriteMatroskaClip(vecFrames, strPath, nullptr, {}, &strError,
                                            [&](const char* p, size_t n) { baObserved.append(p, int(n)); }),
                 qPrintable(strError));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(baObserved, file.readAll());
        gint64 nDurationNs = -1;
        QCOMPARE(DemuxedFrames(strPath, &nDurationNs), lstExpected);
        QCOMPARE(nDurationNs / GST_MSECOND, gint64(vecFrames.size()) * 40);
    }
};

QTEST_GUILESS_MAIN(TestClipWriter)
#include "tst_clipwriter.moc"
