#include "analytics/CameraAnalytics.h"

#include "analytics/AnalyticsLogging.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <pthread.h>

namespace Analytics {
namespace {

constexpr int64_t kDropLogIntervalMs = 60 * 1000;

// Grey levels 16 to 235 to 0 to 255, as OpenCV's own BGR to grey gives them.
const cv::Mat& StudioToFullLevels()
{
    static const cv::Mat s_matTable = [] {
        constexpr int kBlack = 16, kWhite = 235;
        cv::Mat mat(1, 256, CV_8U);
        for (int i = 0; i < 256; ++i)
            mat.at<uint8_t>(i) = cv::saturate_cast<uint8_t>((i - kBlack) * 255.0 / (kWhite - kBlack));
        return mat;
    }();
    return s_matTable;
}

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CFullPicture::CFullPicture(cv::Mat matBgr)
    : m_matBgr(std::move(matBgr))
    , m_size(m_matBgr.size())
{
}

CFullPicture::CFullPicture(std::shared_ptr<const IStreamPicture> spStream)
    : m_spStream(std::move(spStream))
    , m_size(m_spStream ? cv::Size(m_spStream->Width(), m_spStream->Height()) : cv::Size())
{
}

const cv::Mat& CFullPicture::Bgr()
{
    if (m_matBgr.empty() && m_spStream && !m_size.empty()) {
        cv::Mat mat(m_size, CV_8UC3);
        if (m_spStream->ToBgr(mat.data, mat.step))
            m_matBgr = mat;
        // Converted once: the stream's buffer goes back now.
        m_spStream.reset();
    }
    return m_matBgr;
}

CCameraAnalytics::CCameraAnalytics(AnalyticsCamera camera, AlarmSink fnSink, const std::string& strFaceModel,
                                   const DetectorSettings& detector)
    : m_camera(std::move(camera))
    , m_fnSink(std::move(fnSink))
    , m_detector([&] {
        DetectorSettings settings = detector;
        settings.nMinPersonHeight = m_camera.settings.nMinPersonHeight;
        return settings;
    }())
{
    // Faces matter only where linkage alarms are raised.
    if (m_camera.settings.bFaces && !m_camera.bPanoramic && !m_detector.LoadFaceModel(strFaceModel, m_strError)) {
        qCWarning(lcAnalytics).noquote() << "camera" << QString::fromStdString(m_camera.strName) << ":"
                                         << QString::fromStdString(m_strError) << "; analytics off for this camera";
        return;
    }
    m_thread = std::thread(&CCameraAnalytics::Run, this);
}

CCameraAnalytics::~CCameraAnalytics()
{
    Shutdown();
}

void CCameraAnalytics::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
        m_pending = Pending();
        m_bPending = false;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CCameraAnalytics::Offer(cv::Mat matFrame, int64_t nMs)
{
    if (matFrame.empty())
        return;
    Put({cv::Mat(), CFullPicture(std::move(matFrame)), nMs});
}

void CCameraAnalytics::OfferFrame(const GreyPicture& grey, std::shared_ptr<const IStreamPicture> spFull, int64_t nMs)
{
    if (!grey.pData || grey.nWidth <= 0 || grey.nHeight <= 0 || grey.nStride < size_t(grey.nWidth) || !spFull
        || spFull->Width() <= 0 || spFull->Height() <= 0)
        return;
    // Copied, so the stream's grey buffer goes back at once (studio levels
    // stretched to full on the way); the full picture stays a reference.
    const cv::Mat matView(grey.nHeight, grey.nWidth, CV_8UC1, const_cast<uint8_t*>(grey.pData), grey.nStride);
    cv::Mat matGrey;
    if (grey.bStudioRange)
        cv::LUT(matView, StudioToFullLevels(), matGrey);
    else
        matGrey = matView.clone();
    Put({matGrey, CFullPicture(std::move(spFull)), nMs});
}

void CCameraAnalytics::Put(Pending pending)
{
    if (!IsUsable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStop)
            return;
        ++m_counters.nOffered;
        if (m_bPending)
            ++m_counters.nDropped;
        m_pending = std::move(pending);
        m_bPending = true;
    }
    m_cv.notify_all();
}

AnalyticsCounters CCameraAnalytics::Counters() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_counters;
}

void CCameraAnalytics::SetReportObserver(ReportObserver fnObserver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fnObserver = std::move(fnObserver);
}

void CCameraAnalytics::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bStop || !m_thread.joinable() || (!m_bPending && !m_bBusy); });
}

