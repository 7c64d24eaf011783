// Incident export: a 60 s three-camera incident (1080p H.264 at about 4 Mbit/s
// from each camera's pre-alarm buffer, a 1080p scene and ten persons' faces and
// bodies) exported as one folder: the pictures written, each camera's frames
// muxed into Matroska by GStreamer without re-encoding, every file hashed with
// SHA-256 for the manifest, and the folder renamed into place. Wall time: the
// operator waits for all of it.
//
// Two floors, measured in the same run:
// - copy: writes the same bytes into the same number of files, each from one
//   block of memory, on one thread, with no muxing and no hashing: the least a
//   copy of the evidence costs.
// - copy and hash: the same files, each written in 512 KiB blocks with every
//   block hashed (OpenSSL's SHA-256, the processor's SHA instructions) right
//   after its write while it is in the cache, the files shared out to two
//   threads: the fastest known way to do what the export must do besides
//   muxing, since its manifest hashes every byte.
// Breakdown figures: the muxing alone (each camera's clip written, no hash)
// and SHA-256 alone of the same bytes from memory.

#include "bench/BenchRatios.h"

#include "alarmview/IncidentExport.h"
#include "common/IncidentManifest.h"

#include "Vantrel/ClipWriter.h"
#include "tests/support/EncodedTestStream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>

using namespace LinkageSnapAlarm;

