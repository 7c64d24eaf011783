#include "analytics/IouTracker.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace Analytics {

double IoU(const cv::Rect& a, const cv::Rect& b)
{
    const double dInter = (a & b).area();
    const double dUnion = double(a.area()) + double(b.area()) - dInter;
    return dUnion > 0 ? dInter / dUnion : 0.0;
}

namespace {
// Weight of the newest step in the smoothed velocity.
constexpr double kVelocitySmoothing = 0.5;

cv::Point2d Centre(const cv::Rect& rc)
{
    return (rc.tl() + rc.br()) / 2.0;
}
} // namespace

cv::Rect Track::Predicted(int64_t nMs, int64_t nMaxPredictMs) const
{
    const double dMs = double(std::clamp<int64_t>(nMs - nLastMs, 0, nMaxPredictMs));
    const cv::Point ptShift(cvRound(ptVelocity.x * dMs), cvRound(ptVelocity.y * dMs));
    return last.rcBody + ptShift;
}

std::vector<cv::Rect> CIouTracker::PredictedConfirmed(int64_t nNowMs, int64_t nMaxAgeMs) const
{
    std::vector<cv::Rect> vecBoxes;
    for (const Track& track : m_vecTracks)
        if (track.bConfirmed && nNowMs - track.nLastMs <= nMaxAgeMs)
            vecBoxes.push_back(track.Predicted(nNowMs, m_settings.nMaxPredictMs));
    return vecBoxes;
}

CIouTracker::CIouTracker(const TrackerSettings& settings)
    : m_settings(settings)
{
}

double CIouTracker::MatchScore(const cv::Rect& rcTrack, const cv::Rect& rcFound) const
{
    const double dIoU = IoU(rcTrack, rcFound);
    // A person walking fast at a low frame rate overlaps little with its
    // last box: a near centre of a similar size continues the track too.
    const cv::Point2d ptStep = Centre(rcTrack) - Centre(rcFound);
    const double dSizeRatio = double(rcFound.height) / std::max(1, rcTrack.height);
    const bool bNear = std::hypot(ptStep.x, ptStep.y) <= m_settings.dMaxStepShare * rcTrack.height && dSizeRatio > 0.7
                       && dSizeRatio < 1.4;
    if (dIoU < m_settings.dMinIoU && !bNear)
        return -1;
    return dIoU + (bNear ? 0.01 : 0.0);
}

const Track* CIouTracker::Find(int nId) const
{
    const auto it =
        std::find_if(m_vecTracks.begin(), m_vecTracks.end(), [nId](const Track& t) { return t.nId == nId; });
    return it == m_vecTracks.end() ? nullptr : &*it;
}

void CIouTracker::MarkReported(int nId)
{
    for (Track& track : m_vecTracks)
        if (track.nId == nId)
            track.bReported = true;
}

std::vector<int> CIouTracker::Update(const std::vector<Detection>& vecDetections, int64_t nNowMs)
{
    m_vecTracks.erase(std::remove_if(m_vecTracks.begin(), m_vecTracks.end(),
                                     [&](const Track& t) { return nNowMs - t.nLastMs > m_settings.nTimeoutMs; }),
                      m_vecTracks.end());
    // Greedy matching, best overlaps first: few persons per frame, so all pairs
    // are cheap. Each track is where its velocity has taken it by now.
    std::vector<std::tuple<double, size_t, size_t>> vecPairs;
    for (size_t t = 0; t < m_vecTracks.size(); ++t)
        for (size_t d = 0; d < vecDetections.size(); ++d) {
            const double dScore =
                MatchScore(m_vecTracks[t].Predicted(nNowMs, m_settings.nMaxPredictMs), vecDetections[d].rcBody);
            if (dScore >= 0)
                vecPairs.emplace_back(dScore, t, d);
        }
    std::sort(vecPairs.begin(), vecPairs.end(),
              [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
    std::vector<bool> vecTrackUsed(m_vecTracks.size()), vecDetUsed(vecDetections.size());
    std::vector<int> vecConfirmed;
    auto hit = [&](Track& track, const Detection& det) {
        const int64_t nStepMs = nNowMs - track.nLastMs;
        if (track.nHits > 0 && nStepMs > 0) {
            const cv::Point2d ptStep = (Centre(det.rcBody) - Centre(track.last.rcBody)) / double(nStepMs);
            track.ptVelocity =
                track.nHits == 1 ? ptStep : track.ptVelocity + kVelocitySmoothing * (ptStep - track.ptVelocity);
        }
        track.last = det;
        track.nLastMs = nNowMs;
        ++track.nHits;
        if (!track.bConfirmed && track.nHits >= m_settings.nConfirmHits) {
            track.bConfirmed = true;
            vecConfirmed.push_back(track.nId);
        }
    };
    for (const auto& [dIoU, t, d] : vecPairs) {
        if (vecTrackUsed[t] || vecDetUsed[d])
            continue;
        vecTrackUsed[t] = vecDetUsed[d] = true;
        hit(m_vecTracks[t], vecDetections[d]);
    }
    for (size_t d = 0; d < vecDetections.size(); ++d) {
        if (vecDetUsed[d])
            continue;
        Track track;
        track.nId = m_nNextId++;
        track.nFirstMs = nNowMs;
        m_vecTracks.push_back(track);
        hit(m_vecTracks.back(), vecDetections[d]);
    }
    return vecConfirmed;
}

} // namespace Analytics
