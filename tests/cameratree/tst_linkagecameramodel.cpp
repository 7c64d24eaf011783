#include "cameratree/LinkageCameraModel.h"
#include "cameratree/LiveViewPlugin.h"
#include "tests/cameratree/TreeTestSite.h"

#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "tessel/ICamera.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QTest>

using namespace LinkageSnapAlarm;
using namespace TesselGUIToolkit;
using TreeTest::Cam;

namespace {

using SiteEdit = std::function<void(tessel::SiteData&)>;

QString Text(const QVariant& value)
{
    if (!value.isValid())
        return "<none>";
    if (value.userType() == QMetaType::QColor)
        return qvariant_cast<QColor>(value).name();
    if (value.canConvert<QPixmap>() && value.userType() == QMetaType::QPixmap)
        return qvariant_cast<QPixmap>(value).isNull() ? "<null pixmap>" : "<pixmap>";
    return value.toString();
}

} // namespace

Q_DECLARE_METATYPE(SiteEdit)

class tst_LinkageCameraModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void followsTheSite_data();
    void followsTheSite();
    void roles_data();
    void roles();
    void keywordColour_data();
    void keywordColour();
    void playIcon_data();
    void playIcon();
    void rowDataApart_data();
    void rowDataApart();
    void liveViewPlugin_data();
    void liveViewPlugin();
    void previewFlagOff();
    void largeGroupLookups();
};

void tst_LinkageCameraModel::init()
{
    TreeTest::Apply({});
}

void tst_LinkageCameraModel::cleanup()
{
    TreeTest::Apply({});
}

void tst_LinkageCameraModel::followsTheSite_data()
{
    QTest::addColumn<SiteEdit>("edit");
    QTest::addColumn<QString>("strTree");
    QTest::addColumn<QString>("strProxyTree");

    QTest::newRow("base site") << SiteEdit([](tessel::SiteData&) {})
                               << "Gate[Front Door,Back Door,Lobby,Door Contact] Yard[Yard North]"
                               << "Gate[Front Door,Back Door,Lobby] Yard[Yard North]";
    QTest::newRow("cameras added together") << SiteEdit([](tessel::SiteData& s) {
        s.vecCameras.push_back(Cam("c5", "g2", "Yard South"));
        s.vecCameras.push_back(Cam("c6", "g2", "Yard Gate"));
    }) << "Gate[Front Door,Back Door,Lobby,Door Contact] Yard[Yard North,Yard South,Yard Gate]"
                                            << "Gate[Front Door,Back Door,Lobby] Yard[Yard North,Yard South,Yard Gate]";
    QTest::newRow("cameras apart removed") << SiteEdit([](tessel::SiteData& s) {
        s.vecCameras.erase(s.vecCameras.begin() + 2);
        s.vecCameras.erase(s.vecCameras.begin());
    }) << "Gate[Back Door,Door Contact] Yard[Yard North]"
                                           << "Gate[Back Door] Yard[Yard North]";
    QTest::newRow("camera renamed and offline") << SiteEdit([](tessel::SiteData& s) {
        s.vecCameras[0].strName = "Main Door";
        s.vecCameras[0].bOnline = false;
    }) << "Gate[Main Door,Back Door,Lobby,Door Contact] Yard[Yard North]"
                                                << "Gate[Main Door,Back Door,Lobby] Yard[Yard North]";
    QTest::newRow("camera moved") << SiteEdit([](tessel::SiteData& s) { s.vecCameras[0].strGroupID = "g2"; })
                                  << "Gate[Back Door,Lobby,Door Contact] Yard[Yard North,Front Door]"
                                  << "Gate[Back Door,Lobby] Yard[Yard North,Front Door]";
    QTest::newRow("group removed with its cameras") << SiteEdit([](tessel::SiteData& s) {
        s.vecGroups.erase(s.vecGroups.begin());
        s.vecCameras = {s.vecCameras.back()};
        s.vecAlarmInputs.clear();
    }) << "Yard[Yard North]"
                                                    << "Yard[Yard North]";
    QTest::newRow("new group with cameras, renamed group")
        << SiteEdit([](tessel::SiteData& s) {
               s.vecGroups.push_back({"g3", "Dock"});
               s.vecGroups[1].strName = "Car Park";
               s.vecCameras.push_back(Cam("c7", "g3", "Dock 1"));
           })
        << "Gate[Front Door,Back Door,Lobby,Door Contact] Car Park[Yard North] Dock[Dock 1]"
        << "Gate[Front Door,Back Door,Lobby] Car Park[Yard North] Dock[Dock 1]";
}

