// GUI-thread time of the linkage dialog's alarm handling, each figure next to
// its floor measured in the same run:
// - a panoramic alarm (scene picture 1920 x 1080 or 3840 x 2160 shown in the
//   scene panel) against TurboJPEG decoding the scene at the smallest scale
//   that still covers the panel, plus a smooth scale to the panel's size;
// - a linkage alarm with 1, 3, 10 or 30 persons whose bodies and faces are cut
//   out of one shared background picture, against TurboJPEG decoding that
//   picture once at the covering scale (the smallest that still gives every
//   cut the pixels of its label) plus cutting and smoothly scaling each part.
// Both figures include what the dialog does besides decoding (cards, panels)
// and the layout and paint of what changed, which the user waits for too.
// Ratios printed at the end: figure time / floor time (lower is better).

#include <benchmark/benchmark.h>

#include "bench/BenchMain.h"
#include "bench/BenchPictures.h"
#include <turbojpeg.h>

#include "alarmview/AlarmPictureDecoder.h"
#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cards/LinkageCardWidget.h"

#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <map>

using LinkageSnapAlarm::CLinkageSnapAlarmDlg;

namespace {

using bench::CameraPicture;

const std::string& Picture(int nHeight)
{
    static std::map<int, std::string> s_map;
    auto it = s_map.find(nHeight);
    if (it == s_map.end())
        it = s_map.emplace(nHeight, CameraPicture(QSize(nHeight * 16 / 9, nHeight))).first;
    return it->second;
}

// Person i of n: body and face rectangles, the face cut from the same picture;
// the persons stand side by side in up to three rows.
protocol::PictureRect BodyRect(int i, int n)
{
    const int nPerRow = (n + 2) / 3;
    return protocol::MakePictureRect(0.02 + 0.9 * (i % nPerRow) / nPerRow, 0.05 + 0.3 * (i / nPerRow), 0.06, 0.25);
}
protocol::PictureRect FaceRect(int i, int n)
{
    const protocol::PictureRect body = BodyRect(i, n);
    return protocol::MakePictureRect(body.x + 0.015, body.y, 0.03, 0.05);
}

// The dialog as the host shows it; with every window empty, alarms without a
// source pass the camera test, so no camera assignment is needed here.
CLinkageSnapAlarmDlg& Dialog()
{
    static CLinkageSnapAlarmDlg* s_pDlg = [] {
        auto* pDlg = new CLinkageSnapAlarmDlg;
        pDlg->resize(1920, 1080);
        pDlg->show();
        QApplication::processEvents();
        return pDlg;
    }();
    return *s_pDlg;
}

QSize ScenePanelTarget()
{
    const QSize size = Dialog().findChild<QWidget*>("m_pWidgetScenePic")->size();
    return QSize(int(size.width() * 0.97633135f), int(size.height() * 0.95789474f));
}

QSize CardSize()
{
    return QSize(int(1920 * 0.052604165f), Dialog().findChild<QWidget*>("m_pWidgetLinkagePic")->height() - 10);
}

quorra::IntelAlarmEventInfo PanoramicAlarm(int nHeight)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = 100009;
    info.IntelAlarmInfo.LinkageUid = "bench";
    info.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData = Picture(nHeight);
    return info;
}

// As devices send it: every person refers to the one background picture.
quorra::IntelAlarmEventInfo LinkageAlarm(int nHeight, int nPersons)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = 100509;
    info.IntelAlarmInfo.LinkageUid = "bench";
    auto spBackground = std::make_shared<protocol::PicBinary>();
    spBackground->strData = Picture(nHeight);
    for (int i = 0; i < nPersons; ++i) {
        protocol::IntelAlarmHumanInfo human;
        human.FaceFromSamePic = true;
        human.bkPic.pPicBinary = spBackground;
        human.SubPic.PictureRectList = {BodyRect(i, nPersons), FaceRect(i, nPersons),
                                        protocol::MakePictureRect(0, 0, 0.1, 0.1)};
        info.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(human);
    }
    return info;
}

// What the user waits for after the slot: the layout and paint of what changed.
void LayOutAndPaint(const char* szPanel)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    Dialog().findChild<QWidget*>(szPanel)->repaint();
}

void BM_Panoramic_Dialog(benchmark::State& state)
{
    const auto info = PanoramicAlarm(int(state.range(0)));
    for (auto _ : state) {
        Dialog().onNewAlarmComing(info);
        LayOutAndPaint("m_pWidgetScenePic");
    }
}

