// The camera tree at 10,000 cameras in 500 groups, each figure next to a floor
// measured in the same run (offscreen, one column, every group expanded):
//  - a search keystroke in the panel (filter, colours, relayout, repaint) against
//    the same filter applied by a plain proxy as one layout change; the stock
//    setFilterFixedString path is shown for scale;
//  - building the camera model against a QStandardItemModel holding the same
//    rows, and the model's own heap bytes per camera;
//  - 100 cameras added in one site change against 100 inserts into a
//    QStandardItemModel with one repaint at the end;
//  - the first paint of the expanded panel tree against a plain QTreeView on a
//    QStandardItemModel with the same rows;
//  - opening the panel (construction, layout, first paint) against a plain
//    QTreeView on the least model that can show the tree, two vectors of names,
//    built from the same site; the camera model's build against that model's;
//  - clearing the search, against the plain proxy's one layout change back;
//  - the whole shown panel's heap bytes per camera (model, proxy, view).
// The ratios (figure / floor) are printed at the end.

#include <benchmark/benchmark.h>

#include "bench/BenchMain.h"

#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LinkageCameraModel.h"

#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "tessel/GroupManager.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>

#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <map>
#include <memory>
#include <vector>

using namespace LinkageSnapAlarm;
using namespace TesselGUIToolkit;

namespace {

constexpr int kGroups = 500;
constexpr int kCamerasPerGroup = 20;
constexpr int kAdded = 100;
const QSize kViewSize(400, 1000);
const char* const kWords[] = {"Gate", "Lobby", "Dock", "Yard", "Hall", "Roof", "Stair", "Garage", "Lift", "Office"};

std::string GroupId(int nGroup)
{
    return "grp-" + std::to_string(nGroup);
}

tessel::CameraInfo Camera(int nGroup, int nIndex)
{
    tessel::CameraInfo info;
    info.strGUID = "{6F1C2A10-0000-4000-8000-" + std::to_string(1000000000 + nGroup * 1000 + nIndex) + "}";
    info.strGroupID = GroupId(nGroup);
    info.strName = std::string(kWords[nIndex % 10]) + " " + std::to_string(nGroup) + "-" + std::to_string(nIndex);
    return info;
}

const tessel::SiteData& Site(int nExtra = 0)
{
    static std::map<int, tessel::SiteData> s_mapSites;
    tessel::SiteData& site = s_mapSites[nExtra];
    if (site.vecGroups.empty()) {
        for (int g = 0; g < kGroups; ++g) {
            site.vecGroups.push_back({GroupId(g), "Block " + std::to_string(g)});
            for (int c = 0; c < kCamerasPerGroup; ++c)
                site.vecCameras.push_back(Camera(g, c));
        }
        // The added cameras land in one group out of five.
        for (int i = 0; i < nExtra; ++i)
            site.vecCameras.push_back(Camera((i * 5) % kGroups, kCamerasPerGroup + i));
    }
    return site;
}

// The same rows in a QStandardItemModel: text and the data the camera model
// answers for each row (type, GUID, secondary filter value, pixmap and tip).
std::unique_ptr<QStandardItemModel> StandardModel()
{
    static const QPixmap s_pixmap(":/publicIcon/Images/public/PublicIcon/PlaywithBg.svg");
    auto upModel = std::make_unique<QStandardItemModel>();
    QStandardItem* pRoot = upModel->invisibleRootItem();
    for (int g = 0; g < kGroups; ++g) {
        auto* pGroup = new QStandardItem(QStringLiteral("Block %1").arg(g));
        pGroup->setData(1u, ItemTypeRole);
        pGroup->setData(QString::fromStdString(GroupId(g)), AreaIDRole);
        for (int c = 0; c < kCamerasPerGroup; ++c) {
            const tessel::CameraInfo info = Camera(g, c);
            auto* pItem = new QStandardItem(QString::fromStdString(info.strName));
            pItem->setData(2u, ItemTypeRole);
            pItem->setData(QString::fromStdString(info.strGUID), ElementIDRole);
            pItem->setData(1, SecondaryFilterRole);
            pItem->setData(s_pixmap, CameraRightPixmapRole);
            pItem->setData(QStringLiteral("Preview"), RightPixmapTipRole);
            pGroup->appendRow(pItem);
        }
        pRoot->appendRow(pGroup);
    }
    return upModel;
}

// The least model that shows the tree: group names and, per group, camera names,
// read from the host's group manager as the camera model reads them.
class CTwoVectorModel : public QAbstractItemModel
{
public:
    explicit CTwoVectorModel(const tessel::IGroupManager& manager)
    {
        for (const tessel::GroupInfo& group : manager.GetAllGroups()) {
            m_vecGroups.push_back(QString::fromStdString(group.strName));
            std::vector<QString>& vecNames = m_vecCameras.emplace_back();
            for (const tessel::IElement* pElement : manager.GetElementsOfGroup(group.strGUID))
                vecNames.push_back(QString::fromStdString(pElement->GetElementName()));
        }
    }
    QModelIndex index(int nRow, int nColumn, const QModelIndex& parent) const override
    {
        if (nColumn != 0 || nRow < 0 || nRow >= rowCount(parent))
            return QModelIndex();
        return createIndex(nRow, 0, parent.isValid() ? quintptr(parent.row()) : kGroupId);
    }
    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid() || child.internalId() == kGroupId)
            return QModelIndex();
        return createIndex(int(child.internalId()), 0, kGroupId);
    }
    int rowCount(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return int(m_vecGroups.size());
        return parent.internalId() == kGroupId ? int(m_vecCameras[size_t(parent.row())].size()) : 0;
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int nRole) const override
    {
        if (nRole != Qt::DisplayRole || !index.isValid())
            return QVariant();
        return index.internalId() == kGroupId ? m_vecGroups[size_t(index.row())]
                                              : m_vecCameras[index.internalId()][size_t(index.row())];
    }

