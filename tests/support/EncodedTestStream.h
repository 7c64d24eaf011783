#pragma once

// A real H.264 stream of the test pattern, as a pre-alarm buffer holds one:
// for tests and benchmarks of what consumes buffered video. Links GStreamer
// (gstreamer-app-1.0).

#include "Vantrel/PreAlarmBuffer.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QString>

namespace LsaTest {

struct TestStreamShape
{
    int nFrames = 50;
    int nWidth = 160;
    int nHeight = 120;
    int nKbps = 200;
    int nGop = 25; // a keyframe every nGop frames
    int nFps = 25;
    const char* szPattern = "ball"; // "snow" keeps the bit rate whatever it is
};

// Encodes the pattern with x264 (ultrafast, one thread); each frame's wall
// clock and arrival count from nWallStartMs at the frame rate. Empty on failure.
inline Vantrel::EncodedFrames EncodeTestStream(const TestStreamShape& shape, qint64 nWallStartMs)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    const QString strLaunch =
        QStringLiteral("videotestsrc num-buffers=%1 pattern=%7 ! video/x-raw,width=%2,height=%3,framerate=%4/1 ! "
                       "x264enc speed-preset=ultrafast tune=zerolatency threads=1 bitrate=%5 key-int-max=%6 ! "
                       "h264parse ! video/x-h264,stream-format=byte-stream,alignment=au ! appsink name=sink sync=false")
            .arg(shape.nFrames)
            .arg(shape.nWidth)
            .arg(shape.nHeight)
            .arg(shape.nFps)
            .arg(shape.nKbps)
            .arg(shape.nGop)
            .arg(QLatin1String(shape.szPattern));
    GstElement* pPipeline = gst_parse_launch(strLaunch.toUtf8().constData(), nullptr);
    Vantrel::EncodedFrames vecFrames;
    if (!pPipeline)
        return vecFrames;
    GstElement* pSink = gst_bin_get_by_name(GST_BIN(pPipeline), "sink");
    gst_element_set_state(pPipeline, GST_STATE_PLAYING);
    const qint64 nFrameMs = 1000 / shape.nFps;
    while (GstSample* pSample = gst_app_sink_pull_sample(GST_APP_SINK(pSink))) {
        GstBuffer* pBuffer = gst_sample_get_buffer(pSample);
        Vantrel::EncodedFrame frame;
        frame.baData.resize(int(gst_buffer_get_size(pBuffer)));
        gst_buffer_extract(pBuffer, 0, frame.baData.data(), gst_buffer_get_size(pBuffer));
        frame.nPtsNs = qint64(GST_BUFFER_PTS(pBuffer));
        frame.nDtsNs = GST_BUFFER_DTS_IS_VALID(pBuffer) ? qint64(GST_BUFFER_DTS(pBuffer)) : frame.nPtsNs;
        frame.nDurationNs = qint64(GST_BUFFER_DURATION(pBuffer));
        frame.bKeyframe = !GST_BUFFER_FLAG_IS_SET(pBuffer, GST_BUFFER_FLAG_DELTA_UNIT);
        gchar* szCaps = gst_caps_to_string(gst_sample_get_caps(pSample));
        frame.strCaps = QString::fromUtf8(szCaps);
        g_free(szCaps);
        frame.nWallMs = nWallStartMs + qint64(vecFrames.size()) * nFrameMs;
        frame.nArrivalNs = qint64(vecFrames.size()) * nFrameMs * 1000000;
        vecFrames.push_back(std::move(frame));
        gst_sample_unref(pSample);
    }
    gst_element_set_state(pPipeline, GST_STATE_NULL);
    gst_object_unref(pSink);
    gst_object_unref(pPipeline);
    return vecFrames;
}

// The frames again, nTimes in a row, times moved on as if the stream went on.
inline Vantrel::EncodedFrames RepeatStream(const Vantrel::EncodedFrames& vecOnce, int nTimes, qint64 nFrameMs)
{
    Vantrel::EncodedFrames vecFrames;
    const qint64 nSpanMs = qint64(vecOnce.size()) * nFrameMs;
    for (int n = 0; n < nTimes; ++n)
        for (Vantrel::EncodedFrame frame : vecOnce) {
            const qint64 nShiftNs = n * nSpanMs * 1000000;
            frame.nPtsNs += nShiftNs;
            frame.nDtsNs += nShiftNs;
            frame.nArrivalNs += nShiftNs;
            frame.nWallMs += n * nSpanMs;
            vecFrames.push_back(std::move(frame));
        }
    return vecFrames;
}

} // namespace LsaTest
