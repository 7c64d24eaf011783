#include "LinkageSetupDlg.h"
#include "LinkageSetupStore.h"
#include "RawSetupTable.h"

#include "Fendra/DiskDriveUtil.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/LineEdit.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using LinkageSnapAlarm::CLinkageSetupDlg;
using LinkageSnapAlarm::CLinkageSetupStore;
using LinkageSnapAlarm::LinkageSetupInfo;

namespace {

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}

void SetFreeMiB(qint64 nMiB)
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([nMiB](const std::string&, std::uint64_t& nFree) {
        nFree = std::uint64_t(nMiB) << 20;
        return 0;
    });
}

QString DefaultFolder()
{
    return QFile::decodeName(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath().c_str())
           + QStringLiteral("LinkageAlarm");
}

template <class T>
T* Child(QObject* pParent, const char* szName)
{
    return pParent->findChild<T*>(QLatin1String(szName));
}

} // namespace

class TestLinkageSetupDlg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Form and first start.
    void formHasNamedChildren_data();
    void formHasNamedChildren();
    void dialogIsFramelessTranslucentModal();
    void firstStartShowsDefaultsWithoutStoring();
    void storedSettingsAreShown();

    // Choosing the folder.
    void chooserOutcome_data();
    void chooserOutcome();
    void chooserLeavesNoProbeFileAndKeepsUsersFile();
    void clickOnPathFieldOpensChooserOnlyWhenEnabled();

    // Controls, Cancel and Close.
    void threeChannelsShowsThirdPreviewUntilDismissed_data();
    void threeChannelsShowsThirdPreviewUntilDismissed();
    void uncheckingKeepsPathAndStoresIt();

    // Saving.
    void saveAfterFolderWasDeletedFailsOnceThenSucceeds();
    void storeFailureShowsSaveFailedAndKeepsDialogOpen();

private:
    QTemporaryDir m_tmpDir;
};

void TestLinkageSetupDlg::init()
{
    RawSetupTable table;
    table.Exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_insert"));
    table.Exec(QStringLiteral("DELETE FROM LinkageSnapAlarmSetup"));
    Notices().ClearShownNotices();
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
}

void TestLinkageSetupDlg::cleanup()
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
}

void TestLinkageSetupDlg::formHasNamedChildren_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    auto row = [](const char* szName, const char* szClass, const char* szText) {
        QTest::newRow(szName) << szName << szClass << szText;
    };
    row("m_pWidgetSetup", "QWidget", "");
    row("m_pWidgetTop", "QWidget", "");
    row("m_pLabelSetup", "QLabel", "Set");
    row("m_pBtnClose", "QPushButton", "");
    row("m_pLabelViewMode", "QLabel", "CammeraLiveViewMode");
    row("widget_16", "QWidget", "");
    row("radio2View", "QRadioButton", "DualChannels");
    row("radio3View", "QRadioButton", "Three-channel");
    row("m_pLabelDisplay", "QLabel", "DisplayContent");
    row("m_pWidgetDisplay", "QWidget", "");
    row("m_pWidgetPreview1", "QWidget", "");
    row("m_pLabelDisplay1", "QLabel", "LiveView");
    row("m_pLabelDisplay2", "QLabel", "LiveView");
    row("m_pLabelDisplay5", "QLabel", "LiveView");
    row("m_pLabelDisplay3", "QLabel", "PanoramicChannelAlarm");
    row("m_pLabelDisplay4", "QLabel", "LinkageChannelAlarm");
    row("m_pLabelSavePic", "QLabel", "SavePicture");
    row("m_pCheckSavePic", "QCheckBox", "");
    row("m_pLabelSavePath", "QLabel", "CapturePath");
    row("m_pEditSavePath", "TesselGUIToolkit::CLineEdit", "");
    row("m_pBtnSave", "QPushButton", "Save");
    row("m_pBtnCancel", "QPushButton", "UndoMerge");
}