private:
    static constexpr quintptr kGroupId = ~quintptr(0);
    std::vector<QString> m_vecGroups;
    std::vector<std::vector<QString>> m_vecCameras;
};

// The work is single-threaded (offscreen painting included): its thread's CPU
// time is what other load on the machine disturbs least.
double ThreadSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

template <class F>
double Seconds(F fnWork)
{
    const double dStart = ThreadSeconds();
    fnWork();
    return ThreadSeconds() - dStart;
}

// The layout the change scheduled, then a full repaint, as the screen would get.
void SettleAndPaint(QTreeView& view)
{
    QCoreApplication::processEvents();
    view.viewport()->repaint();
}

// A panel over the big site, shown and expanded.
struct ShownPanel
{
    ShownPanel()
    {
        tessel::CGroupManager::Instance().ApplySite(Site());
        panel.resize(kViewSize);
        panel.show();
        view()->expandAll();
        SettleAndPaint(*view());
    }
    QTreeView* view() { return panel.findChild<QTreeView*>("treeView"); }
    QLineEdit* search() { return panel.findChild<QLineEdit*>("m_pEditSearch"); }
    CGroupTreeWidget panel;
};

void BM_Keystroke_Panel(benchmark::State& state)
{
    ShownPanel shown;
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] {
            shown.search()->setText("g");
            SettleAndPaint(*shown.view());
        }));
        shown.search()->clear();
        shown.view()->expandAll();
        SettleAndPaint(*shown.view());
    }
}

// The floor: the same rule in a plain proxy, applied as one layout change.
class CKeywordProxy : public QSortFilterProxyModel
{
public:
    QString strKeyword;
    bool filterAcceptsRow(int nRow, const QModelIndex& parent) const override
    {
        const QModelIndex source = sourceModel()->index(nRow, 0, parent);
        return source.data().toString().contains(strKeyword, Qt::CaseInsensitive)
               || (parent.isValid() && parent.data().toString().contains(strKeyword, Qt::CaseInsensitive));
    }
};

struct PlainTree
{
    explicit PlainTree(QAbstractItemModel* pSource)
    {
        proxy.setRecursiveFilteringEnabled(true);
        proxy.setSourceModel(pSource);
        view.setModel(&proxy);
        view.setHeaderHidden(true);
        view.resize(kViewSize);
        view.show();
        view.expandAll();
        SettleAndPaint(view);
    }
    CKeywordProxy proxy;
    QTreeView view;
};

void BM_Keystroke_OneLayoutFloor(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    CLinkageCameraModel model(nullptr, 1, true);
    PlainTree tree(&model);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] {
            tree.proxy.strKeyword = "g";
            tree.proxy.invalidate();
            SettleAndPaint(tree.view);
        }));
        tree.proxy.strKeyword.clear();
        tree.proxy.invalidate();
        tree.view.expandAll();
        SettleAndPaint(tree.view);
    }
}

void BM_Keystroke_StockFixedString(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    CLinkageCameraModel model(nullptr, 1, true);
    QSortFilterProxyModel proxy;
    proxy.setRecursiveFilteringEnabled(true);
    proxy.setSourceModel(&model);
    QTreeView view;
    view.setModel(&proxy);
    view.resize(kViewSize);
    view.show();
    view.expandAll();
    SettleAndPaint(view);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] {
            proxy.setFilterFixedString("g");
            SettleAndPaint(view);
        }));
        proxy.setFilterFixedString(QString());
        view.expandAll();
        SettleAndPaint(view);
    }
}

void BM_Build_CameraModel(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    for (auto _ : state) {
        std::unique_ptr<CLinkageCameraModel> upModel;
        state.SetIterationTime(Seconds([&] { upModel = std::make_unique<CLinkageCameraModel>(nullptr, 1, true); }));
    }
}

