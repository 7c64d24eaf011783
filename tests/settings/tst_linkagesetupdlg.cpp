#include "settings/LinkageSetupDlg.h"
#include "tests/settings/RawSetupTable.h"

#include "Fendra/DiskDriveUtil.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using LinkageSnapAlarm::CLinkageSetupDlg;
using LinkageSnapAlarm::LinkageSetupInfo;

namespace {

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}

QString DefaultFolder()
{
    return QFile::decodeName(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath().c_str())
           + QStringLiteral("LinkageAlarm");
}

QString Stored()
{
    LinkageSetupInfo info;
    return Store().LoadSetup(info) ? Line(info) : QStringLiteral("<load failed>");
}

template <class T>
T* Child(QObject* pParent, const char* szName)
{
    return pParent->findChild<T*>(QLatin1String(szName));
}

// The controls as Line() writes a record, noting a path field or third preview
// that does not follow them.
QString Controls(QObject* pDlg)
{
    const bool bSaving = Child<QCheckBox>(pDlg, "m_pCheckSavePic")->isChecked();
    const bool bThree = Child<QRadioButton>(pDlg, "radio3View")->isChecked();
    auto* pEdit = Child<QLineEdit>(pDlg, "m_pEditSavePath");
    QString strLine = Line(LinkageSetupInfo{bSaving, pEdit->text(), bThree ? 3 : 2});
    if (pEdit->isEnabled() != bSaving)
        strLine += QStringLiteral(" (path field enabled: %1)").arg(pEdit->isEnabled());
    if (Child<QWidget>(pDlg, "m_pWidgetPreview3")->isHidden() == bThree)
        strLine += QStringLiteral(" (third preview hidden: %1)").arg(!bThree);
    return strLine;
}

} // namespace

class TestLinkageSetupDlg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formHasNamedChildren();
    void shownSettings_data();
    void shownSettings();
    void chooserOutcome_data();
    void chooserOutcome();
    void dismissingUndoesChanges_data();
    void dismissingUndoesChanges();
    void saveFailsOnceThenSucceeds_data();
    void saveFailsOnceThenSucceeds();
    void lockedStoreKeepsLastSettingsAndRetriesOnShow();
    void damagedStoreIsToldOnceShown_data();
    void damagedStoreIsToldOnceShown();
    void lockedAtStartIsReadInTheBackground();

private:
    QTemporaryDir m_tmpDir;
};

void TestLinkageSetupDlg::init()
{
    RawSetupTable().Reset();
    Notices().ClearShownNotices();
}

void TestLinkageSetupDlg::cleanup()
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
}

// The host style sheet addresses the form's children by these names.
void TestLinkageSetupDlg::formHasNamedChildren()
{
    CLinkageSetupDlg dlg;
    QStringList lstMissing;
    for (const char* szName :
         {"m_pWidgetSetup",    "m_pWidgetTop",     "m_pLabelSetup",    "m_pBtnClose",      "m_pLabelViewMode",
          "widget_16",         "radio2View",       "radio3View",       "m_pLabelDisplay",  "m_pWidgetDisplay",
          "m_pWidgetPreview1", "m_pLabelDisplay1", "m_pLabelDisplay2", "m_pLabelDisplay5", "m_pLabelDisplay3",
          "m_pLabelDisplay4",  "m_pLabelSavePic",  "m_pCheckSavePic",  "m_pLabelSavePath", "m_pEditSavePath",
          "m_pBtnSave",        "m_pBtnCancel"})
        if (!dlg.findChild<QWidget*>(QLatin1String(szName)))
            lstMissing << szName;
    QCOMPARE(lstMissing, QStringList());
}

void TestLinkageSetupDlg::shownSettings_data()
{
    QTest::addColumn<LinkageSetupInfo>("stored"); // PreviewMode 0: nothing stored
    QTest::addColumn<QString>("shown");
    const QString strTmp = m_tmpDir.path();
    QTest::newRow("first start with an empty table") << LinkageSetupInfo{false, {}, 0} << "0|" + DefaultFolder() + "|2";
    QTest::newRow("stored mode 7: three windows") << LinkageSetupInfo{true, strTmp, 7} << "1|" + strTmp + "|3";
    QTest::newRow("stored saving off keeps its path") << LinkageSetupInfo{false, strTmp, 2} << "0|" + strTmp + "|2";
}

void TestLinkageSetupDlg::shownSettings()
{
    QFETCH(LinkageSetupInfo, stored);
    QFETCH(QString, shown);
    QDir(DefaultFolder()).removeRecursively();
    if (stored.PreviewMode)
        QVERIFY(Store().SaveSetup(stored));
    CLinkageSetupDlg dlg;
    QCOMPARE(Controls(&dlg), shown);
    QVERIFY(dlg.isModal() && Child<QLineEdit>(&dlg, "m_pEditSavePath")->isReadOnly()); // paths come from the chooser
    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(Line(info), stored.PreviewMode ? Line(stored) : shown);
    QVERIFY(QFileInfo(info.SavePicPath).isDir());          // a first start creates the default folder
    QCOMPARE(Store().IsSetupEmpty(), !stored.PreviewMode); // but stores nothing
}