void TestLinkageSetupDlg::formHasNamedChildren()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    CLinkageSetupDlg dlg;
    QWidget* pChild = dlg.findChild<QWidget*>(name);
    QVERIFY(pChild);
    QCOMPARE(QString::fromLatin1(pChild->metaObject()->className()), className);
    if (auto* pLabel = qobject_cast<QLabel*>(pChild))
        QCOMPARE(pLabel->text(), text);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pChild))
        QCOMPARE(pButton->text(), text);
}

void TestLinkageSetupDlg::dialogIsFramelessTranslucentModal()
{
    CLinkageSetupDlg dlg;
    QCOMPARE(dlg.objectName(), QStringLiteral("LinkageSetupDlg"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("LinkageSetupDlg"));
    QCOMPARE(dlg.size(), QSize(890, 625));
    QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dlg.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dlg.testAttribute(Qt::WA_ShowModal));
    QVERIFY(Child<QLineEdit>(&dlg, "m_pEditSavePath")->isReadOnly());
    QCOMPARE(Child<QPushButton>(&dlg, "m_pBtnClose")->toolTip(), QStringLiteral("Close"));
    QCOMPARE(Child<QPushButton>(&dlg, "m_pBtnClose")->size(), QSize(24, 24));
    QVERIFY(Child<QPushButton>(&dlg, "m_pBtnSave")->font().bold());
    auto* pGroup = Child<QButtonGroup>(&dlg, "buttonGroup");
    QVERIFY(pGroup && pGroup->exclusive());
    QCOMPARE(pGroup->buttons().size(), 2);
}

void TestLinkageSetupDlg::firstStartShowsDefaultsWithoutStoring()
{
    QDir(DefaultFolder()).removeRecursively();
    CLinkageSetupDlg dlg;
    QVERIFY(!Child<QCheckBox>(&dlg, "m_pCheckSavePic")->isChecked());
    auto* pEdit = Child<QLineEdit>(&dlg, "m_pEditSavePath");
    QCOMPARE(pEdit->text(), DefaultFolder());
    QVERIFY(!pEdit->isEnabled());
    QVERIFY(Child<QRadioButton>(&dlg, "radio2View")->isChecked());
    QVERIFY(Child<QWidget>(&dlg, "m_pWidgetPreview3")->isHidden());
    QVERIFY(QFileInfo(DefaultFolder()).isDir());
    QVERIFY(CLinkageSetupStore::Instance()->IsSetupEmpty());

    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(info.IsSavePicture, false);
    QCOMPARE(info.SavePicPath, DefaultFolder());
    QCOMPARE(info.PreviewMode, 2);
}

void TestLinkageSetupDlg::storedSettingsAreShown()
{
    QVERIFY(CLinkageSetupStore::Instance()->SaveSetup(LinkageSetupInfo{true, m_tmpDir.path(), 7}));
    CLinkageSetupDlg dlg;
    QVERIFY(Child<QCheckBox>(&dlg, "m_pCheckSavePic")->isChecked());
    QCOMPARE(Child<QLineEdit>(&dlg, "m_pEditSavePath")->text(), m_tmpDir.path());
    QVERIFY(Child<QLineEdit>(&dlg, "m_pEditSavePath")->isEnabled());
    QVERIFY(Child<QRadioButton>(&dlg, "radio3View")->isChecked());
    QVERIFY(!Child<QWidget>(&dlg, "m_pWidgetPreview3")->isHidden());
}

void TestLinkageSetupDlg::chooserOutcome_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the temporary folder; "-" is cancel
    QTest::addColumn<qint64>("freeMiB"); // -1: the query fails; 0: the real query
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("taken");
    QTest::newRow("writable folder") << "pics" << qint64(0) << "" << true;
    QTest::newRow("2048 MiB free") << "pics" << qint64(2048) << "" << true;
    QTest::newRow("2047 MiB free") << "pics" << qint64(2047) << "NoEnoughFreeSpace" << false;
    QTest::newRow("free-space query fails") << "pics" << qint64(-1) << "" << true;
    QTest::newRow("not a folder") << "plain-file" << qint64(0) << "NoAccessToThisFolder" << false;
    QTest::newRow("missing folder") << "missing" << qint64(0) << "NoAccessToThisFolder" << false;
    QTest::newRow("cancelled") << "-" << qint64(0) << "" << false;
}