void BM_Build_TwoVectorFloor(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    for (auto _ : state) {
        std::unique_ptr<CTwoVectorModel> upModel;
        state.SetIterationTime(
            Seconds([&] { upModel = std::make_unique<CTwoVectorModel>(tessel::CGroupManager::Instance()); }));
    }
}

void BM_Build_StandardFloor(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<QStandardItemModel> upModel;
        state.SetIterationTime(Seconds([&] { upModel = StandardModel(); }));
    }
}

void BM_Insert100_SiteChange(benchmark::State& state)
{
    ShownPanel shown;
    const tessel::SiteData& siteMore = Site(kAdded);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] {
            tessel::CGroupManager::Instance().ApplySite(siteMore);
            SettleAndPaint(*shown.view());
        }));
        tessel::CGroupManager::Instance().ApplySite(Site());
        SettleAndPaint(*shown.view());
    }
}

// The group manager's own part of that change: comparing the new site of
// 10,100 cameras with the one it holds, with no tree listening.
void BM_Insert100_SiteDiffOnly(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    const tessel::SiteData& siteMore = Site(kAdded);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { tessel::CGroupManager::Instance().ApplySite(siteMore); }));
        tessel::CGroupManager::Instance().ApplySite(Site());
    }
}

void BM_Insert100_StandardFloor(benchmark::State& state)
{
    auto upModel = StandardModel();
    QTreeView view;
    view.setModel(upModel.get());
    view.resize(kViewSize);
    view.show();
    view.expandAll();
    SettleAndPaint(view);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] {
            for (int i = 0; i < kAdded; ++i) {
                const tessel::CameraInfo info = Camera((i * 5) % kGroups, kCamerasPerGroup + i);
                auto* pItem = new QStandardItem(QString::fromStdString(info.strName));
                pItem->setData(2u, ItemTypeRole);
                pItem->setData(QString::fromStdString(info.strGUID), ElementIDRole);
                upModel->item((i * 5) % kGroups)->appendRow(pItem);
            }
            SettleAndPaint(view);
        }));
        for (int i = kAdded; i-- > 0;) {
            QStandardItem* pGroup = upModel->item((i * 5) % kGroups);
            pGroup->removeRow(pGroup->rowCount() - 1);
        }
        SettleAndPaint(view);
    }
}

void BM_FirstPaint_Panel(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    for (auto _ : state) {
        CGroupTreeWidget panel;
        auto* pView = panel.findChild<QTreeView*>("treeView");
        pView->collapseAll(); // the panel opens its groups when built: start as the floor does
        panel.resize(kViewSize);
        state.SetIterationTime(Seconds([&] {
            pView->expandAll();
            panel.show();
            SettleAndPaint(*pView);
        }));
    }
}

// What the user waits for when the panel opens: the panel built over the site,
// laid out and painted with every group expanded.
void BM_Open_Panel(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    for (auto _ : state) {
        std::unique_ptr<CGroupTreeWidget> upPanel;
        state.SetIterationTime(Seconds([&] {
            // The panel opens with its groups expanded by itself.
            upPanel = std::make_unique<CGroupTreeWidget>();
            auto* pView = upPanel->findChild<QTreeView*>("treeView");
            upPanel->resize(kViewSize);
            upPanel->show();
            SettleAndPaint(*pView);
        }));
    }
}

void BM_Open_TwoVectorFloor(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    for (auto _ : state) {
        std::unique_ptr<CTwoVectorModel> upModel;
        std::unique_ptr<QTreeView> upView;
        state.SetIterationTime(Seconds([&] {
            upModel = std::make_unique<CTwoVectorModel>(tessel::CGroupManager::Instance());
            upView = std::make_unique<QTreeView>();
            upView->setHeaderHidden(true);
            upView->setModel(upModel.get());
            upView->resize(kViewSize);
            upView->expandAll();
            upView->show();
            SettleAndPaint(*upView);
        }));
        upView.reset();
    }
}

void BM_ClearSearch_Panel(benchmark::State& state)
{
    ShownPanel shown;
    for (auto _ : state) {
        shown.search()->setText("g");
        SettleAndPaint(*shown.view());
        state.SetIterationTime(Seconds([&] {
            shown.search()->clear();
            shown.view()->expandAll();
            SettleAndPaint(*shown.view());
        }));
    }
}

void BM_ClearSearch_OneLayoutFloor(benchmark::State& state)
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    CLinkageCameraModel model(nullptr, 1, true);
    PlainTree tree(&model);
    for (auto _ : state) {
        tree.proxy.strKeyword = "g";
        tree.proxy.invalidate();
        SettleAndPaint(tree.view);
        state.SetIterationTime(Seconds([&] {
            tree.proxy.strKeyword.clear();
            tree.proxy.invalidate();
            tree.view.expandAll();
            SettleAndPaint(tree.view);
        }));
    }
}

