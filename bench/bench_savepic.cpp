// Picture saving, each figure next to its floor:
// - raw 300 KB pictures written through the save-picture manager (queue, worker,
//   free-space check, folder, temporary file, flush, sync, rename) against a bare
//   loop doing the same file work (temporary file, write, flush, sync, rename);
// - cropping a 400 x 800 region out of a 1920 x 1080 and a 3840 x 2160 JPEG and
//   encoding it at quality 50, against libjpeg-turbo decoding only that region
//   and encoding it at quality 50 with TurboJPEG. The TurboJPEG API of this
//   libjpeg-turbo (2.1) decodes a region by a lossless crop to whole blocks and a
//   decode of that small picture; the libjpeg API of the same library skips the
//   rows above and the columns beside the region (what TurboJPEG 3's cropping
//   region does). Both are shown; the faster one is the floor.
// After the run the ratio of each figure to its floor is printed (the raw saves by
// wall time, the crops by CPU time).

#include <benchmark/benchmark.h>

#include "bench/BenchRatios.h"
#include <turbojpeg.h>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include "savepic/LinkageSavePicMgr.h"
#include "savepic/PictureFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <unistd.h>

using LinkageSnapAlarm::CLinkageSavePicMgr;
using LinkageSnapAlarm::LinkageSavePicInfo;

namespace {

constexpr int kBatch = 100;           // pictures per iteration: one full queue
constexpr int kRawBytes = 300 * 1024; // one raw picture
constexpr int kRegionWidth = 400;
constexpr int kRegionHeight = 800;

const std::string& RawPicture()
{
    static const std::string s_strData = [] {
        std::string strData(kRawBytes, '\0');
        QRandomGenerator generator(42);
        for (char& ch : strData)
            ch = char(generator.generate() & 0xff);
        return strData;
    }();
    return s_strData;
}

// A camera-like scene: smooth gradients, some edges and mild sensor noise,
// encoded at quality 90 (about what cameras deliver).
QByteArray ScenePicture(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    QRandomGenerator generator(7);
    for (int y = 0; y < nHeight; ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x) {
            const int nNoise = int(generator.bounded(13)) - 6;
            pLine[x] = qRgb(qBound(0, x * 255 / nWidth + nNoise, 255), qBound(0, y * 255 / nHeight + nNoise, 255),
                            qBound(0, ((x / 37 + y / 23) % 2) * 90 + 60 + nNoise, 255));
        }
    }
    QPainter painter(&image);
    for (int i = 0; i < 60; ++i)
        painter.fillRect(int(generator.bounded(nWidth)), int(generator.bounded(nHeight)), 40 + i, 90,
                         QColor::fromRgb(generator.generate()));
    painter.end();
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return baJpeg;
}

const QByteArray& Scene(int nHeight)
{
    static std::map<int, QByteArray> s_mapScenes;
    QByteArray& baScene = s_mapScenes[nHeight];
    if (baScene.isEmpty())
        baScene = ScenePicture(nHeight * 16 / 9, nHeight);
    return baScene;
}

// The centred 400 x 800 region, in pixels and as fractions.
QRect Region(int nWidth, int nHeight)
{
    return QRect((nWidth - kRegionWidth) / 2, (nHeight - kRegionHeight) / 2, kRegionWidth, kRegionHeight);
}

QRectF Fractions(const QRect& rcRegion, int nWidth, int nHeight)
{
    return QRectF(double(rcRegion.x()) / nWidth, double(rcRegion.y()) / nHeight, double(rcRegion.width()) / nWidth,
                  double(rcRegion.height()) / nHeight);
}

// ---- raw pictures ----