void TestLinkageSetupDlg::chooserOutcome()
{
    QFETCH(QString, chosen);
    QFETCH(qint64, freeMiB);
    QFETCH(QString, notice);
    QFETCH(bool, taken);
    QDir(m_tmpDir.path()).mkpath(QStringLiteral("pics"));
    QFile(m_tmpDir.filePath(QStringLiteral("plain-file"))).open(QIODevice::WriteOnly);
    if (freeMiB > 0)
        SetFreeMiB(freeMiB);
    if (freeMiB < 0)
        Fendra::DiskDriveUtil::SetFreeSpaceOverride([](const std::string&, std::uint64_t&) { return 1; });

    CLinkageSetupDlg dlg;
    const QString strBefore = Child<QLineEdit>(&dlg, "m_pEditSavePath")->text();
    const QString strChosen = chosen == QLatin1String("-") ? QString() : m_tmpDir.filePath(chosen);
    QStringList lstAsked;
    dlg.SetFolderChooser([&](QWidget* pParent, const QString& strTitle, const QString& strStart) {
        lstAsked << strTitle << strStart;
        return pParent == &dlg ? strChosen : QString();
    });
    dlg.onPicPathClicked();

    QCOMPARE(lstAsked, (QStringList{QStringLiteral("ExportPicture"), strBefore}));
    QCOMPARE(Child<QLineEdit>(&dlg, "m_pEditSavePath")->text(), taken ? strChosen : strBefore);
    QCOMPARE(Notices().ShownNotices(), notice.isEmpty() ? QStringList() : QStringList{notice});
    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(info.SavePicPath, strBefore); // taken only on Save
}

void TestLinkageSetupDlg::chooserLeavesNoProbeFileAndKeepsUsersFile()
{
    const QString strFolder = m_tmpDir.filePath(QStringLiteral("probe"));
    QDir().mkpath(strFolder);
    CLinkageSetupDlg dlg;
    dlg.SetFolderChooser([&](QWidget*, const QString&, const QString&) { return strFolder; });
    dlg.onPicPathClicked();
    QCOMPARE(QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

    QFile userFile(strFolder + QStringLiteral("/testRight.txt"));
    QVERIFY(userFile.open(QIODevice::WriteOnly));
    userFile.write("the user's own notes");
    userFile.close();
    dlg.onPicPathClicked();
    QCOMPARE(Child<QLineEdit>(&dlg, "m_pEditSavePath")->text(), strFolder);
    QVERIFY(userFile.open(QIODevice::ReadOnly));
    QCOMPARE(userFile.readAll(), QByteArray("the user's own notes"));
    QCOMPARE(QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("testRight.txt")});
}

void TestLinkageSetupDlg::clickOnPathFieldOpensChooserOnlyWhenEnabled()
{
    CLinkageSetupDlg dlg;
    dlg.show();
    int nAsked = 0;
    dlg.SetFolderChooser([&](QWidget*, const QString&, const QString&) {
        ++nAsked;
        return QString();
    });
    auto* pEdit = Child<QLineEdit>(&dlg, "m_pEditSavePath");
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QCOMPARE(nAsked, 0); // saving off: the field is disabled

    Child<QCheckBox>(&dlg, "m_pCheckSavePic")->click();
    QVERIFY(pEdit->isEnabled());
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QCOMPARE(nAsked, 1);
}

void TestLinkageSetupDlg::threeChannelsShowsThirdPreviewUntilDismissed_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Cancel") << "m_pBtnCancel";
    QTest::newRow("Close") << "m_pBtnClose";
}