void tst_LinkageCameraModel::followsTheSite()
{
    QFETCH(SiteEdit, edit);
    QFETCH(QString, strTree);
    QFETCH(QString, strProxyTree);

    // Testers first, on an empty site; they stay on through every change.
    CLinkageCameraModel model(nullptr, 1, true);
    CSecondarySortFilterModel proxy;
    proxy.setDynamicSortFilter(true);
    proxy.SetSecondaryFilterRole(SecondaryFilterRole);
    proxy.SetSecondaryFilterRegExp("0|1");
    proxy.setSourceModel(&model);
    QAbstractItemModelTester modelTester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester proxyTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

    TreeTest::Apply(TreeTest::BaseSite());
    tessel::SiteData site = TreeTest::BaseSite();
    edit(site);
    TreeTest::Apply(site);
    QCOMPARE(TreeTest::Dump(model), strTree);
    QCOMPARE(TreeTest::Dump(proxy), strProxyTree);
    TreeTest::Apply({});
    QCOMPARE(TreeTest::Dump(model), QString());
}

void tst_LinkageCameraModel::roles_data()
{
    QTest::addColumn<QString>("strRow");
    QTest::addColumn<int>("nRole");
    QTest::addColumn<QString>("strValue");

    QTest::newRow("group type") << "g1" << int(ItemTypeRole) << "1";
    QTest::newRow("group area id") << "g1" << int(AreaIDRole) << "g1";
    QTest::newRow("group element id") << "g1" << int(ElementIDRole) << "<none>";
    QTest::newRow("group secondary") << "g1" << int(SecondaryFilterRole) << "0";
    QTest::newRow("group name") << "g1" << int(Qt::DisplayRole) << "Gate";
    QTest::newRow("group has no play pixmap") << "g1" << int(CameraRightPixmapRole) << "<none>";
    QTest::newRow("camera type") << "c1" << int(ItemTypeRole) << "2";
    QTest::newRow("camera element id") << "c1" << int(ElementIDRole) << "c1";
    QTest::newRow("camera area id") << "c1" << int(AreaIDRole) << "<none>";
    QTest::newRow("camera secondary") << "c1" << int(SecondaryFilterRole) << "1";
    QTest::newRow("camera play pixmap") << "c1" << int(CameraRightPixmapRole) << "<pixmap>";
    QTest::newRow("camera tip at build") << "c1" << int(RightPixmapTipRole) << "Preview";
    QTest::newRow("alarm input type") << "a1" << int(ItemTypeRole) << "2";
    QTest::newRow("alarm input secondary") << "a1" << int(SecondaryFilterRole) << "2";
    QTest::newRow("alarm input decorated at build") << "a1" << int(RightPixmapTipRole) << "Preview";
    QTest::newRow("camera added later") << "c5" << int(RightPixmapTipRole) << "ViewAllCamerasInGroup";
    QTest::newRow("second camera of one notice") << "c6" << int(RightPixmapTipRole) << "ViewAllCamerasInGroup";
    QTest::newRow("camera of a new group") << "c7" << int(RightPixmapTipRole) << "ViewAllCamerasInGroup";
    QTest::newRow("new group row itself") << "g3" << int(CameraRightPixmapRole) << "<none>";
    QTest::newRow("alarm input of a new group") << "a2" << int(RightPixmapTipRole) << "<none>";
    QTest::newRow("header text") << "header" << int(Qt::EditRole) << "All";
    QTest::newRow("header alignment") << "header" << int(Qt::TextAlignmentRole) << "129";
}

void tst_LinkageCameraModel::roles()
{
    QFETCH(QString, strRow);
    QFETCH(int, nRole);
    QFETCH(QString, strValue);

    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 1, true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    tessel::SiteData site = TreeTest::BaseSite();
    site.vecCameras.push_back(Cam("c5", "g1", "Side Door"));
    site.vecCameras.push_back(Cam("c6", "g1", "Roof"));
    site.vecGroups.push_back({"g3", "Dock"});
    site.vecCameras.push_back(Cam("c7", "g3", "Dock 1"));
    site.vecAlarmInputs.push_back({"a2", "Dock Door", "g3"});
    TreeTest::Apply(site);

    const QModelIndex row = TreeTest::Row(model, strRow);
    QVERIFY(row.isValid() || strRow == "header");
    QCOMPARE(Text(row.isValid() ? model.data(row, nRole) : model.headerData(0, Qt::Horizontal, nRole)), strValue);
}

