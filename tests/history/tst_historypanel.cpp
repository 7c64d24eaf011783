#include "history/AlarmHistory.h"
#include "history/HistoryModel.h"
#include "history/HistoryPanel.h"
#include "settings/LinkageSetupDlg.h"
#include "settings/LinkageSetupStore.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace LinkageSnapAlarm;

class TestHistoryPanel : public QObject
{
    Q_OBJECT

private slots:
    void setupDialogOpensPanelAndStoresBounds();
    void typingSearchesAndEnterChooses();
};

// The button beside the form (and Ctrl+H) opens the panel over the view and
// closes the settings; edited bounds are stored beside the settings and applied.
void TestHistoryPanel::setupDialogOpensPanelAndStoresBounds()
{
    QTemporaryDir dir;
    QWidget view;
    auto* pSetup = new CLinkageSetupDlg(&view);
    CAlarmHistory history(dir.filePath("history"), pSetup->GetHistoryBounds());
    QCOMPARE(history.Bounds().nKeepDays, HistoryBounds::kDefaultKeepDays);
    pSetup->SetAlarmHistory(&history);
    view.show();
    pSetup->show();
    auto* pButton = pSetup->findChild<QPushButton*>("m_pBtnHistory");
    QVERIFY(pButton && pButton->isVisible());
    QVERIFY(!pSetup->findChild<QWidget*>("m_pWidgetTop")->isAncestorOf(pButton));
    pButton->click();
    QVERIFY(!pSetup->isVisible());
    auto* pPanel = view.findChild<CHistoryPanel*>("m_pHistoryPanel");
    QVERIFY(pPanel && pPanel->isVisible() && pPanel->isWindow());
    QCOMPARE(pSetup->HistoryPanel(), pPanel);

    auto* pKeepDays = pPanel->findChild<QSpinBox*>("m_pSpinKeepDays");
    pKeepDays->setValue(7);
    emit pKeepDays->editingFinished();
    QCOMPARE(history.Bounds().nKeepDays, 7);
    HistoryBounds stored;
    QCOMPARE(CLinkageSetupStore::Instance()->ReadHistoryBounds(stored), CLinkageSetupStore::ReadResult::Loaded);
    QCOMPARE(stored.nKeepDays, 7);
    QCOMPARE(stored.nMaxAlarms, HistoryBounds::kDefaultMaxAlarms);

    pPanel->close();
    pSetup->show();
    QTest::keyClick(pSetup, Qt::Key_H, Qt::ControlModifier);
    QTRY_VERIFY(pPanel->isVisible());
}

void TestHistoryPanel::typingSearchesAndEnterChooses()
{
    QTemporaryDir dir;
    CAlarmHistory history(dir.filePath("history"), {});
    for (const char* szUid : {"north-1", "south-1", "north-2"}) {
        HistoryAlarmSource alarm;
        alarm.bPanoramic = true;
        alarm.strLinkageUid = szUid;
        alarm.strCameraName = QString(szUid).section('-', 0, 0);
        alarm.nTimeMs = QDateTime::currentMSecsSinceEpoch();
        history.Record(alarm);
    }
    QVERIFY(history.WaitWritten(20000));
    CHistoryPanel panel(&history);
    QSignalSpy spyShown(panel.Model(), &CHistoryModel::signalFirstPageShown);
    panel.show();
    QVERIFY(spyShown.wait(20000));
    QCOMPARE(panel.Model()->rowCount(), 3);

    auto* pCamera = panel.findChild<QLineEdit*>("m_pEditHistoryCamera");
    pCamera->setFocus();
    QTest::keyClicks(pCamera, "nor");
    QTRY_COMPARE(panel.Model()->rowCount(), 2);
    QCOMPARE(panel.Model()->index(0, CHistoryModel::ColumnLinkageUid).data().toString(), QStringLiteral("north-2"));

    auto* pTable = panel.findChild<QTableView*>("m_pTableHistory");
    pTable->setFocus();
    pTable->setCurrentIndex(panel.Model()->index(1, 0));
    QSignalSpy spyChosen(&history, &CAlarmHistory::signalLinkageChosen);
    QTest::keyClick(pTable, Qt::Key_Return);
    QVERIFY(spyChosen.wait(20000));
    QCOMPARE(spyChosen.first().first().value<HistoryLinkageRecord>().strLinkageUid, QStringLiteral("north-1"));
}

QTEST_MAIN(TestHistoryPanel)
#include "tst_historypanel.moc"