namespace {

constexpr qint64 kAlarmMs = 1700000000000;
constexpr int kFps = 25;
constexpr qint64 kFrameMs = 1000 / kFps;
constexpr int kGopFrames = 2 * kFps; // a keyframe every 2 s
constexpr int kKbps = 4000;
constexpr int kIncidentSeconds = 60;  // 10 s before the first alarm to 10 s after the last
constexpr int kAlarmSpreadMs = 40000; // the last alarm 40 s after the first
constexpr int kBufferedSeconds = 64;  // from 12 s before the first alarm
constexpr int kPersons = 10;
constexpr int kSceneBytes = 400 * 1024;
constexpr int kFaceBytes = 20 * 1024;
constexpr int kBodyBytes = 120 * 1024;
const QStringList kCameras{"Panorama", "Face Left", "Face Right"};

QByteArray RandomBytes(int nBytes, quint32 nSeed)
{
    QByteArray ba(nBytes, '\0');
    QRandomGenerator generator(nSeed);
    generator.fillRange(reinterpret_cast<quint32*>(ba.data()), nBytes / int(sizeof(quint32)));
    return ba;
}

// The process's processor time, all threads: what a figure costs apart from
// the machine's other load, reported beside the wall time as cpu_ms.
double ProcessCpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

void ReportCpu(benchmark::State& state, double dCpuMs)
{
    state.counters["cpu_ms"] = benchmark::Counter(dCpuMs, benchmark::Counter::kAvgIterations);
}

struct Incident
{
    IncidentExportRequest request;
    std::vector<QByteArray> vecFiles; // the same bytes as one block per file, for the floor
    qint64 nBytes = 0;
};

std::shared_ptr<const CardRecord> Record(const QString& strCamera, qint64 nMs, int nPerson)
{
    auto spRecord = std::make_shared<CardRecord>();
    spRecord->CameraName = strCamera;
    spRecord->AlarmTime = QDateTime::fromMSecsSinceEpoch(nMs);
    spRecord->AlarmType = nPerson < 0 ? 100009 : 100509;
    spRecord->LinkageUid = QStringLiteral("bench-linkage");
    spRecord->PersonRects = {protocol::MakePictureRect(0.4, 0.3, 0.1, 0.4)};
    if (nPerson < 0) {
        spRecord->Scene = WholePicture(RandomBytes(kSceneBytes, 1).toStdString());
    } else {
        spRecord->Face = WholePicture(RandomBytes(kFaceBytes, 10 + nPerson).toStdString());
        spRecord->Body = WholePicture(RandomBytes(kBodyBytes, 100 + nPerson).toStdString());
    }
    return spRecord;
}

const Incident& TheIncident()
{
    static const Incident s_incident = [] {
        Incident incident;
        LsaTest::TestStreamShape shape;
        shape.nFrames = kGopFrames;
        shape.nWidth = 1920;
        shape.nHeight = 1080;
        shape.nKbps = kKbps;
        shape.nGop = kGopFrames;
        shape.szPattern = "snow";
        const Vantrel::EncodedFrames vecGop = LsaTest::EncodeTestStream(shape, kAlarmMs - 12000);
        const Vantrel::EncodedFrames vecAll =
            LsaTest::RepeatStream(vecGop, kBufferedSeconds * kFps / kGopFrames, kFrameMs);
        LinkageRecordSet set;
        set.spScene = Record(kCameras[0], kAlarmMs, -1);
        for (int i = kPersons - 1; i >= 0; --i)
            set.vecCards.push_back(Record(kCameras[1 + i % 2], kAlarmMs + kAlarmSpreadMs * i / (kPersons - 1), i));
        incident.request.set = set;
        incident.request.nMarginSeconds = 10;
        for (const QString& strCamera : kCameras) {
            auto spBuffer = std::make_shared<Vantrel::CPreAlarmBuffer>(
                Vantrel::CPreAlarmBuffer::Limits{qint64(kBufferedSeconds + 10) * 1000000000, qint64(1) << 32});
            QByteArray baClip;
            for (const Vantrel::EncodedFrame& frame : vecAll) {
                spBuffer->Push(frame);
                // The floor copies what the export takes: the span from its keyframe on.
                if (frame.nWallMs >= kAlarmMs - 10000 && frame.nWallMs <= kAlarmMs + kAlarmSpreadMs + 10000)
                    baClip += frame.baData;
            }
            incident.request.vecSources.push_back({strCamera, spBuffer, false, {}});
            incident.vecFiles.push_back(baClip);
        }
        incident.vecFiles.push_back(QByteArray::fromStdString(set.spScene->Scene.spBytes->strData));
        for (const auto& spCard : set.vecCards) {
            incident.vecFiles.push_back(QByteArray::fromStdString(spCard->Face.spBytes->strData));
            incident.vecFiles.push_back(QByteArray::fromStdString(spCard->Body.spBytes->strData));
        }
        for (const QByteArray& ba : incident.vecFiles)
            incident.nBytes += ba.size();
        return incident;
    }();
    return s_incident;
}

// Times fnWork (which returns an error, empty on success) into a fresh folder
// each iteration, with the processor time of all threads beside the wall time.
template <typename Work>
void TimeIntoFreshFolder(benchmark::State& state, Work fnWork)
{
    const Incident& incident = TheIncident(); // built before anything is timed
    double dCpuMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        state.ResumeTiming();
        const double dStartMs = ProcessCpuMs();
        const QString strError = fnWork(dir);
        dCpuMs += ProcessCpuMs() - dStartMs;
        state.PauseTiming();
        if (!strError.isEmpty())
            state.SkipWithError(qPrintable(strError));
        dir.remove();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * incident.nBytes);
    ReportCpu(state, dCpuMs);
}