void tst_LinkageCameraModel::keywordColour_data()
{
    QTest::addColumn<QVariant>("keywords");
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<QString>("strColour");

    const QString strMatch = "#ffa92e";
    QTest::newRow("lower-case keyword, upper-case text") << QVariant(QStringList{"front"}) << "c1" << strMatch;
    QTest::newRow("no match keeps the view colour") << QVariant(QStringList{"yard"}) << "c1"
                                                    << "<none>";
    QTest::newRow("no match keeps the dimmed colour") << QVariant(QStringList{"yard"}) << "c2"
                                                      << "#5b6b7c";
    QTest::newRow("match wins over the dimmed colour") << QVariant(QStringList{"back"}) << "c2" << strMatch;
    QTest::newRow("null keyword skipped") << QVariant(QStringList{QString()}) << "c1"
                                          << "<none>";
    QTest::newRow("empty keyword colours every row") << QVariant(QStringList{QString("")}) << "c4" << strMatch;
    QTest::newRow("no keyword list") << QVariant() << "c1"
                                     << "<none>";
}

void tst_LinkageCameraModel::keywordColour()
{
    QFETCH(QVariant, keywords);
    QFETCH(QString, strGuid);
    QFETCH(QString, strColour);

    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 1, true);
    if (keywords.isValid())
        model.setHeaderData(0, Qt::Horizontal, keywords, FilterKeywordsRole);
    const QModelIndex row = TreeTest::Row(model, strGuid);
    QCOMPARE(Text(model.data(row, Qt::ForegroundRole)), strColour);
    // Only the foreground changes.
    QCOMPARE(model.data(row, Qt::DisplayRole), model.Miravel::CLogicModel::data(row, Qt::DisplayRole));
}

void tst_LinkageCameraModel::playIcon_data()
{
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<bool>("bPlaying");
    QTest::addColumn<QString>("strIcon");

    QTest::newRow("playing") << "c1" << true << "CameraPlaying.svg";
    QTest::newRow("idle") << "c1" << false << "Camera.svg";
    QTest::newRow("offline shows offline though playing") << "c2" << true << "CameraOffline.svg";
    QTest::newRow("disabled shows offline") << "c3" << true << "CameraOffline.svg";
    QTest::newRow("alarm input keeps its icon") << "a1" << true << "AlarmInput.svg";
}

void tst_LinkageCameraModel::playIcon()
{
    QFETCH(QString, strGuid);
    QFETCH(bool, bPlaying);
    QFETCH(QString, strIcon);

    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 1, true);
    const QModelIndex row = model.GetElementIndexByElementID(strGuid.toStdString());
    model.SetCameraPlayIcon(row, bPlaying);
    model.SetCameraPlayIcon(QModelIndex(), bPlaying); // no row: nothing happens
    QCOMPARE(TreeTest::IconImage(model.data(row, Qt::DecorationRole)), TreeTest::IconImage(strIcon));
}

void tst_LinkageCameraModel::rowDataApart_data()
{
    QTest::addColumn<QString>("strEdited");
    QTest::addColumn<QString>("strChecked");
    QTest::addColumn<int>("nRole");
    QTest::addColumn<QString>("strValue");

    QTest::newRow("edited row takes the value") << "c1"
                                                << "c1" << int(RightPixmapTipRole) << "Edited";
    QTest::newRow("edited row keeps its pixmap") << "c1"
                                                 << "c1" << int(CameraRightPixmapRole) << "<pixmap>";
    QTest::newRow("sibling keeps the build's tip") << "c1"
                                                   << "c3" << int(RightPixmapTipRole) << "Preview";
    QTest::newRow("other group keeps the build's tip") << "c1"
                                                       << "c4" << int(RightPixmapTipRole) << "Preview";
    QTest::newRow("unavailable camera edited") << "c2"
                                               << "c2" << int(RightPixmapTipRole) << "Edited";
}

