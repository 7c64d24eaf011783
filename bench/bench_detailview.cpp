// Opening the alarm detail view on a card of a 4K linkage: a click on the card
// until the view is shown with its three pictures decoded and painted (the
// scene 3840 x 2160 with the person's rectangle, the face and the body
// close-ups), against the floor of TurboJPEG decoding the same three pictures
// at their shown sizes: each at the smallest scale that still covers its
// shown size, then smoothly scaled to it. Closing the view is not timed.
// Ratio printed at the end: figure time / floor time (lower is better).

#include <benchmark/benchmark.h>

#include "bench/BenchMain.h"
#include "bench/BenchPictures.h"
#include <turbojpeg.h>

#include "alarmview/AlarmDetailView.h"
#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"

#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>

using LinkageSnapAlarm::CAlarmDetailView;
using LinkageSnapAlarm::CLinkageSnapAlarmDlg;

namespace {

const QSize kScene(3840, 2160);
// A person standing close to a 4K camera, and the face of the face list.
const QSize kBody(512, 1296);
const QSize kFace(224, 288);

using bench::CameraPicture;

const std::string& Picture(const QSize& size)
{
    static std::map<std::pair<int, int>, std::string> s_map;
    const auto key = std::make_pair(size.width(), size.height());
    auto it = s_map.find(key);
    if (it == s_map.end())
        it = s_map.emplace(key, CameraPicture(size)).first;
    return it->second;
}

// The dialog as the host shows it, with one card of a 4K linkage. With every
// window empty, alarms without a source pass the camera test.
CLinkageSnapAlarmDlg& Dialog()
{
    static CLinkageSnapAlarmDlg* s_pDlg = [] {
        auto* pDlg = new CLinkageSnapAlarmDlg;
        pDlg->resize(1920, 1080);
        pDlg->show();
        QApplication::processEvents();
        quorra::IntelAlarmEventInfo panoramic;
        panoramic.AlarmType = 100009;
        panoramic.AlarmSourceName = "Panorama";
        panoramic.IntelAlarmInfo.LinkageUid = "bench";
        panoramic.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData = Picture(kScene);
        pDlg->onNewAlarmComing(panoramic);
        quorra::IntelAlarmEventInfo linkage;
        linkage.AlarmType = 100509;
        linkage.AlarmSourceName = "Linked";
        linkage.IntelAlarmInfo.LinkageUid = "bench";
        protocol::IntelAlarmHumanInfo human;
        human.SubPic.pPicBinary->strData = Picture(kBody);
        human.SubPic.PictureRectList = {protocol::MakePictureRect(0.45, 0.3, 0.13, 0.6)};
        linkage.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(human);
        protocol::IntelAlarmFaceInfo face;
        face.SubPic.pPicBinary->strData = Picture(kFace);
        linkage.IntelAlarmInfo.IntelAlarmFaceInfoList.push_back(face);
        pDlg->onNewAlarmComing(linkage);
        QApplication::processEvents();
        return pDlg;
    }();
    return *s_pDlg;
}

QWidget* Card()
{
    return Dialog().findChild<LinkageSnapAlarm::CShowCardArea*>("m_pWidgetLinkagePic")->CardWidget()->Cards().value(0);
}

// What an operator does: a click on the card.
void ClickCard()
{
    QWidget* pCard = Card();
    const QPoint pt = pCard->rect().center();
    for (QEvent::Type eType : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(eType, pt, pCard->mapToGlobal(pt), Qt::LeftButton,
                          eType == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pCard, &event);
    }
}

// The view open on the card, its pictures decoded a turn at a time, painted.
void OpenAndPaint()
{
    ClickCard();
    CAlarmDetailView* pView = Dialog().DetailView();
    while (pView->IsDecoding())
        QCoreApplication::processEvents();
    pView->repaint();
}

void BM_DetailView_Open(benchmark::State& state)
{
    CAlarmDetailView* pView = Dialog().DetailView();
    for (auto _ : state) {
        OpenAndPaint();
        state.PauseTiming();
        pView->hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// The sizes the view shows the pictures at: fitted into their labels.
std::vector<std::pair<const std::string*, QSize>> ShownPictures()
{
    OpenAndPaint();
    CAlarmDetailView* pView = Dialog().DetailView();
    std::vector<std::pair<const std::string*, QSize>> vecShown;
    const std::pair<const char*, QSize> arrPictures[] = {
        {"m_pLabelDetailFace", kFace}, {"m_pLabelDetailBody", kBody}, {"m_pLabelDetailScene", kScene}};
    for (const auto& [szLabel, size] : arrPictures) {
        const QSize sizeBox = pView->findChild<QLabel*>(szLabel)->contentsRect().size();
        vecShown.emplace_back(&Picture(size), size.scaled(sizeBox, Qt::KeepAspectRatio));
    }
    pView->hide();
    QCoreApplication::processEvents();
    return vecShown;
}

void BM_DetailView_TurboFloor(benchmark::State& state)
{
    const auto vecShown = ShownPictures();
    tjhandle hDecode = tjInitDecompress();
    std::vector<unsigned char> vecPixels;
    for (auto _ : state) {
        for (const auto& [pJpegText, sizeShown] : vecShown)
            benchmark::DoNotOptimize(bench::DecodeCoveringFloor(hDecode, *pJpegText, sizeShown, vecPixels));
    }
    tjDestroy(hDecode);
}

} // namespace

BENCHMARK(BM_DetailView_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailView_TurboFloor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::RunWidgetBenchmarks(
        argc, argv, bench::CRatioReporter::Keep::IterationCpu, [](bench::CRatioReporter& reporter) {
            std::printf("\nRatio (figure time / floor time, lower is better):\n");
            reporter.PrintTimeRatio("detail view of a 4K linkage, open to painted / TurboJPEG decode at shown sizes",
                                    "BM_DetailView_Open", "BM_DetailView_TurboFloor", 1.2, 78);
        });
}