void BM_Export(benchmark::State& state)
{
    TimeIntoFreshFolder(state, [](const QTemporaryDir& dir) {
        IncidentExportRequest request = TheIncident().request;
        request.strTargetFolder = dir.path();
        IncidentExportControl control;
        const IncidentExportResult result = RunIncidentExport(request, control);
        return result.bOk ? QString() : result.strError;
    });
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_CopyFloor(benchmark::State& state)
{
    TimeIntoFreshFolder(state, [](const QTemporaryDir& dir) {
        const Incident& incident = TheIncident();
        QDir().mkpath(dir.filePath("incident/clips"));
        for (size_t i = 0; i < incident.vecFiles.size(); ++i) {
            QFile file(dir.filePath(QStringLiteral("incident/clips/%1.bin").arg(i)));
            if (!file.open(QIODevice::WriteOnly) || file.write(incident.vecFiles[i]) != incident.vecFiles[i].size())
                return QStringLiteral("write failed");
        }
        return QString();
    });
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Writes a file in blocks, each hashed right after its write.
bool WriteAndHash(const QString& strPath, const QByteArray& baBytes)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
           && !IncidentManifest::WriteHashed(file, baBytes).isEmpty();
}

void BM_CopyHashFloor(benchmark::State& state)
{
    TimeIntoFreshFolder(state, [](const QTemporaryDir& dir) {
        const Incident& incident = TheIncident();
        QDir().mkpath(dir.filePath("incident/clips"));
        std::atomic<size_t> nNext{0};
        std::atomic<bool> bOk{true};
        const auto fnWorker = [&] {
            for (size_t i = nNext++; i < incident.vecFiles.size(); i = nNext++)
                if (!WriteAndHash(dir.filePath(QStringLiteral("incident/clips/%1.bin").arg(i)), incident.vecFiles[i]))
                    bOk = false;
        };
        std::thread helper(fnWorker); // two threads: this one and a helper
        fnWorker();
        helper.join();
        return bOk ? QString() : QStringLiteral("write failed");
    });
}
BENCHMARK(BM_CopyHashFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The muxing alone: each camera's frames of the span into a Matroska file.
void BM_MuxOnly(benchmark::State& state)
{
    const Incident& incident = TheIncident();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        state.ResumeTiming();
        for (const IncidentClipSource& source : incident.request.vecSources) {
            QString strError;
            if (!Vantrel::WriteMatroskaClip(source.spBuffer->SnapshotSinceWall(kAlarmMs - 10000),
                                            dir.filePath(source.strCamera + ".mkv"), nullptr, {}, &strError))
                state.SkipWithError(qPrintable(strError));
        }
        state.PauseTiming();
        dir.remove();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MuxOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Sha256Only(benchmark::State& state)
{
    const Incident& incident = TheIncident();
    for (auto _ : state)
        for (const QByteArray& ba : incident.vecFiles)
            benchmark::DoNotOptimize(IncidentManifest::Sha256OfBytes(ba));
    state.SetBytesProcessed(state.iterations() * incident.nBytes);
}
BENCHMARK(BM_Sha256Only)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const Incident& incident = TheIncident();
    std::printf("incident: %.1f MB in %zu files (%.2f Mbit/s per camera)\n", incident.nBytes / 1e6,
                incident.vecFiles.size(), incident.vecFiles[0].size() * 8.0 / 1e6 / kIncidentSeconds);
    bench::CRatioReporter reporter(bench::CRatioReporter::Keep::IterationCpuOrReal);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (figure / floor, lower is better):\n");
    reporter.PrintTimeRatio("export 60 s x 3 cameras / copying the same bytes", "BM_Export/iterations:5/real_time",
                            "BM_CopyFloor/iterations:5/real_time", 1.5);
    reporter.PrintTimeRatio("export / copying and hashing the same bytes (two threads)",
                            "BM_Export/iterations:5/real_time", "BM_CopyHashFloor/iterations:5/real_time", 0);
    reporter.PrintTimeRatio("copying and hashing / copying the same bytes", "BM_CopyHashFloor/iterations:5/real_time",
                            "BM_CopyFloor/iterations:5/real_time", 0);
    reporter.PrintTimeRatio("of which muxing the clips / copying the same bytes", "BM_MuxOnly/iterations:5/real_time",
                            "BM_CopyFloor/iterations:5/real_time", 0);
    reporter.PrintTimeRatio("of which SHA-256 of the same bytes / copying them", "BM_Sha256Only/iterations:5/real_time",
                            "BM_CopyFloor/iterations:5/real_time", 0);
    benchmark::Shutdown();
    return 0;
}
