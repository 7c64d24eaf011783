// The alarm history at 100,000 alarms (one list row each, the list's worst case):
//  - a search keystroke in the history panel: the text changes, the reader
//    thread runs the page query, the model takes the first page and the panel
//    is laid out and painted; against the floor, the same SQL query (same
//    values, same first page) run bare through SQLite on the same file. The
//    keystrokes type a camera name, a part of a linkage id, and a text found
//    nowhere (every row scanned), in turn;
//  - the writer's cost per alarm: alarms recorded and written (thumbnails made
//    from 1080p pictures when saving is off, only paths when it is on).
// Printed at the end: the keystroke's median in ms (aim <= 50 ms) and its ratio
// to the floor, and the write cost per alarm.

#include <benchmark/benchmark.h>

#include "bench/BenchMain.h"

#include "alarmview/HistoryThumbnail.h"
#include "history/AlarmHistory.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryModel.h"
#include "history/HistoryPanel.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace LinkageSnapAlarm;

namespace {

constexpr int kAlarms = 100000;
constexpr int kCameras = 40;
constexpr int kWrittenPerIteration = 64;
const QSize kPanelSize(1200, 800);

// What the operator types, one keystroke at a time: a camera, a part of a
// linkage id, and a text no row has.
const QStringList kCameraKeys = {"D", "Do", "Doc", "Dock", "Dock ", "Dock 3", "Dock 37"};
const QStringList kLinkageKeys = {"9", "9f", "9f1", "9f1c"};
const QStringList kNowhereKeys = {"q", "qz", "qzx"};

QString CameraName(int i)
{
    static const char* const s_arrWords[] = {"Gate", "Lobby", "Dock", "Yard", "Hall"};
    return QStringLiteral("%1 %2").arg(s_arrWords[i % 5]).arg(i);
}

QString LinkageUid(int i)
{
    return QStringLiteral("%1-%2").arg(uint(i) * 2654435761u, 8, 16, QLatin1Char('0')).arg(i);
}

QTemporaryDir& Dir()
{
    static QTemporaryDir s_dir;
    return s_dir;
}

// The 100,000-alarm history, written once straight through its database class.
const QString& FilledPath()
{
    static const QString s_strPath = [] {
        const QString strPath = Dir().filePath("filled");
        CHistoryDatabase db(strPath.toStdString());
        db.Open(true, 1000);
        const qint64 nStart = QDateTime::currentMSecsSinceEpoch() - qint64(kAlarms) * 20000;
        std::vector<StoredAlarm> vecBatch;
        for (int i = 0; i < kAlarms; ++i) {
            StoredAlarm alarm;
            alarm.bPanoramic = true;
            alarm.nAlarmType = 100009;
            alarm.nTimeMs = nStart + qint64(i) * 20000;
            alarm.strLinkageUid = LinkageUid(i);
            alarm.strCameraName = CameraName(i % kCameras);
            alarm.strCameraId = "AS-" + alarm.strCameraName;
            vecBatch.push_back(std::move(alarm));
            if (vecBatch.size() == 5000) {
                db.Write(vecBatch);
                vecBatch.clear();
            }
        }
        db.Close();
        return strPath;
    }();
    return s_strPath;
}

// The panel's fields as the keystrokes leave them, and the filter each makes.
std::vector<HistoryFilter> Filters()
{
    std::vector<HistoryFilter> vecFilters;
    for (const QString& strKey : kCameraKeys)
        vecFilters.push_back(HistoryFilter{strKey, {}});
    for (const QString& strKey : kLinkageKeys)
        vecFilters.push_back(HistoryFilter{{}, strKey});
    for (const QString& strKey : kNowhereKeys)
        vecFilters.push_back(HistoryFilter{strKey, {}});
    return vecFilters;
}

void BM_Keystroke_Panel(benchmark::State& state)
{
    CAlarmHistory history(FilledPath(), HistoryBounds{HistoryBounds::kMaxKeepDays, HistoryBounds::kMaxMaxAlarms});
    CHistoryPanel panel(&history);
    panel.resize(kPanelSize);
    QSignalSpy spyShown(panel.Model(), &CHistoryModel::signalFirstPageShown);
    panel.show();
    spyShown.wait(60000);
    auto* pCamera = panel.findChild<QLineEdit*>("m_pEditHistoryCamera");
    auto* pLinkage = panel.findChild<QLineEdit*>("m_pEditHistoryLinkage");
    const std::vector<HistoryFilter> vecFilters = Filters();
    std::size_t nNext = 0;
    for (auto _ : state) {
        const HistoryFilter& filter = vecFilters[nNext++ % vecFilters.size()];
        spyShown.clear();
        // One keystroke: one field changes (the other is cleared without a search).
        QLineEdit* pTyped = filter.strCamera.isEmpty() ? pLinkage : pCamera;
        QLineEdit* pOther = pTyped == pCamera ? pLinkage : pCamera;
        pOther->blockSignals(true);
        pOther->clear();
        pOther->blockSignals(false);
        pTyped->setText(pTyped == pCamera ? filter.strCamera : filter.strLinkageUid);
        while (spyShown.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents();
        panel.repaint();
    }
}
BENCHMARK(BM_Keystroke_Panel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(28)->Repetitions(3);

void BM_Keystroke_SqlFloor(benchmark::State& state)
{
    sqlite3* pDb = nullptr;
    sqlite3_open_v2(FilledPath().toUtf8().constData(), &pDb, SQLITE_OPEN_READONLY, nullptr);
    const std::vector<HistoryFilter> vecFilters = Filters();
    std::size_t nNext = 0;
    for (auto _ : state) {
        const HistoryFilter& filter = vecFilters[nNext++ % vecFilters.size()];
        const CHistoryDatabase::Statement query = CHistoryDatabase::PageQuery(
            filter, CAlarmHistory::kFirstPage, CAlarmHistory::kFirstPage, CHistoryModel::kPageRows + 1);
        const auto& vecValues = query.vecValues;
        sqlite3_stmt* pStmt = nullptr;
        sqlite3_prepare_v2(pDb, query.strSql.c_str(), -1, &pStmt, nullptr);
        for (std::size_t i = 0; i < vecValues.size(); ++i) {
            const auto& value = vecValues[i];
            if (value.eKind == Quillet::CSQLite3Value::Kind::Int64)
                sqlite3_bind_int64(pStmt, int(i + 1), value.nInt64);
            else
                sqlite3_bind_text(pStmt, int(i + 1), value.strBytes.data(), int(value.strBytes.size()), SQLITE_STATIC);
        }
        int nRows = 0;
        while (sqlite3_step(pStmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(pStmt, 2));
            ++nRows;
        }
        benchmark::DoNotOptimize(nRows);
        sqlite3_finalize(pStmt);
    }
    sqlite3_close(pDb);
}
BENCHMARK(BM_Keystroke_SqlFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(28)->Repetitions(3);

std::shared_ptr<const protocol::PicBinary> Jpeg(const QSize& size, int nSeed)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(nSeed * 37 % 360, 120, 200));
    QPainter painter(&image);
    for (int i = 0; i < 40; ++i)
        painter.fillRect((i * 97 + nSeed * 13) % size.width(), (i * 53) % size.height(), size.width() / 10,
                         size.height() / 6, QColor::fromHsv(i * 29 % 360, 200, 150));
    painter.end();
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpg", 85);
    auto spBinary = std::make_shared<protocol::PicBinary>();
    spBinary->strData = baJpeg.toStdString();
    return spBinary;
}

// Alarm i of a stream: a panoramic alarm with a 1080p scene every fourth, else
// a linkage alarm of three persons cut from a 1080p picture with a face close-up.
HistoryAlarmSource Alarm(int i, bool bSaved)
{
    static const auto s_spScene = Jpeg(QSize(1920, 1080), 1);
    static const auto s_spLinked = Jpeg(QSize(1920, 1080), 2);
    static const auto s_spFace = Jpeg(QSize(120, 160), 3);
    HistoryAlarmSource alarm;
    alarm.bPanoramic = i % 4 == 0;
    alarm.nAlarmType = alarm.bPanoramic ? 100009 : 100509;
    alarm.nTimeMs = QDateTime::currentMSecsSinceEpoch();
    alarm.strLinkageUid = LinkageUid(i / 4);
    alarm.strCameraName = CameraName(i % 4);
    const QString strPath = bSaved ? QStringLiteral("/saved/%1.jpg").arg(i) : QString();
    if (alarm.bPanoramic) {
        alarm.scene = {s_spScene, std::nullopt, strPath};
        return alarm;
    }
    for (int p = 0; p < 3; ++p) {
        const protocol::PictureRect rect = protocol::MakePictureRect(0.1 + 0.25 * p, 0.2, 0.15, 0.6);
        alarm.vecCards.push_back(
            {{s_spFace, std::nullopt, strPath}, {s_spLinked, rect, strPath}, {QRectF(rect.x, rect.y, 0.15, 0.6)}});
    }
    return alarm;
}

void WriteAlarms(benchmark::State& state, bool bSaved)
{
    QTemporaryDir dir;
    CAlarmHistory history(dir.filePath("written"), HistoryBounds{});
    history.SetThumbnailer(&HistoryThumbnail::Make);
    history.WaitWritten(60000);
    int nAlarm = 0;
    for (auto _ : state) {
        for (int i = 0; i < kWrittenPerIteration; ++i)
            history.Record(Alarm(nAlarm++, bSaved));
        history.WaitWritten(600000);
    }
    state.SetItemsProcessed(state.iterations() * kWrittenPerIteration);
}

void BM_Write_Thumbnails(benchmark::State& state)
{
    WriteAlarms(state, false);
}
BENCHMARK(BM_Write_Thumbnails)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8)->Repetitions(3);

void BM_Write_SavedPaths(benchmark::State& state)
{
    WriteAlarms(state, true);
}
BENCHMARK(BM_Write_SavedPaths)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8)->Repetitions(3);

void PrintFigures(const bench::CRatioReporter& reporter)
{
    std::printf("\nFigures:\n");
    const double dKeystroke = reporter.Time("BM_Keystroke_Panel");
    if (dKeystroke >= 0)
        std::printf("  %-62s %.1f ms (aim <= 50)\n", "search keystroke at 100,000 alarms, median", dKeystroke);
    reporter.PrintTimeRatio("search keystroke, panel / the same SQL query bare", "BM_Keystroke_Panel",
                            "BM_Keystroke_SqlFloor", 0);
    for (const char* szName : {"BM_Write_Thumbnails", "BM_Write_SavedPaths"}) {
        const double dTime = reporter.Time(szName);
        if (dTime >= 0)
            std::printf("  %-62s %.2f ms\n", (std::string(szName + 3) + ", per alarm on the writer").c_str(),
                        dTime / kWrittenPerIteration);
    }
}

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWidgetBenchmarks(argc, argv, bench::CRatioReporter::Keep::MedianReal,
                                      [](bench::CRatioReporter& reporter) { PrintFigures(reporter); });
}