// Rows decorated alike at build share their data: a value set on one row is
// that row's alone.
void tst_LinkageCameraModel::rowDataApart()
{
    QFETCH(QString, strEdited);
    QFETCH(QString, strChecked);
    QFETCH(int, nRole);
    QFETCH(QString, strValue);

    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 1, true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.setData(TreeTest::Row(model, strEdited), "Edited", RightPixmapTipRole));
    model.SetCameraPlayIcon(TreeTest::Row(model, strEdited), true);
    QCOMPARE(Text(model.data(TreeTest::Row(model, strChecked), nRole)), strValue);
}

void tst_LinkageCameraModel::liveViewPlugin_data()
{
    QTest::addColumn<bool>("bWithModel");
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<QString>("strFound");

    QTest::newRow("camera") << true << "c2"
                            << "c2";
    QTest::newRow("empty GUID") << true << ""
                                << "";
    QTest::newRow("unknown GUID") << true << "c9"
                                  << "";
    QTest::newRow("alarm input is no camera") << true << "a1"
                                              << "";
    QTest::newRow("no model") << false << "c2"
                              << "";
}

void tst_LinkageCameraModel::liveViewPlugin()
{
    QFETCH(bool, bWithModel);
    QFETCH(QString, strGuid);
    QFETCH(QString, strFound);

    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 1, true);
    CLiveViewPlugin plugin(bWithModel ? &model : nullptr);
    tessel::IElement* pElement = plugin.GetElementByGUID(strGuid.toStdString());
    QCOMPARE(pElement ? QString::fromStdString(pElement->GetElementID()) : QString(), strFound);
    if (pElement)
        QVERIFY(dynamic_cast<tessel::ICamera*>(pElement));
    // Lookups by row, and of the wrong kind of row.
    const QModelIndex group = model.GetAreaIndexByAreaID("g1");
    const QModelIndex camera = model.GetElementIndexByElementID("c1");
    QCOMPARE(model.GetAreaIDByIndex(group), std::string("g1"));
    QCOMPARE(model.GetCameraIDByIndex(camera), std::string("c1"));
    QCOMPARE(model.GetCameraIDByIndex(group), std::string());
    QCOMPARE(model.GetAreaIDByIndex(camera), std::string());
}

void tst_LinkageCameraModel::previewFlagOff()
{
    TreeTest::Apply(TreeTest::BaseSite());
    CLinkageCameraModel model(nullptr, 2, false);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    tessel::SiteData site = TreeTest::BaseSite();
    site.vecCameras.push_back(Cam("c5", "g1", "Side Door"));
    TreeTest::Apply(site);
    for (const char* pszGuid : {"c1", "c5"}) {
        const QModelIndex row = model.GetElementIndexByElementID(pszGuid);
        QVERIFY(!model.data(row, CameraRightPixmapRole).isValid());
        // Mode 2 leaves the state icons to live view events.
        QVERIFY(!model.data(row, Qt::DecorationRole).isValid());
    }
}

// A group large enough to be looked up through an index: rows removed in the
// middle move the rest up, and every camera is still found at its own row.
void tst_LinkageCameraModel::largeGroupLookups()
{
    constexpr int kCameras = 100;
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Big"}};
    for (int i = 0; i < kCameras; ++i)
        site.vecCameras.push_back(Cam("c" + std::to_string(i), "g1", "Cam " + std::to_string(i)));
    TreeTest::Apply(site);
    CLinkageCameraModel model(nullptr, 1, true);
    QCOMPARE(TreeTest::Row(model, "c70").data().toString(), QString("Cam 70")); // the index is built
    site.vecCameras.erase(site.vecCameras.begin() + 50);
    site.vecCameras.erase(site.vecCameras.begin() + 10);
    site.vecCameras.back().bOnline = false;
    TreeTest::Apply(site);
    for (const tessel::CameraInfo& camera : site.vecCameras)
        QCOMPARE(TreeTest::Row(model, QString::fromStdString(camera.strGUID)).data().toString(),
                 QString::fromStdString(camera.strName));
    QVERIFY(!TreeTest::Row(model, "c50").isValid());
    const QModelIndex last = TreeTest::Row(model, "c99");
    QCOMPARE(last.row(), kCameras - 3);
    QVERIFY(last.data(Qt::ForegroundRole).isValid()); // the change reached the moved row
}

QTEST_MAIN(tst_LinkageCameraModel)
#include "tst_linkagecameramodel.moc"