void BM_FirstPaint_PlainFloor(benchmark::State& state)
{
    auto upModel = StandardModel();
    for (auto _ : state) {
        QTreeView view;
        view.setHeaderHidden(true);
        view.setModel(upModel.get());
        view.resize(kViewSize);
        state.SetIterationTime(Seconds([&] {
            view.expandAll();
            view.show();
            SettleAndPaint(view);
        }));
    }
}

BENCHMARK(BM_Keystroke_Panel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Keystroke_OneLayoutFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Keystroke_StockFixedString)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Build_CameraModel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Build_StandardFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Insert100_SiteChange)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Insert100_SiteDiffOnly)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Insert100_StandardFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstPaint_Panel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstPaint_PlainFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Build_TwoVectorFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Open_Panel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Open_TwoVectorFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearSearch_Panel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClearSearch_OneLayoutFloor)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The camera model's own heap bytes per camera: the site's records are in the
// group manager before the model is built and are not counted.
double ModelBytesPerCamera()
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    const size_t nBefore = mallinfo2().uordblks;
    auto upModel = std::make_unique<CLinkageCameraModel>(nullptr, 1, true);
    const size_t nAfter = mallinfo2().uordblks;
    return double(nAfter - nBefore) / (kGroups * kCamerasPerGroup);
}

// The whole shown panel's heap bytes per camera: model, proxy, view and the
// expanded layout, with the site's records already in the group manager.
double PanelBytesPerCamera()
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    const size_t nBefore = mallinfo2().uordblks;
    auto upPanel = std::make_unique<CGroupTreeWidget>();
    auto* pView = upPanel->findChild<QTreeView*>("treeView");
    upPanel->resize(kViewSize);
    pView->expandAll();
    upPanel->show();
    SettleAndPaint(*pView);
    const size_t nAfter = mallinfo2().uordblks;
    return double(nAfter - nBefore) / (kGroups * kCamerasPerGroup);
}

void PrintRatios(const bench::CRatioReporter& reporter)
{
    std::printf("\nRatios (figure / floor, lower is better):\n");
    reporter.PrintTimeRatio("search keystroke, panel / one layout change", "BM_Keystroke_Panel",
                            "BM_Keystroke_OneLayoutFloor", 1.2);
    reporter.PrintTimeRatio("search keystroke, stock fixed string / one layout change", "BM_Keystroke_StockFixedString",
                            "BM_Keystroke_OneLayoutFloor", 0);
    reporter.PrintTimeRatio("search cleared, panel / one layout change", "BM_ClearSearch_Panel",
                            "BM_ClearSearch_OneLayoutFloor", 1.2);
    reporter.PrintTimeRatio("model build, camera model / QStandardItemModel", "BM_Build_CameraModel",
                            "BM_Build_StandardFloor", 0.5);
    reporter.PrintTimeRatio("model build, camera model / two vectors of names", "BM_Build_CameraModel",
                            "BM_Build_TwoVectorFloor", 1.2);
    reporter.PrintTimeRatio("panel opened (built, laid out, painted) / plain view on two vectors", "BM_Open_Panel",
                            "BM_Open_TwoVectorFloor", 1.2);
    reporter.PrintTimeRatio("100 cameras in one site change / 100 inserts, one repaint", "BM_Insert100_SiteChange",
                            "BM_Insert100_StandardFloor", 1.2);
    // The tree's share of the site change: the whole less the manager's comparison.
    const double dWhole = reporter.Time("BM_Insert100_SiteChange");
    const double dDiff = reporter.Time("BM_Insert100_SiteDiffOnly");
    const double dFloor = reporter.Time("BM_Insert100_StandardFloor");
    if (dWhole >= 0 && dDiff >= 0 && dFloor > 0)
        std::printf("  %-62s %.2f (aim <= 1.2)\n", "  of which the tree (less the site comparison) / floor",
                    (dWhole - dDiff) / dFloor);
    reporter.PrintTimeRatio("first paint expanded, panel / plain view", "BM_FirstPaint_Panel",
                            "BM_FirstPaint_PlainFloor", 1.2);
    std::printf("  %-62s %.0f B\n", "camera model heap per camera", ModelBytesPerCamera());
    std::printf("  %-62s %.0f B (aim <= 600)\n", "shown panel heap per camera (model, proxy, view)",
                PanelBytesPerCamera());
}

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWidgetBenchmarks(argc, argv, bench::CRatioReporter::Keep::MedianReal,
                                      [](bench::CRatioReporter& reporter) {
                                          PrintRatios(reporter);
                                          tessel::CGroupManager::Instance().ApplySite({});
                                      });
}
