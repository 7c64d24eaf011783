// Quality of the person detector on the street footage against the
// hand-labelled frames of bench/data/street-persons.csv: precision and recall
// at the chosen settings (the picture at 1.5x, as the demo's panorama is
// analysed) and at OpenCV's defaults (the video's own size), over the whole
// picture and, for the chosen settings, also only where the motion gate sees
// movement (the live path). For all persons and for those at least 100 px
// tall. A detection counts when it overlaps a labelled person by IoU >= 0.4
// (boxes drawn by eye are loose), each label matched once, best overlaps first.

#include "analytics/IouTracker.h"
#include "analytics/PersonDetector.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kVideo = "/usr/share/doc/opencv-doc/examples/data/vtest.avi";
constexpr double kMatchIoU = 0.4;
constexpr int kTallPixels = 100;
constexpr double kChosenScale = 1.5;

using Boxes = std::vector<cv::Rect>;

std::map<int, Boxes> ReadLabels(const char* pszPath)
{
    std::map<int, Boxes> mapLabels;
    std::ifstream file(pszPath);
    std::string strLine;
    while (std::getline(file, strLine)) {
        if (strLine.empty() || strLine[0] == '#' || strLine[0] == 'f')
            continue;
        std::replace(strLine.begin(), strLine.end(), ',', ' ');
        std::istringstream line(strLine);
        int nFrame = 0;
        cv::Rect rc;
        if (line >> nFrame >> rc.x >> rc.y >> rc.width >> rc.height)
            mapLabels[nFrame].push_back(rc);
    }
    return mapLabels;
}

struct Score
{
    int nTrue = 0, nFound = 0, nLabelled = 0;             // all persons
    int nTallTrue = 0, nTallFound = 0, nTallLabelled = 0; // persons >= 100 px
    int nTallHit = 0;                                     // tall labels found
    int nAllHit = 0;

    void Add(const Boxes& vecLabels, const Boxes& vecFound)
    {
        std::vector<std::tuple<double, size_t, size_t>> vecPairs;
        for (size_t l = 0; l < vecLabels.size(); ++l)
            for (size_t d = 0; d < vecFound.size(); ++d) {
                const double dIoU = Analytics::IoU(vecLabels[l], vecFound[d]);
                if (dIoU >= kMatchIoU)
                    vecPairs.emplace_back(dIoU, l, d);
            }
        std::sort(vecPairs.rbegin(), vecPairs.rend());
        std::vector<bool> vecLabelUsed(vecLabels.size()), vecFoundUsed(vecFound.size());
        for (const auto& [dIoU, l, d] : vecPairs) {
            if (vecLabelUsed[l] || vecFoundUsed[d])
                continue;
            vecLabelUsed[l] = vecFoundUsed[d] = true;
        }
        for (size_t l = 0; l < vecLabels.size(); ++l) {
            const bool bTall = vecLabels[l].height >= kTallPixels;
            nLabelled += 1;
            nAllHit += vecLabelUsed[l];
            nTallLabelled += bTall;
            nTallHit += bTall && vecLabelUsed[l];
        }
        // Precision of a size class: the detections of that size.
        for (size_t d = 0; d < vecFound.size(); ++d) {
            const bool bTall = vecFound[d].height >= kTallPixels;
            nFound += 1;
            nTrue += vecFoundUsed[d];
            nTallFound += bTall;
            nTallTrue += bTall && vecFoundUsed[d];
        }
    }

    void Print(const char* pszWhat) const
    {
        auto share = [](int a, int b) { return b > 0 ? double(a) / b : 0.0; };
        std::printf("  %-44s all: precision %.2f (%d/%d) recall %.2f (%d/%d) | >= %d px: precision %.2f (%d/%d) "
                    "recall %.2f (%d/%d)\n",
                    pszWhat, share(nTrue, nFound), nTrue, nFound, share(nAllHit, nLabelled), nAllHit, nLabelled,
                    kTallPixels, share(nTallTrue, nTallFound), nTallTrue, nTallFound, share(nTallHit, nTallLabelled),
                    nTallHit, nTallLabelled);
    }
};

Boxes ScaledBack(const std::vector<Analytics::Detection>& vecFound, double dScale)
{
    Boxes vec;
    for (const Analytics::Detection& d : vecFound)
        vec.emplace_back(cvRound(d.rcBody.x / dScale), cvRound(d.rcBody.y / dScale), cvRound(d.rcBody.width / dScale),
                         cvRound(d.rcBody.height / dScale));
    return vec;
}

// OpenCV's people detector as its defaults have it, on the video's own pixels;
// its windows narrowed to the person as ours are, so that both are matched alike.
Boxes OpenCvDefaults(const cv::HOGDescriptor& hog, const cv::Mat& matFrame)
{
    std::vector<cv::Rect> vecWindows;
    hog.detectMultiScale(matFrame, vecWindows);
    Boxes vec;
    for (const cv::Rect& rc : vecWindows) {
        const int nWidth = cvRound(rc.width * 0.6), nHeight = cvRound(rc.height * 0.86);
        vec.emplace_back(rc.x + (rc.width - nWidth) / 2, rc.y + (rc.height - nHeight) / 2, nWidth, nHeight);
    }
    return vec;
}

} // namespace

int main()
{
    cv::setNumThreads(1);
    const std::map<int, Boxes> mapLabels = ReadLabels(LSA_STREET_LABELS);
    cv::VideoCapture capture(kVideo);
    if (mapLabels.empty() || !capture.isOpened()) {
        std::fprintf(stderr, "bench_analyticsquality: no labels or no footage (install opencv-doc)\n");
        return 1;
    }
    Analytics::CPersonDetector detector; // the minimum height included: 96 px at 1.5x, 64 in the video's pixels
    Analytics::CMotionGate gate;
    cv::HOGDescriptor hog;
    hog.setSVMDetector(cv::HOGDescriptor::getDefaultPeopleDetector());
    Score chosen, gated, defaults;
    cv::Mat matFrame;
    const int nLast = mapLabels.rbegin()->first;
    for (int nFrame = 0; nFrame <= nLast && capture.read(matFrame); ++nFrame) {
        cv::Mat matBig;
        cv::resize(matFrame, matBig, cv::Size(), kChosenScale, kChosenScale);
        // The gate learns from every frame, as it would from a stream.
        const std::vector<cv::Rect> vecRegions = gate.Regions(matBig);
        const auto it = mapLabels.find(nFrame);
        if (it == mapLabels.end())
            continue;
        chosen.Add(it->second, ScaledBack(detector.Detect(matBig), kChosenScale));
        gated.Add(it->second, ScaledBack(detector.DetectIn(matBig, vecRegions), kChosenScale));
        defaults.Add(it->second, OpenCvDefaults(hog, matFrame));
    }
    std::printf("Person detector on %zu hand-labelled frames of the street (match: IoU >= %.1f):\n", mapLabels.size(),
                kMatchIoU);
    chosen.Print("chosen: 1.5x, step 1.05, margin 0.3, whole");
    gated.Print("chosen, only where the motion gate sees motion");
    defaults.Print("OpenCV's defaults at the video's own 768 px");
    return 0;
}