void TestLinkageSetupDlg::chooserOutcome_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the temporary folder; "-" is cancel
    QTest::addColumn<qint64>("freeMiB"); // -1: the query fails; 0: the real query
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("taken");
    QTest::newRow("writable folder") << "pics" << qint64(0) << "" << true;
    QTest::newRow("folder with the user's testRight.txt") << "own" << qint64(0) << "" << true;
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
    QDir(m_tmpDir.path()).mkpath(QStringLiteral("own"));
    QFile(m_tmpDir.filePath(QStringLiteral("plain-file"))).open(QIODevice::WriteOnly);
    QFile userFile(m_tmpDir.filePath(QStringLiteral("own/testRight.txt")));
    QVERIFY(userFile.open(QIODevice::WriteOnly) && userFile.write("the user's notes") > 0);
    userFile.close();
    if (freeMiB != 0)
        Fendra::DiskDriveUtil::SetFreeSpaceOverride([freeMiB](const std::string&, std::uint64_t& nFree) {
            nFree = std::uint64_t(std::max<qint64>(freeMiB, 0)) << 20;
            return freeMiB < 0 ? 1 : 0;
        });

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
    // The write check leaves no testRight.txt behind, and the user's own alone.
    const auto filter = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    QCOMPARE(QDir(m_tmpDir.filePath(QStringLiteral("pics"))).entryList(filter), QStringList());
    QCOMPARE(QDir(m_tmpDir.filePath(QStringLiteral("own"))).entryList(filter), QStringList{"testRight.txt"});
    QVERIFY(userFile.open(QIODevice::ReadOnly));
    QCOMPARE(userFile.readAll(), QByteArray("the user's notes"));
}

// A click on the path field opens the chooser once ticking enabled it; Cancel,
// Close and the Escape key then put the controls back as they were shown.
void TestLinkageSetupDlg::dismissingUndoesChanges_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Cancel") << "m_pBtnCancel";
    QTest::newRow("Close") << "m_pBtnClose";
    QTest::newRow("Escape key") << "";
}

void TestLinkageSetupDlg::dismissingUndoesChanges()
{
    QFETCH(QString, button);
    CLinkageSetupDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QString strShown = Controls(&dlg);
    int nAsked = 0;
    dlg.SetFolderChooser([&](QWidget*, const QString&, const QString&) {
        ++nAsked;
        return QString();
    });
    auto* pEdit = Child<QLineEdit>(&dlg, "m_pEditSavePath");
    QTest::mouseClick(pEdit, Qt::LeftButton); // saving off: the field is disabled
    QTest::mouseClick(Child<QRadioButton>(&dlg, "radio3View"), Qt::LeftButton);
    Child<QCheckBox>(&dlg, "m_pCheckSavePic")->click();
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QCOMPARE(nAsked, 1);
    QCOMPARE(Controls(&dlg), "1|" + DefaultFolder() + "|3");

    QSignalSpy spySaved(&dlg, &CLinkageSetupDlg::signalSaved);
    if (button.isEmpty())
        QTest::keyClick(&dlg, Qt::Key_Escape);
    else
        QTest::mouseClick(dlg.findChild<QPushButton*>(button), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(Controls(&dlg), strShown);
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(Store().IsSetupEmpty());
}

// Save takes the controls (unticking keeps the path). A folder deleted meanwhile is
// recreated but reported, as is a store that refuses the row; the next Save works.
void TestLinkageSetupDlg::saveFailsOnceThenSucceeds_data()
{
    QTest::addColumn<bool>("storeRefuses");
    QTest::addColumn<QString>("storedAfterFailure"); // "<new>": the controls' settings
    QTest::newRow("folder deleted after opening") << false << "<new>";
    QTest::newRow("store refuses the row") << true << "1|<folder>|3";
}

void TestLinkageSetupDlg::saveFailsOnceThenSucceeds()
{
    QFETCH(bool, storeRefuses);
    QFETCH(QString, storedAfterFailure);
    const QString strFolder = m_tmpDir.filePath(QStringLiteral("deleted/later"));
    const QString strNew = QStringLiteral("0|") + strFolder + QStringLiteral("|2");
    storedAfterFailure.replace(QLatin1String("<new>"), strNew).replace(QLatin1String("<folder>"), strFolder);
    QVERIFY(QDir().mkpath(strFolder));
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, strFolder, 3}));
    QWidget parent;
    auto* pDlg = new CLinkageSetupDlg(&parent);
    pDlg->show();
    QVERIFY(storeRefuses ? RawSetupTable().RefuseInserts()
                         : QDir(m_tmpDir.filePath(QStringLiteral("deleted"))).removeRecursively());
    QSignalSpy spySaved(pDlg, &CLinkageSetupDlg::signalSaved);
    Child<QCheckBox>(pDlg, "m_pCheckSavePic")->click();
    QTest::mouseClick(Child<QRadioButton>(pDlg, "radio2View"), Qt::LeftButton);
    QCOMPARE(Controls(pDlg), strNew);
    auto* pBtnSave = Child<QPushButton>(pDlg, "m_pBtnSave");

    QTest::mouseClick(pBtnSave, Qt::LeftButton);
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("SaveFailed")});
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(pDlg->isVisible());
    QVERIFY(QFileInfo(strFolder).isDir());
    LinkageSetupInfo info;
    pDlg->GetSetupInfo(info);
    QCOMPARE(Line(info), strNew);
    QCOMPARE(Stored(), storedAfterFailure);

    Notices().ClearShownNotices();
    RawSetupTable().Exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_insert"));
    QTest::mouseClick(pBtnSave, Qt::LeftButton);
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("Saved")});
    QCOMPARE(spySaved.count(), 1);
    QCOMPARE(spySaved.at(0).at(0).toBool(), true);
    QVERIFY(!pDlg->isVisible());
    QCOMPARE(pDlg->result(), int(QDialog::Accepted));
    QCOMPARE(Stored(), strNew);
}

