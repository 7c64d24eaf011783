#pragma once

// Person and face detection on one picture: the HOG people detector over the
// regions where something moves, non-maximum suppression, a minimum height,
// and a frontal-face cascade inside each person's upper body.

#include "HostExport.h"
#include "analytics/AnalyticsModule.h"

#include <opencv2/core.hpp>
#include <opencv2/objdetect.hpp>
#include <opencv2/video/background_segm.hpp>

#include <string>
#include <vector>

namespace Analytics {

struct Detection
{
    cv::Rect rcBody;
    double dScore = 0;
    cv::Rect rcFace; // empty when no face was found (or none was searched)
};

// The default frontal-face model of the Debian package.
HOST_API std::string DefaultFaceModelPath();

class HOST_API CPersonDetector
{
public:
    explicit CPersonDetector(const DetectorSettings& settings = DetectorSettings());

    // Loads the face cascade; false with a reason when the file is missing or bad
    // (faces are then never found, persons still are).
    bool LoadFaceModel(const std::string& strPath, std::string& strError);
    bool HasFaceModel() const { return !m_faces.empty(); }

    // Persons in the whole picture (BGR or grey).
    std::vector<Detection> Detect(const cv::Mat& matImage);
    // Persons inside the given regions only (each grown to the detector's window).
    std::vector<Detection> DetectIn(const cv::Mat& matImage, const std::vector<cv::Rect>& vecRegions);
    // The largest frontal face in the upper part of the body box; empty if none.
    cv::Rect FindFace(const cv::Mat& matImage, const cv::Rect& rcBody);

    const DetectorSettings& Settings() const { return m_settings; }

private:
    std::vector<Detection> Suppress(std::vector<Detection> vecFound) const;

    DetectorSettings m_settings;
    cv::HOGDescriptor m_hog;
    cv::CascadeClassifier m_faces;
};

// Where something moves: background subtraction on a small grey copy of the
// picture, the moving blobs as boxes in the picture's own pixels.
class HOST_API CMotionGate
{
public:
    static constexpr int kMaskWidth = 160;

    CMotionGate();
    // Learns from the picture and returns the moving regions (merged, grown by a
    // margin). The first picture and a picture of a new size only teach. Motion
    // inside the known boxes (picture pixels: persons already tracked) is left out.
    std::vector<cv::Rect> Regions(const cv::Mat& matImage, const std::vector<cv::Rect>& vecKnown = {});
    void Reset();

private:
    cv::Ptr<cv::BackgroundSubtractorMOG2> m_spSubtractor;
    cv::Size m_sizeLast;
};

} // namespace Analytics