void BM_Panoramic_TurboFloor(benchmark::State& state)
{
    const std::string& strJpeg = Picture(int(state.range(0)));
    const QSize sizeTarget = ScenePanelTarget();
    tjhandle hDecode = tjInitDecompress();
    std::vector<unsigned char> vecPixels;
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::DecodeCoveringFloor(hDecode, strJpeg, sizeTarget, vecPixels));
    tjDestroy(hDecode);
}

void BM_Linkage_Dialog(benchmark::State& state)
{
    Dialog().onNewAlarmComing(PanoramicAlarm(1080)); // opens linkage "bench"
    const auto info = LinkageAlarm(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        Dialog().onNewAlarmComing(info);
        LayOutAndPaint("m_pWidgetLinkagePic");
    }
}

void BM_Linkage_TurboFloor(benchmark::State& state)
{
    using namespace LinkageSnapAlarm;
    const std::string& strJpeg = Picture(int(state.range(0)));
    const int nPersons = int(state.range(1));
    const QSize sizePicture(int(state.range(0)) * 16 / 9, int(state.range(0)));
    std::vector<QRect> vecCuts;
    std::vector<QSize> vecShown;
    for (int i = 0; i < nPersons; ++i) {
        vecCuts.push_back(AlarmPicture::DisplayCut(sizePicture, BodyRect(i, nPersons)));
        vecShown.push_back(CLinkageCardWidget::BodyLabelSize(CardSize()));
        vecCuts.push_back(AlarmPicture::DisplayCut(sizePicture, FaceRect(i, nPersons)));
        vecShown.push_back(CLinkageCardWidget::FaceLabelSize(CardSize()));
    }
    const int nReduction = AlarmPicture::CoveringReduction(vecCuts, vecShown);
    const tjscalingfactor scale{1, nReduction};
    tjhandle hDecode = tjInitDecompress();
    std::vector<unsigned char> vecPixels;
    for (auto _ : state) {
        auto* pJpeg = reinterpret_cast<const unsigned char*>(strJpeg.data());
        const int nW = TJSCALED(sizePicture.width(), scale);
        const int nH = TJSCALED(sizePicture.height(), scale);
        vecPixels.resize(size_t(nW) * nH * 4);
        tjDecompress2(hDecode, pJpeg, strJpeg.size(), vecPixels.data(), nW, 0, nH, TJPF_BGRX, 0);
        const QImage image(vecPixels.data(), nW, nH, QImage::Format_RGB32);
        for (size_t i = 0; i < vecCuts.size(); ++i) {
            const QRect& rc = vecCuts[i];
            const QImage part =
                image.copy(rc.x() / nReduction, rc.y() / nReduction, rc.width() / nReduction, rc.height() / nReduction);
            benchmark::DoNotOptimize(part.scaled(vecShown[i], Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
    tjDestroy(hDecode);
}

} // namespace

BENCHMARK(BM_Panoramic_Dialog)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Panoramic_TurboFloor)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Linkage_Dialog)->ArgsProduct({{1080, 2160}, {1, 3, 10, 30}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Linkage_TurboFloor)->ArgsProduct({{1080, 2160}, {1, 3, 10, 30}})->Unit(benchmark::kMillisecond);

namespace {

void PrintRatios(const bench::CRatioReporter& reporter)
{
    std::printf("\nRatios (figure time / floor time, lower is better):\n");
    for (const std::string strArg : {"1080", "2160"}) {
        reporter.PrintTimeRatio("panoramic alarm, " + strArg
                                    + "p scene: dialog / TurboJPEG scaled decode + smooth scale",
                                "BM_Panoramic_Dialog/" + strArg, "BM_Panoramic_TurboFloor/" + strArg, 1.2, 78);
        for (const std::string strPersons : {"1", "3", "10", "30"})
            reporter.PrintTimeRatio("linkage alarm, " + strPersons + " persons from " + strArg
                                        + "p: dialog / one TurboJPEG decode + cuts",
                                    "BM_Linkage_Dialog/" + strArg + "/" + strPersons,
                                    "BM_Linkage_TurboFloor/" + strArg + "/" + strPersons, 1.2, 78);
    }
}

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWidgetBenchmarks(argc, argv, bench::CRatioReporter::Keep::IterationCpu,
                                      [](bench::CRatioReporter& reporter) { PrintRatios(reporter); });
}