// A lock by another process never switches saving off: the dialog keeps what was
// read last, and reads again (handing the result to the view) when next opened.
void TestLinkageSetupDlg::lockedStoreKeepsLastSettingsAndRetriesOnShow()
{
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/kept"), 3}));
    QCOMPARE(Stored(), QStringLiteral("1|/kept|3"));
    RawSetupTable locker;
    QVERIFY(locker.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
    // One read, so one short wait and one log line.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("database is locked")));
    CLinkageSetupDlg dlg;
    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(Line(info), QStringLiteral("1|/kept|3"));
    QCOMPARE(Controls(&dlg), QStringLiteral("1|/kept|3"));

    QVERIFY(locker.Exec(QStringLiteral("UPDATE LinkageSnapAlarmSetup SET PreviewMode = '2'; COMMIT")));
    QSignalSpy spySaved(&dlg, &CLinkageSetupDlg::signalSaved);
    dlg.show();
    QCOMPARE(spySaved.count(), 1);
    dlg.GetSetupInfo(info);
    QCOMPARE(Line(info), QStringLiteral("1|/kept|2"));
    QCOMPARE(Controls(&dlg), QStringLiteral("1|/kept|2"));
    dlg.hide();
    dlg.show();
    QCOMPARE(spySaved.count(), 1); // read once it worked, not on every opening
}

// The damage is told once, whichever statement finds it, and only once the
// view is on screen: a notice fading before the window shows is never seen.
void TestLinkageSetupDlg::damagedStoreIsToldOnceShown_data()
{
    QTest::addColumn<bool>("bFoundBySaving");
    QTest::newRow("found when reading") << false;
    QTest::newRow("found when saving") << true;
}

void TestLinkageSetupDlg::damagedStoreIsToldOnceShown()
{
    QFETCH(bool, bFoundBySaving);
    QWidget view;
    std::unique_ptr<CLinkageSetupDlg> upDlg;
    if (bFoundBySaving)
        upDlg = std::make_unique<CLinkageSetupDlg>(&view);
    QVERIFY(DamageDatabase(QByteArray(4096, 'x')));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("file is not a database")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Settings database was damaged")));
    if (bFoundBySaving)
        Child<QPushButton>(upDlg.get(), "m_pBtnSave")->click();
    else
        upDlg = std::make_unique<CLinkageSetupDlg>(&view);
    const auto damageNotices = [] { return Notices().ShownNotices().filter("SettingsDatabaseDamaged").size(); };
    QCOMPARE(damageNotices(), 0);
    view.show();
    QCOMPARE(damageNotices(), 1);
    CLinkageSetupDlg second(&view);
    QCOMPARE(damageNotices(), 1);
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/works"), 2}));
    for (const QFileInfo& aside : DamagedCopies())
        QFile::remove(aside.filePath());
}

// Locked at start: the view is told once that the settings are not there yet,
// and gets them as soon as they can be read, without anyone opening the dialog.
void TestLinkageSetupDlg::lockedAtStartIsReadInTheBackground()
{
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/kept"), 3}));
    RawSetupTable locker;
    QVERIFY(locker.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("database is locked")));
    QWidget view;
    CLinkageSetupDlg dlg(&view);
    QSignalSpy spySaved(&dlg, &CLinkageSetupDlg::signalSaved);
    view.show();
    QTest::qWait(2 * CLinkageSetupDlg::kLoadRetryMs
                 + CLinkageSetupDlg::kLoadRetryMs / 2); // tries in between stay quiet
    QCOMPARE(spySaved.count(), 0);
    QVERIFY(locker.Exec(QStringLiteral("UPDATE LinkageSnapAlarmSetup SET PreviewMode = '2'; COMMIT")));
    QTRY_COMPARE(spySaved.count(), 1);
    LinkageSetupInfo info;
    dlg.GetSetupInfo(info);
    QCOMPARE(Line(info), QStringLiteral("1|/kept|2"));
    QCOMPARE(Notices().ShownNotices(), QStringList{QStringLiteral("SettingsNotAvailableYet")});
    QVERIFY(dlg.isHidden());
}

QTEST_MAIN(TestLinkageSetupDlg)
#include "tst_linkagesetupdlg.moc"