void CCameraAnalytics::Run()
{
    pthread_setname_np(pthread_self(), kWorkerThreadName);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_cv.wait(lock, [this] { return m_bStop || m_bPending; });
        if (m_bStop)
            return;
        Pending pending = std::move(m_pending);
        m_pending = Pending();
        m_bPending = false;
        m_bBusy = true;
        lock.unlock();
        try {
            if (pending.matAnalysis.empty())
                Process(pending.full.Bgr(), pending.nMs);
            else
                Process(pending.matAnalysis, pending.full, pending.nMs);
        } catch (const cv::Exception& e) {
            // A frame OpenCV cannot take is skipped; the next one may do.
            qCWarning(lcAnalytics).noquote()
                << "camera" << QString::fromStdString(m_camera.strName) << ": frame skipped:" << e.what();
        }
        LogDropsEveryMinute(SteadyMs());
        lock.lock();
        m_bBusy = false;
        m_cv.notify_all();
    }
}

void CCameraAnalytics::LogDropsEveryMinute(int64_t nNowMs)
{
    uint64_t nDropped = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_nLastDropLogMs == 0)
            m_nLastDropLogMs = nNowMs;
        if (nNowMs - m_nLastDropLogMs < kDropLogIntervalMs)
            return;
        m_nLastDropLogMs = nNowMs;
        nDropped = m_counters.nDropped - m_nDropsLogged;
        m_nDropsLogged = m_counters.nDropped;
    }
    if (nDropped > 0)
        qCInfo(lcAnalytics).noquote() << "camera" << QString::fromStdString(m_camera.strName) << ":" << nDropped
                                      << "frames dropped in the last minute (detection busy)";
}

void CCameraAnalytics::Process(const cv::Mat& matFrame, int64_t nMs)
{
    if (matFrame.empty() || matFrame.type() != CV_8UC3)
        return;
    CFullPicture full(matFrame);
    Process(AnalysisPicture(matFrame), full, nMs);
}

cv::Mat CCameraAnalytics::AnalysisPicture(const cv::Mat& matBgr) const
{
    // Grey first: a third of the bytes to scale. People smaller than the
    // detector's window are found only when the picture is scaled up.
    cv::Mat matGrey, matAnalysis;
    cv::cvtColor(matBgr, matGrey, cv::COLOR_BGR2GRAY);
    const double dScale = double(m_camera.settings.nWidth) / matBgr.cols;
    cv::resize(matGrey, matAnalysis, cv::Size(), dScale, dScale, dScale < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    return matAnalysis;
}

void CCameraAnalytics::Process(const cv::Mat& matAnalysis, CFullPicture& full, int64_t nMs)
{
    if (matAnalysis.empty() || matAnalysis.type() != CV_8UC1 || full.Empty())
        return;
    if (full.Size() != m_sizeFrame) {
        if (!m_sizeFrame.empty())
            qCInfo(lcAnalytics).noquote()
                << "camera" << QString::fromStdString(m_camera.strName) << ": picture size changed to"
                << full.Size().width << "x" << full.Size().height << "; tracks start again";
        m_sizeFrame = full.Size();
        m_nFrames = 0;
        m_gate.Reset();
        m_tracker.Reset();
    }
    // Analysis pixels per full-size pixel, each way (the stream's pixels need not be square).
    const double dScaleX = double(matAnalysis.cols) / m_sizeFrame.width;
    const double dScaleY = double(matAnalysis.rows) / m_sizeFrame.height;
    // Between full detections only what moves outside the known persons is
    // searched: new entries are caught on every frame, known persons are carried.
    std::vector<cv::Rect> vecKnown;
    if (m_nFrames++ % uint64_t(DetectEvery()) != 0)
        for (const cv::Rect& rc : m_tracker.PredictedConfirmed(nMs, CarryMs()))
            vecKnown.emplace_back(cvRound(rc.x * dScaleX), cvRound(rc.y * dScaleY), cvRound(rc.width * dScaleX),
                                  cvRound(rc.height * dScaleY));
    const std::vector<cv::Rect> vecRegions = m_gate.Regions(matAnalysis, vecKnown);
    std::vector<Detection> vecFound;
    if (!vecRegions.empty())
        vecFound = m_detector.DetectIn(matAnalysis, vecRegions);
    for (Detection& d : vecFound) {
        d.rcBody = cv::Rect(cvRound(d.rcBody.x / dScaleX), cvRound(d.rcBody.y / dScaleY),
                            cvRound(d.rcBody.width / dScaleX), cvRound(d.rcBody.height / dScaleY));
    }
    const std::vector<int> vecConfirmed = m_tracker.Update(vecFound, nMs);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_counters.nAnalysed;
        m_counters.nDetectorRuns += vecRegions.empty() ? 0 : 1;
        m_counters.nPersons += vecFound.size();
    }
    RaiseAlarms(full, vecConfirmed, nMs);
}

const cv::Mat& CCameraAnalytics::PicturesFrom(CFullPicture& full)
{
    const cv::Mat& mat = full.Bgr();
    if (mat.empty() && !m_bConversionFailed) {
        m_bConversionFailed = true;
        qCWarning(lcAnalytics).noquote() << "camera" << QString::fromStdString(m_camera.strName)
                                         << ": the stream's pictures cannot be converted; alarms are not raised";
    }
    return mat;
}