void TestLinkageSetupDlg::threeChannelsShowsThirdPreviewUntilDismissed()
{
    QFETCH(QString, button);
    CLinkageSetupDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* pPreview3 = Child<QWidget>(&dlg, "m_pWidgetPreview3");
    QTest::mouseClick(Child<QRadioButton>(&dlg, "radio3View"), Qt::LeftButton);
    QVERIFY(pPreview3->isVisible());
    Child<QCheckBox>(&dlg, "m_pCheckSavePic")->click();

    QSignalSpy spySaved(&dlg, &CLinkageSetupDlg::signalSaved);
    QTest::mouseClick(dlg.findChild<QPushButton*>(button), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(Child<QRadioButton>(&dlg, "radio2View")->isChecked());
    QVERIFY(pPreview3->isHidden());
    QVERIFY(!Child<QCheckBox>(&dlg, "m_pCheckSavePic")->isChecked());
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(CLinkageSetupStore::Instance()->IsSetupEmpty());
}

void TestLinkageSetupDlg::uncheckingKeepsPathAndStoresIt()
{
    QVERIFY(CLinkageSetupStore::Instance()->SaveSetup(LinkageSetupInfo{true, m_tmpDir.path(), 2}));
    CLinkageSetupDlg dlg;
    dlg.show();
    auto* pEdit = Child<QLineEdit>(&dlg, "m_pEditSavePath");
    Child<QCheckBox>(&dlg, "m_pCheckSavePic")->click();
    QVERIFY(!pEdit->isEnabled());
    QCOMPARE(pEdit->text(), m_tmpDir.path());

    QTest::mouseClick(Child<QPushButton>(&dlg, "m_pBtnSave"), Qt::LeftButton);
    LinkageSetupInfo stored;
    QVERIFY(CLinkageSetupStore::Instance()->LoadSetup(stored));
    QCOMPARE(stored.IsSavePicture, false);
    QCOMPARE(stored.SavePicPath, m_tmpDir.path());
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("Saved")});
}

void TestLinkageSetupDlg::saveAfterFolderWasDeletedFailsOnceThenSucceeds()
{
    const QString strFolder = m_tmpDir.filePath(QStringLiteral("deleted/later"));
    QVERIFY(QDir().mkpath(strFolder));
    QVERIFY(CLinkageSetupStore::Instance()->SaveSetup(LinkageSetupInfo{true, strFolder, 3}));
    QWidget parent;
    auto* pDlg = new CLinkageSetupDlg(&parent);
    pDlg->show();
    QVERIFY(QDir(m_tmpDir.filePath(QStringLiteral("deleted"))).removeRecursively());
    QSignalSpy spySaved(pDlg, &CLinkageSetupDlg::signalSaved);
    auto* pBtnSave = Child<QPushButton>(pDlg, "m_pBtnSave");

    QTest::mouseClick(pBtnSave, Qt::LeftButton);
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("SaveFailed")});
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(pDlg->isVisible());
    QVERIFY(QFileInfo(strFolder).isDir());

    Notices().ClearShownNotices();
    QTest::mouseClick(pBtnSave, Qt::LeftButton);
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("Saved")});
    QCOMPARE(spySaved.count(), 1);
    QCOMPARE(spySaved.at(0).at(0).toBool(), true);
    QVERIFY(!pDlg->isVisible());
    QCOMPARE(pDlg->result(), int(QDialog::Accepted));
}

void TestLinkageSetupDlg::storeFailureShowsSaveFailedAndKeepsDialogOpen()
{
    QVERIFY(CLinkageSetupStore::Instance()->SaveSetup(LinkageSetupInfo{false, m_tmpDir.path(), 2}));
    QVERIFY(RawSetupTable().Exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON "
                                                "LinkageSnapAlarmSetup BEGIN SELECT RAISE(ABORT, 'no'); END;")));
    CLinkageSetupDlg dlg;
    dlg.show();
    QSignalSpy spySaved(&dlg, &CLinkageSetupDlg::signalSaved);
    QTest::mouseClick(Child<QRadioButton>(&dlg, "radio3View"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(&dlg, "m_pBtnSave"), Qt::LeftButton);

    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("SaveFailed")});
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(dlg.isVisible());
    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(info.PreviewMode, 3); // the record follows the controls even when storing fails
    LinkageSetupInfo stored;
    QVERIFY(CLinkageSetupStore::Instance()->LoadSetup(stored));
    QCOMPARE(stored.PreviewMode, 2);
}

QTEST_MAIN(TestLinkageSetupDlg)
#include "tst_linkagesetupdlg.moc"
