#pragma once

// Carries detected persons from one analysis frame to the next by the overlap
// of their boxes, so that one person walking through the view is one track and
// raises one alarm per appearance.

#include "HostExport.h"
#include "analytics/PersonDetector.h"

#include <cstdint>
#include <vector>

namespace Analytics {

struct HOST_API TrackerSettings
{
    double dMinIoU = 0.2;         // a detection continues a track above this overlap,
    double dMaxStepShare = 0.5;   // or when its centre is this near (share of the box height)
    int64_t nTimeoutMs = 3000;    // a track unseen this long has left
    int nConfirmHits = 2;         // detections before a track counts (one-frame flukes never alarm)
    int64_t nMaxPredictMs = 1000; // boxes move on by their velocity at most this long after a sighting
};

struct Track
{
    int nId = 0;
    Detection last; // the newest detection (its face, if one was found then)
    int64_t nFirstMs = 0;
    int64_t nLastMs = 0;
    int nHits = 0;
    bool bConfirmed = false;
    bool bReported = false; // an alarm has told of this appearance
    cv::Point2d ptVelocity; // of the box's centre, in pixels a millisecond (smoothed)

    // Where the box is expected at nMs, moving at constant velocity since the
    // last sighting (for at most nMaxPredictMs).
    cv::Rect Predicted(int64_t nMs, int64_t nMaxPredictMs) const;
};

class HOST_API CIouTracker
{
public:
    explicit CIouTracker(const TrackerSettings& settings = TrackerSettings());

    // Matches the detections of the frame at nNowMs to the tracks, starts new
    // tracks, drops those unseen for the timeout; returns the ids of the tracks
    // confirmed by this frame.
    std::vector<int> Update(const std::vector<Detection>& vecDetections, int64_t nNowMs);
    const std::vector<Track>& Tracks() const { return m_vecTracks; }
    // Boxes of the confirmed tracks seen within nMaxAgeMs before nNowMs, where they are expected now.
    std::vector<cv::Rect> PredictedConfirmed(int64_t nNowMs, int64_t nMaxAgeMs) const;
    const TrackerSettings& Settings() const { return m_settings; }
    const Track* Find(int nId) const;
    void MarkReported(int nId);
    void Reset() { m_vecTracks.clear(); }

private:
    // How well a detection continues a track's box (higher is better); negative: not at all.
    double MatchScore(const cv::Rect& rcTrack, const cv::Rect& rcFound) const;

    TrackerSettings m_settings;
    std::vector<Track> m_vecTracks;
    int m_nNextId = 1;
};

HOST_API double IoU(const cv::Rect& a, const cv::Rect& b);

} // namespace Analytics