int CCameraAnalytics::DetectEvery() const
{
    // Settings built in code are not checked like a site file's.
    return std::max(1, m_camera.settings.nDetectEvery);
}

int64_t CCameraAnalytics::CarryMs() const
{
    // A little over the gap between full detections, so a person missed once is still carried.
    const int64_t nFrameMs = 1000 / std::max(1, m_camera.settings.nFps);
    return (DetectEvery() - 1) * nFrameMs + nFrameMs / 2;
}

void CCameraAnalytics::MarkReported(int nId, int64_t nMs)
{
    m_tracker.MarkReported(nId);
    const Track* pTrack = m_tracker.Find(nId);
    if (!pTrack)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_counters.nReportDelayMsSum += nMs - pTrack->nFirstMs;
    ++m_counters.nReported;
}

void CCameraAnalytics::RaiseAlarms(CFullPicture& full, const std::vector<int>& vecConfirmed, int64_t nMs)
{
    if (m_camera.bPanoramic)
        RaisePanoramic(full, vecConfirmed, nMs);
    else
        RaiseLinked(full, nMs);
}

void CCameraAnalytics::RaisePanoramic(CFullPicture& full, const std::vector<int>& vecConfirmed, int64_t nMs)
{
    if (vecConfirmed.empty())
        return;
    const cv::Mat& matFrame = PicturesFrom(full);
    if (matFrame.empty())
        return;
    // A new person in the scene opens a new linkage, showing everyone seen now.
    const std::string strUid = CLinkageBoard::NewLinkageUid();
    // Everyone seen now, and the persons carried since the last full detection.
    std::vector<cv::Rect> vecBodies = m_tracker.PredictedConfirmed(nMs, CarryMs());
    for (const Track& track : m_tracker.Tracks())
        if (track.nLastMs == nMs && !track.bConfirmed)
            vecBodies.push_back(track.last.rcBody);
    // A carried box may have moved past the picture's edge.
    for (cv::Rect& rc : vecBodies)
        rc &= cv::Rect(cv::Point(), matFrame.size());
    vecBodies.erase(std::remove_if(vecBodies.begin(), vecBodies.end(), [](const cv::Rect& rc) { return rc.empty(); }),
                    vecBodies.end());
    int64_t nFirstSeenMs = 0;
    for (int nId : vecConfirmed) {
        nFirstSeenMs = std::max(nFirstSeenMs, FirstSeenMs(nId));
        MarkReported(nId, nMs);
    }
    Send(MakePanoramicAlarm(m_camera, strUid, matFrame, vecBodies), nMs, nFirstSeenMs);
    // Only now may linked cameras join: their alarms come after this one.
    CLinkageBoard::Instance().Open(m_camera.strGroup, strUid, nMs, m_camera.settings.nLinkageWindowS);
}

void CCameraAnalytics::RaiseLinked(CFullPicture& full, int64_t nMs)
{
    // Each person seen now and not yet reported, once a linkage is open (a
    // person may come into this view before the panorama has found anyone).
    const std::string strUid = CLinkageBoard::Instance().Current(m_camera.strGroup, nMs);
    if (strUid.empty())
        return;
    std::vector<Detection> vecPersons;
    std::vector<int> vecIds;
    for (const Track& track : m_tracker.Tracks())
        if (track.bConfirmed && !track.bReported && track.nLastMs == nMs) {
            vecPersons.push_back(track.last);
            vecIds.push_back(track.nId);
        }
    if (vecPersons.empty())
        return;
    const cv::Mat& matFrame = PicturesFrom(full);
    if (matFrame.empty())
        return;
    std::vector<int64_t> vecFirstSeen;
    for (int nId : vecIds) {
        vecFirstSeen.push_back(FirstSeenMs(nId));
        MarkReported(nId, nMs);
    }
    for (size_t i = 0; i < vecPersons.size(); ++i) {
        Detection& person = vecPersons[i];
        // Faces only for the persons about to be reported: the cascade is dear.
        if (m_camera.settings.bFaces)
            person.rcFace = m_detector.FindFace(matFrame, person.rcBody);
        Send(MakeLinkageAlarm(m_camera, strUid, matFrame, person), nMs, vecFirstSeen[i]);
    }
}

int64_t CCameraAnalytics::FirstSeenMs(int nId) const
{
    const Track* pTrack = m_tracker.Find(nId);
    return pTrack ? pTrack->nFirstMs : 0;
}

void CCameraAnalytics::Send(quorra::IntelAlarmEventInfo info, int64_t nMs, int64_t nFirstSeenMs)
{
    ReportObserver fnObserver;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        fnObserver = m_fnObserver;
    }
    if (fnObserver)
        fnObserver(info, nFirstSeenMs);
    if (m_fnSink)
        m_fnSink(std::move(info));
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_counters.nAlarms;
    m_counters.dLastLatencyMs = double(SteadyMs() - nMs);
}

} // namespace Analytics