void BM_SaveRaw_Manager(benchmark::State& state)
{
    QTemporaryDir tmpDir(QDir::currentPath() + QStringLiteral("/bench-savepic-XXXXXX"));
    QObject parent;
    CLinkageSavePicMgr* pMgr = CLinkageSavePicMgr::GetSavePicMgr(&parent);
    pMgr->SetSavePicPath(tmpDir.path());
    pMgr->SetSavePicture(true);
    int nDone = 0;
    QObject::connect(pMgr, &CLinkageSavePicMgr::signalPictureSaved, [&nDone] { ++nDone; });
    QObject::connect(pMgr, &CLinkageSavePicMgr::signalSaveFailed, [&state] { state.SkipWithError("save failed"); });
    QObject::connect(pMgr, &CLinkageSavePicMgr::signalSpaceNotEnough, [&state] { state.SkipWithError("no space"); });
    LinkageSavePicInfo info;
    info.strFolderName = QStringLiteral("Camera 01");
    info.strPicData = RawPicture();
    int nName = 0;
    for (auto _ : state) {
        nDone = 0;
        for (int i = 0; i < kBatch; ++i) {
            info.strFileName = QStringLiteral("Linkage_Face_") + QString::number(++nName);
            pMgr->SavePicture(info);
        }
        while (nDone < kBatch && !state.error_occurred())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        QDir(tmpDir.filePath(QStringLiteral("Camera 01"))).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

// The same file work without queue, worker or checks.
bool WriteBare(const QByteArray& baFolder, int nName)
{
    char szTemp[4096];
    char szFinal[4096];
    std::snprintf(szTemp, sizeof szTemp, "%s/.picture-%d.part", baFolder.constData(), nName);
    std::snprintf(szFinal, sizeof szFinal, "%s/Linkage_Face_%d.jpg", baFolder.constData(), nName);
    const int nFd = open(szTemp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (nFd < 0)
        return false;
    const std::string& strData = RawPicture();
    const bool bWritten = write(nFd, strData.data(), strData.size()) == ssize_t(strData.size()) && fdatasync(nFd) == 0;
    close(nFd);
    return bWritten && renameat2(AT_FDCWD, szTemp, AT_FDCWD, szFinal, RENAME_NOREPLACE) == 0;
}

void BM_SaveRaw_BareLoop(benchmark::State& state)
{
    QTemporaryDir tmpDir(QDir::currentPath() + QStringLiteral("/bench-savepic-XXXXXX"));
    const QString strFolder = tmpDir.filePath(QStringLiteral("Camera 01"));
    const QByteArray baFolder = QFile::encodeName(strFolder);
    int nName = 0;
    for (auto _ : state) {
        QDir().mkpath(strFolder);
        for (int i = 0; i < kBatch; ++i)
            if (!WriteBare(baFolder, ++nName))
                state.SkipWithError("write failed");
        state.PauseTiming();
        QDir(strFolder).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

// ---- crop and re-encode ----

void BM_Crop_QImage(benchmark::State& state)
{
    const int nHeight = int(state.range(0));
    const int nWidth = nHeight * 16 / 9;
    const QByteArray& baScene = Scene(nHeight);
    const QRectF rcFraction = Fractions(Region(nWidth, nHeight), nWidth, nHeight);
    for (auto _ : state) {
        const QByteArray baJpeg = LinkageSnapAlarm::PictureFile::CropToJpeg(baScene, rcFraction);
        if (baJpeg.isEmpty())
            state.SkipWithError("crop failed");
        benchmark::DoNotOptimize(baJpeg.constData());
    }
    state.SetLabel(std::to_string(baScene.size() / 1024) + " KB source");
}

// The floors' common last step: the region's RGB rows encoded at quality 50.
bool EncodeQuality50(tjhandle hEncode, const unsigned char* pRegion, const QSize& size, int nPitch)
{
    unsigned char* pOut = nullptr;
    unsigned long nOutSize = 0;
    const bool bEncoded = tjCompress2(hEncode, pRegion, size.width(), nPitch, size.height(), TJPF_RGB, &pOut, &nOutSize,
                                      TJSAMP_420, 50, 0)
                          == 0;
    benchmark::DoNotOptimize(pOut);
    tjFree(pOut);
    return bEncoded;
}

// TurboJPEG: losslessly cut the whole blocks holding the region, decode that
// small picture, and encode the exact region from it.
bool CropTurbo(tjhandle hTransform, tjhandle hDecode, tjhandle hEncode, const QByteArray& baScene,
               const QRect& rcRegion, std::vector<unsigned char>& vecPixels)
{
    int nWidth = 0, nHeight = 0, nSubsamp = 0, nColorspace = 0;
    auto* pScene = reinterpret_cast<const unsigned char*>(baScene.constData());
    if (tjDecompressHeader3(hTransform, pScene, baScene.size(), &nWidth, &nHeight, &nSubsamp, &nColorspace) != 0)
        return false;
    const int nBlockW = tjMCUWidth[nSubsamp];
    const int nBlockH = tjMCUHeight[nSubsamp];
    tjtransform transform{};
    transform.r.x = rcRegion.x() / nBlockW * nBlockW;
    transform.r.y = rcRegion.y() / nBlockH * nBlockH;
    transform.r.w = std::min(nWidth - transform.r.x, rcRegion.right() + 1 - transform.r.x);
    transform.r.h = std::min(nHeight - transform.r.y, rcRegion.bottom() + 1 - transform.r.y);
    transform.op = TJXOP_NONE;
    transform.options = TJXOPT_CROP;
    unsigned char* pCut = nullptr;
    unsigned long nCutSize = 0;
    if (tjTransform(hTransform, pScene, baScene.size(), 1, &pCut, &nCutSize, &transform, 0) != 0)
        return false;
    const int nPitch = transform.r.w * 3;
    vecPixels.resize(std::size_t(nPitch) * transform.r.h);
    const bool bDecoded =
        tjDecompress2(hDecode, pCut, nCutSize, vecPixels.data(), transform.r.w, nPitch, transform.r.h, TJPF_RGB, 0)
        == 0;
    tjFree(pCut);
    if (!bDecoded)
        return false;
    const unsigned char* pRegion =
        vecPixels.data() + (rcRegion.y() - transform.r.y) * nPitch + (rcRegion.x() - transform.r.x) * 3;
    return EncodeQuality50(hEncode, pRegion, rcRegion.size(), nPitch);
}

void BM_Crop_TurboJpeg(benchmark::State& state)
{
    const int nHeight = int(state.range(0));
    const int nWidth = nHeight * 16 / 9;
    const QByteArray& baScene = Scene(nHeight);
    const QRect rcRegion = Region(nWidth, nHeight);
    tjhandle hTransform = tjInitTransform();
    tjhandle hDecode = tjInitDecompress();
    tjhandle hEncode = tjInitCompress();
    std::vector<unsigned char> vecPixels;
    for (auto _ : state)
        if (!CropTurbo(hTransform, hDecode, hEncode, baScene, rcRegion, vecPixels))
            state.SkipWithError(tjGetErrorStr2(hTransform));
    tjDestroy(hEncode);
    tjDestroy(hDecode);
    tjDestroy(hTransform);
    state.SetLabel(std::to_string(baScene.size() / 1024) + " KB source");
}

// libjpeg-turbo's libjpeg API: skip the rows above the region, decode only the
// block columns it covers, stop after its last row; TurboJPEG encodes the region.
struct JpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void ThrowJpegError(j_common_ptr pInfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(pInfo->err)->jump, 1);
}

bool CropLibjpeg(tjhandle hEncode, const QByteArray& baScene, const QRect& rcRegion,
                 std::vector<unsigned char>& vecPixels)
{
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = ThrowJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(baScene.constData()), baScene.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    JDIMENSION nX = JDIMENSION(rcRegion.x());
    JDIMENSION nW = JDIMENSION(rcRegion.width());
    jpeg_crop_scanline(&info, &nX, &nW); // widens to whole blocks
    jpeg_skip_scanlines(&info, JDIMENSION(rcRegion.y()));
    const int nPitch = int(nW) * 3;
    vecPixels.resize(std::size_t(nPitch) * rcRegion.height());
    for (int nRow = 0; nRow < rcRegion.height(); ++nRow) {
        JSAMPROW pRow = vecPixels.data() + std::size_t(nRow) * nPitch;
        jpeg_read_scanlines(&info, &pRow, 1);
    }
    jpeg_abort_decompress(&info); // the rows below are not needed
    jpeg_destroy_decompress(&info);
    const unsigned char* pRegion = vecPixels.data() + (rcRegion.x() - int(nX)) * 3;
    return EncodeQuality50(hEncode, pRegion, rcRegion.size(), nPitch);
}

void BM_Crop_LibjpegTurbo(benchmark::State& state)
{
    const int nHeight = int(state.range(0));
    const int nWidth = nHeight * 16 / 9;
    const QByteArray& baScene = Scene(nHeight);
    const QRect rcRegion = Region(nWidth, nHeight);
    tjhandle hEncode = tjInitCompress();
    std::vector<unsigned char> vecPixels;
    for (auto _ : state)
        if (!CropLibjpeg(hEncode, baScene, rcRegion, vecPixels))
            state.SkipWithError("libjpeg failed");
    tjDestroy(hEncode);
    state.SetLabel(std::to_string(baScene.size() / 1024) + " KB source");
}

BENCHMARK(BM_SaveRaw_Manager)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SaveRaw_BareLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
// Cropping is single-threaded work without I/O: CPU time is compared, which other
// load on the machine disturbs least. Saving waits for the disk: wall time.
BENCHMARK(BM_Crop_QImage)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crop_TurboJpeg)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crop_LibjpegTurbo)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);

void PrintRatios(const bench::CRatioReporter& reporter)
{
    std::printf("\nRatios (figure / floor, higher is better):\n");
    reporter.PrintSpeedRatio("raw 300 KB pictures per second, manager / bare loop",
                             "BM_SaveRaw_Manager/min_time:2.000/real_time",
                             "BM_SaveRaw_BareLoop/min_time:2.000/real_time", 0.9);
    for (const std::string strArg : {"1080", "2160"}) {
        const std::string strFigure = "BM_Crop_QImage/" + strArg;
        reporter.PrintSpeedRatio("crop 400x800 of " + strArg + "p + q50, QImage / TurboJPEG lossless crop", strFigure,
                                 "BM_Crop_TurboJpeg/" + strArg, 0.7);
        reporter.PrintSpeedRatio("crop 400x800 of " + strArg + "p + q50, QImage / libjpeg-turbo region", strFigure,
                                 "BM_Crop_LibjpegTurbo/" + strArg, 0.7);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter reporter(bench::CRatioReporter::Keep::IterationCpuOrReal);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
