// The pre-alarm buffer, each figure next to a floor measured in the same run:
// - memory: what one 1080p stream (H.264 at 4 Mbit/s: noise, so that the
//   encoder spends its whole rate; a keyframe every 2 s)
//   holds after a minute of stream in the default buffer (30 s, 32 MiB), as
//   the process's resident memory grew and as the buffer counts it, against
//   the bare bytes of the last 30 s of pictures;
// - CPU of keeping one picture: the copy out of the pipeline's buffer and the
//   push with its trimming, against copying the same bytes into a ring of
//   preallocated memory;
// - CPU of a play window showing a 1080p H.264 file with the buffer against
//   the same window with the buffer switched off (goal <= 1.1).
// Run it under `xvfb-run -a` (native overlay) or with
// QT_QPA_PLATFORM=offscreen. It makes its clip in a temporary folder and stops
// by itself.

// GLib's headers first: they use names Qt defines as keywords.
#include <gst/gst.h>

#include "bench/BenchRatios.h"
#include "tests/playwindow/PlayWindowTestUtil.h"

#include "Vantrel/PreAlarmBuffer.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"
#include "playwindow/PlayWindowLibrary.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr int kFps = 25;
constexpr int kClipSeconds = 12;
constexpr int kFilledSeconds = 60;
constexpr int kWindowSeconds = 30;
constexpr int kSettleMs = 1500;
constexpr int kMeasureMs = 4000;
constexpr int kRounds = 2;

QString g_strClip;
std::vector<GstBuffer*> g_vecClipBuffers; // the clip's encoded pictures, as a parser hands them out

bool MakeClip(const QString& strPath)
{
    const int nRc = QProcess::execute(
        "gst-launch-1.0", {"-q", "videotestsrc", "pattern=snow", QString("num-buffers=%1").arg(kClipSeconds * kFps),
                           "!", QString("video/x-raw,width=1920,height=1080,framerate=%1/1").arg(kFps), "!", "x264enc",
                           "speed-preset=ultrafast", "bitrate=4000", QString("key-int-max=%1").arg(2 * kFps), "!",
                           "h264parse", "!", "matroskamux", "!", "filesink", "location=" + strPath});
    return nRc == 0 && QFile::exists(strPath);
}

// The clip's pictures leaving a parser, as the window's buffer sees them.
bool ReadClipBuffers(const QString& strPath)
{
    const std::string strLine =
        "filesrc location=" + strPath.toStdString() + " ! matroskademux ! h264parse ! appsink name=out sync=false";
    GstElement* pPipeline = gst_parse_launch(strLine.c_str(), nullptr);
    GstElement* pSink = gst_bin_get_by_name(GST_BIN(pPipeline), "out");
    gst_element_set_state(pPipeline, GST_STATE_PLAYING);
    for (;;) {
        GstSample* pSample = nullptr;
        g_signal_emit_by_name(pSink, "pull-sample", &pSample);
        if (!pSample)
            break;
        g_vecClipBuffers.push_back(gst_buffer_ref(gst_sample_get_buffer(pSample)));
        gst_sample_unref(pSample);
    }
    gst_element_set_state(pPipeline, GST_STATE_NULL);
    gst_object_unref(pSink);
    gst_object_unref(pPipeline);
    return !g_vecClipBuffers.empty();
}

// What the pipeline's probe does with one picture.
Vantrel::EncodedFrame FrameOf(GstBuffer* pBuffer, qint64 nArrivalNs, const QString& strCaps)
{
    Vantrel::EncodedFrame frame;
    const gsize nSize = gst_buffer_get_size(pBuffer);
    frame.baData.resize(int(nSize));
    gst_buffer_extract(pBuffer, 0, frame.baData.data(), nSize);
    frame.nPtsNs = frame.nDtsNs = nArrivalNs;
    frame.nArrivalNs = nArrivalNs;
    frame.bKeyframe = !GST_BUFFER_FLAG_IS_SET(pBuffer, GST_BUFFER_FLAG_DELTA_UNIT);
    frame.strCaps = strCaps;
    return frame;
}

qint64 ResidentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

constexpr qint64 kFrameNs = 1000000000 / kFps;

void BM_KeepPicture_Buffer(benchmark::State& state)
{
    Vantrel::CPreAlarmBuffer buffer;
    const QString strCaps = QStringLiteral("video/x-h264, stream-format=(string)avc");
    qint64 i = 0;
    for (auto _ : state) {
        GstBuffer* pBuffer = g_vecClipBuffers[size_t(i % qint64(g_vecClipBuffers.size()))];
        buffer.Push(FrameOf(pBuffer, i * kFrameNs, strCaps));
        ++i;
    }
}

