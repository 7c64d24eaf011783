#include "analytics/PersonDetector.h"

#include "analytics/IouTracker.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <fstream>

namespace Analytics {
namespace {

const cv::Size kWindow(64, 128);
// The people detector's window holds a margin around the person: the box
// shown is this much narrower and shorter, centred.
constexpr double kBodyWidthShare = 0.6;
constexpr double kBodyHeightShare = 0.86;
// Faces are searched in the top of the body box, a little wider than it.
constexpr double kUpperBodyShare = 0.35;
constexpr double kUpperBodyWiden = 0.15;
constexpr double kFaceScaleStep = 1.1;
constexpr int kFaceNeighbours = 3;
constexpr int kMinFacePixels = 12;
// HOG groups its raw windows itself; this many must agree.
constexpr double kGroupThreshold = 2.0;

cv::Rect Tighten(const cv::Rect& rcWindow)
{
    const int nWidth = cvRound(rcWindow.width * kBodyWidthShare);
    const int nHeight = cvRound(rcWindow.height * kBodyHeightShare);
    return {rcWindow.x + (rcWindow.width - nWidth) / 2, rcWindow.y + (rcWindow.height - nHeight) / 2, nWidth, nHeight};
}

// The region grown to at least the detector's window plus a margin, inside the picture.
cv::Rect GrowToWindow(const cv::Rect& rcRegion, const cv::Size& sizeImage)
{
    const int nWidth = std::max(rcRegion.width, kWindow.width) + kWindow.width / 2;
    const int nHeight = std::max(rcRegion.height, kWindow.height) + kWindow.height / 4;
    cv::Rect rc(rcRegion.x + rcRegion.width / 2 - nWidth / 2, rcRegion.y + rcRegion.height / 2 - nHeight / 2, nWidth,
                nHeight);
    return rc & cv::Rect(cv::Point(), sizeImage);
}

} // namespace

std::string DefaultFaceModelPath()
{
    return "/usr/share/opencv4/haarcascades/haarcascade_frontalface_alt2.xml";
}

CPersonDetector::CPersonDetector(const DetectorSettings& settings)
    : m_settings(settings)
{
    m_hog.setSVMDetector(cv::HOGDescriptor::getDefaultPeopleDetector());
}

bool CPersonDetector::LoadFaceModel(const std::string& strPath, std::string& strError)
{
    m_faces = cv::CascadeClassifier();
    if (!std::ifstream(strPath).good()) {
        strError = "face model " + strPath + " cannot be read";
        return false;
    }
    try {
        if (m_faces.load(strPath))
            return true;
    } catch (const cv::Exception& e) {
        strError = "face model " + strPath + ": " + e.what();
        return false;
    }
    strError = "face model " + strPath + " is not a cascade";
    return false;
}

std::vector<Detection> CPersonDetector::Detect(const cv::Mat& matImage)
{
    return DetectIn(matImage, {cv::Rect(cv::Point(), matImage.size())});
}

std::vector<Detection> CPersonDetector::DetectIn(const cv::Mat& matImage, const std::vector<cv::Rect>& vecRegions)
{
    std::vector<Detection> vecFound;
    if (matImage.empty() || matImage.cols < kWindow.width || matImage.rows < kWindow.height)
        return vecFound;
    cv::Mat matGrey;
    if (matImage.channels() == 1)
        matGrey = matImage;
    else
        cv::cvtColor(matImage, matGrey, matImage.channels() == 4 ? cv::COLOR_BGRA2GRAY : cv::COLOR_BGR2GRAY);
    const cv::Size sizeStride(m_settings.nStride, m_settings.nStride);
    for (const cv::Rect& rcRegion : vecRegions) {
        const cv::Rect rcSearch = GrowToWindow(rcRegion, matGrey.size());
        if (rcSearch.width < kWindow.width || rcSearch.height < kWindow.height)
            continue;
        std::vector<cv::Rect> vecWindows;
        std::vector<double> vecWeights;
        m_hog.detectMultiScale(matGrey(rcSearch), vecWindows, vecWeights, m_settings.dHitThreshold, sizeStride,
                               cv::Size(), m_settings.dScaleStep, kGroupThreshold);
        for (size_t i = 0; i < vecWindows.size(); ++i) {
            const cv::Rect rcBody = Tighten(vecWindows[i] + rcSearch.tl()) & cv::Rect(cv::Point(), matGrey.size());
            if (rcBody.height >= m_settings.nMinPersonHeight)
                vecFound.push_back({rcBody, i < vecWeights.size() ? vecWeights[i] : 0.0, {}});
        }
    }
    return Suppress(std::move(vecFound));
}

std::vector<Detection> CPersonDetector::Suppress(std::vector<Detection> vecFound) const
{
    if (vecFound.size() < 2)
        return vecFound;
    // Greedy non-maximum suppression: the best-scored box wins, and a box that
    // overlaps a kept one by more than the limit goes. Boxes without a positive
    // score never win.
    std::stable_sort(vecFound.begin(), vecFound.end(),
                     [](const Detection& a, const Detection& b) { return a.dScore > b.dScore; });
    std::vector<Detection> vecKept;
    for (const Detection& d : vecFound) {
        if (!(d.dScore > 0.0))
            break;
        const bool bOverlaps = std::any_of(vecKept.begin(), vecKept.end(), [&](const Detection& kept) {
            return IoU(kept.rcBody, d.rcBody) > m_settings.dNmsIoU;
        });
        if (!bOverlaps)
            vecKept.push_back(d);
    }
    return vecKept;
}

cv::Rect CPersonDetector::FindFace(const cv::Mat& matImage, const cv::Rect& rcBody)
{
    if (m_faces.empty() || matImage.empty())
        return {};
    const int nWiden = cvRound(rcBody.width * kUpperBodyWiden);
    const cv::Rect rcUpper = cv::Rect(rcBody.x - nWiden, rcBody.y - nWiden, rcBody.width + 2 * nWiden,
                                      cvRound(rcBody.height * kUpperBodyShare) + nWiden)
                             & cv::Rect(cv::Point(), matImage.size());
    const int nMinFace = std::max(kMinFacePixels, cvRound(rcBody.height * m_settings.dMinFaceShare));
    if (rcUpper.width < nMinFace || rcUpper.height < nMinFace)
        return {};
    cv::Mat matGrey;
    if (matImage.channels() == 1)
        matGrey = matImage(rcUpper).clone();
    else
        cv::cvtColor(matImage(rcUpper), matGrey, matImage.channels() == 4 ? cv::COLOR_BGRA2GRAY : cv::COLOR_BGR2GRAY);
    cv::equalizeHist(matGrey, matGrey);
    std::vector<cv::Rect> vecFaces;
    m_faces.detectMultiScale(matGrey, vecFaces, kFaceScaleStep, kFaceNeighbours, 0, cv::Size(nMinFace, nMinFace));
    if (vecFaces.empty())
        return {};
    const auto it = std::max_element(vecFaces.begin(), vecFaces.end(),
                                     [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });
    return *it + rcUpper.tl();
}

CMotionGate::CMotionGate()
{
    Reset();
}

void CMotionGate::Reset()
{
    constexpr int kHistory = 200;
    constexpr double kVarianceThreshold = 25;
    m_spSubtractor = cv::createBackgroundSubtractorMOG2(kHistory, kVarianceThreshold, false);
    m_sizeLast = cv::Size();
}

std::vector<cv::Rect> CMotionGate::Regions(const cv::Mat& matImage, const std::vector<cv::Rect>& vecKnown)
{
    std::vector<cv::Rect> vecRegions;
    if (matImage.empty())
        return vecRegions;
    const bool bNewSize = matImage.size() != m_sizeLast;
    if (bNewSize) {
        Reset();
        m_sizeLast = matImage.size();
    }
    const double dScale = std::min(1.0, double(kMaskWidth) / matImage.cols);
    cv::Mat matSmall, matGrey, matMask;
    cv::resize(matImage, matSmall, cv::Size(), dScale, dScale, cv::INTER_AREA);
    if (matSmall.channels() == 1)
        matGrey = matSmall;
    else
        cv::cvtColor(matSmall, matGrey, matSmall.channels() == 4 ? cv::COLOR_BGRA2GRAY : cv::COLOR_BGR2GRAY);
    cv::GaussianBlur(matGrey, matGrey, cv::Size(3, 3), 0);
    m_spSubtractor->apply(matGrey, matMask);
    if (bNewSize)
        return vecRegions;
    // A known person's box, grown by what the mask's blobs spread, explains the motion in it.
    constexpr double kKnownGrowth = 0.25;
    for (const cv::Rect& rc : vecKnown) {
        const double dx = rc.width * kKnownGrowth / 2, dy = rc.height * kKnownGrowth / 2;
        const cv::Rect rcMask(cvFloor((rc.x - dx) * dScale), cvFloor((rc.y - dy) * dScale),
                              cvCeil((rc.width + 2 * dx) * dScale), cvCeil((rc.height + 2 * dy) * dScale));
        const cv::Rect rcInside = rcMask & cv::Rect(cv::Point(), matMask.size());
        if (!rcInside.empty())
            matMask(rcInside).setTo(0);
    }
    // Close small gaps so one person is one blob.
    cv::dilate(matMask, matMask, cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5)), cv::Point(-1, -1), 2);
    std::vector<std::vector<cv::Point>> vecContours;
    cv::findContours(matMask, vecContours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    constexpr double kMinBlobPixels = 6; // at mask size: noise below
    std::vector<cv::Rect> vecBlobs;
    for (const auto& contour : vecContours) {
        const cv::Rect rc = cv::boundingRect(contour);
        if (rc.area() >= kMinBlobPixels)
            vecBlobs.push_back(rc);
    }
    // Back to the picture's pixels; overlapping regions merge so no person is searched twice.
    const double dBack = 1.0 / dScale;
    for (const cv::Rect& rc : vecBlobs) {
        cv::Rect rcBig(cvFloor(rc.x * dBack), cvFloor(rc.y * dBack), cvCeil(rc.width * dBack),
                       cvCeil(rc.height * dBack));
        bool bMerged = true;
        while (bMerged) {
            bMerged = false;
            for (auto it = vecRegions.begin(); it != vecRegions.end(); ++it) {
                if ((*it & rcBig).area() > 0) {
                    rcBig |= *it;
                    vecRegions.erase(it);
                    bMerged = true;
                    break;
                }
            }
        }
        vecRegions.push_back(rcBig);
    }
    return vecRegions;
}

} // namespace Analytics