// The floor: the bytes copied into memory set aside once, oldest overwritten.
void BM_KeepPicture_RingFloor(benchmark::State& state)
{
    const size_t nRing = size_t(kWindowSeconds) * 4000 / 8 * 1000 * 2;
    std::vector<char> vecRing(nRing);
    size_t nAt = 0;
    qint64 i = 0;
    for (auto _ : state) {
        GstBuffer* pBuffer = g_vecClipBuffers[size_t(i % qint64(g_vecClipBuffers.size()))];
        const gsize nSize = gst_buffer_get_size(pBuffer);
        if (nAt + nSize > nRing)
            nAt = 0;
        gst_buffer_extract(pBuffer, 0, vecRing.data() + nAt, nSize);
        nAt += nSize;
        benchmark::DoNotOptimize(vecRing.data());
        ++i;
    }
}
BENCHMARK(BM_KeepPicture_Buffer)->MinTime(1.0);
BENCHMARK(BM_KeepPicture_RingFloor)->MinTime(1.0);

void ReportMemory()
{
    const qint64 nBefore = ResidentBytes();
    auto upBuffer = std::make_unique<Vantrel::CPreAlarmBuffer>();
    const QString strCaps = QStringLiteral("video/x-h264, stream-format=(string)avc");
    const qint64 nFrames = qint64(kFilledSeconds) * kFps;
    qint64 nWindowPayload = 0;
    for (qint64 i = 0; i < nFrames; ++i) {
        GstBuffer* pBuffer = g_vecClipBuffers[size_t(i % qint64(g_vecClipBuffers.size()))];
        upBuffer->Push(FrameOf(pBuffer, i * kFrameNs, strCaps));
        if (i >= nFrames - qint64(kWindowSeconds) * kFps)
            nWindowPayload += qint64(gst_buffer_get_size(pBuffer));
    }
    const qint64 nGrown = ResidentBytes() - nBefore;
    const Vantrel::CPreAlarmBuffer::Stats stats = upBuffer->GetStats();
    std::printf("memory, one 1080p 4 Mbit/s stream after %d s: resident +%.1f MiB, counted %.1f MiB (%d pictures, "
                "%.1f s), bare bytes of the last %d s %.1f MiB; resident/bare %.2f, counted/bare %.2f\n",
                kFilledSeconds, nGrown / 1048576.0, stats.nBytes / 1048576.0, stats.nFrames, stats.nSpanNs / 1e9,
                kWindowSeconds, nWindowPayload / 1048576.0, double(nGrown) / double(nWindowPayload),
                double(stats.nBytes) / double(nWindowPayload));
}

double CpuSecondsSelf()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WindowCpu(CTestLivePlugin& plugin, const std::string& strCamera)
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&plugin));
    upWindow->resize(642, 362);
    upWindow->show();
    if (!QTest::qWaitForWindowExposed(upWindow.get()))
        std::fprintf(stderr, "bench_prebuffer: window not exposed, figures may include its mapping\n");
    upWindow->StartLiveView(strCamera, 100, false);
    QTest::qWait(kSettleMs);
    const double dStart = CpuSecondsSelf();
    QTest::qWait(kMeasureMs);
    const double dCpu = CpuSecondsSelf() - dStart;
    const auto stats = upWindow->GetPreview()->GetPreAlarmBuffer()->GetStats();
    std::printf("  %-10s %.2f s CPU, %.1f pictures/s, buffer %d pictures\n", strCamera.c_str(), dCpu,
                upWindow->GetPreview()->GetStreamStatistics().dFramesPerSecond, stats.nFrames);
    upWindow->StopLiveView();
    Vantrel::WaitForTeardowns(5000);
    return dCpu;
}

void ReportWindowCpu()
{
    CTestLivePlugin plugin;
    plugin.AddCamera("buffered", g_strClip.toStdString(), "Buffered");
    plugin.AddCamera("unbuffered", g_strClip.toStdString(), "Unbuffered", tessel::CameraRightAll, false, 0);
    double dBuffered = 0, dFloor = 0;
    // Taking turns, so that neither side always runs on a busier machine.
    for (int i = 0; i < kRounds; ++i) {
        if (i % 2 == 0)
            dFloor += WindowCpu(plugin, "unbuffered");
        dBuffered += WindowCpu(plugin, "buffered");
        if (i % 2 != 0)
            dFloor += WindowCpu(plugin, "unbuffered");
    }
    std::printf("CPU, a window showing 1080p H.264 for %d x %d ms: buffered %.2f s, unbuffered %.2f s, ratio %.2f "
                "(goal <= 1.10)\n",
                kRounds, kMeasureMs, dBuffered, dFloor, dBuffered / dFloor);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const CPlayWindowLibrary playWindowLibrary(nullptr, nullptr);
    Vantrel::InitVantrel(nullptr, nullptr);
    QTemporaryDir dir;
    g_strClip = dir.filePath("clip-1080p.mkv");
    if (!MakeClip(g_strClip) || !ReadClipBuffers(g_strClip)) {
        std::fprintf(stderr, "bench_prebuffer: cannot make the 1080p H.264 clip\n");
        return 1;
    }
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    ReportMemory();
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter reporter(bench::CRatioReporter::Keep::IterationCpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTimeRatio("CPU to keep one 1080p picture, against a copy into a ring", "BM_KeepPicture_Buffer",
                            "BM_KeepPicture_RingFloor", 0);
    benchmark::Shutdown();
    ReportWindowCpu();
    for (GstBuffer* pBuffer : g_vecClipBuffers)
        gst_buffer_unref(pBuffer);
    return 0;
}
