// The linkage view without a mouse: every focusable or pressable widget has an
// accessible name, and the keyboard alone reaches and drives the view.

#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cameratree/GroupTreeWidget.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "playwindow/ptz/PTZControlWnd.h"
#include "settings/LinkageSetupDlg.h"

#include "Vantrel/Vantrel.h"
#include "tessel/GroupManager.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QTest>

using namespace LinkageSnapAlarm;

namespace {

// Focusable or pressable widgets under pInterface that have no accessible name.
void CollectUnnamed(QAccessibleInterface* pInterface, QStringList& lstUnnamed)
{
    auto* pWidget = qobject_cast<QWidget*>(pInterface->object());
    const bool bInteractive = pWidget
                              && (pWidget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(pWidget)
                                  || qobject_cast<QAbstractSlider*>(pWidget));
    if (bInteractive && pInterface->text(QAccessible::Name).trimmed().isEmpty())
        lstUnnamed << QString("%1 (%2)").arg(pWidget->objectName(), pWidget->metaObject()->className());
    for (int i = 0; i < pInterface->childCount(); ++i)
        if (QAccessibleInterface* pChild = pInterface->child(i))
            CollectUnnamed(pChild, lstUnnamed);
}

// Where the focus is and what the keys did:
// "focus|selected window|window cameras|popup shown|selected window's mouse mode".
QString Observe(CLinkageSnapAlarmDlg& dlg)
{
    QWidget* pFocus = QApplication::focusWidget();
    QString strFocus = pFocus ? pFocus->objectName() : "none";
    const int nWindow = dlg.PlayWindows().indexOf(qobject_cast<CStreamPlayWindowWithTask*>(pFocus));
    if (nWindow >= 0)
        strFocus = QString("window %1").arg(nWindow);
    if (auto* pCards = dlg.findChild<CShowCardWidget*>(); pCards->PositionOf(pFocus) >= 0)
        strFocus = QString("card %1").arg(pCards->PositionOf(pFocus));
    QStringList lstCameras;
    for (int i = 0; i < 2; ++i)
        lstCameras << (dlg.WindowCamera(i) ? QString::fromStdString(dlg.WindowCamera(i)->GetElementID()) : "-");
    QString strPopup = "none";
    if (dlg.findChild<CPTZControlWnd*>()->isVisible())
        strPopup = "ptz";
    if (dlg.findChild<CLinkageSetupDlg*>()->isVisible())
        strPopup = "setup";
    return QString("%1|sel %2|%3|%4|mode %5")
        .arg(strFocus)
        .arg(dlg.SelectedPlayWindow())
        .arg(lstCameras.join(','), strPopup)
        .arg(dlg.PlayWindows().at(dlg.SelectedPlayWindow())->GetMouseMode());
}

// Presses the keys on whatever has the focus, as a keyboard does: "Ctrl+F",
// "Tab", "Enter", ... or "type:text"; "setup" opens the setup dialog as its
// button does, "activate" activates the view as a window manager does.
void Press(CLinkageSnapAlarmDlg& dlg, const QString& strKeys)
{
    if (strKeys == "activate") {
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        return;
    }
    if (strKeys == "setup") {
        dlg.onBtnSetUpClicked();
        QTRY_VERIFY(dlg.findChild<CLinkageSetupDlg*>()->isAncestorOf(QApplication::focusWidget()));
        return;
    }
    QWidget* pTarget = QApplication::focusWidget() ? QApplication::focusWidget() : &dlg;
    if (strKeys.startsWith("type:")) {
        QTest::keyClicks(pTarget, strKeys.mid(5));
        return;
    }
    const int nCombined = QKeySequence(strKeys == "Enter" ? "Return" : strKeys)[0];
    QTest::keyClick(pTarget, Qt::Key(nCombined & ~Qt::KeyboardModifierMask),
                    Qt::KeyboardModifiers(nCombined & Qt::KeyboardModifierMask));
}

} // namespace

class tst_LinkageDlgKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyInteractiveWidgetIsNamed_data();
    void everyInteractiveWidgetIsNamed();
    void keyboardFlow_data();
    void keyboardFlow();
};

void tst_LinkageDlgKeyboard::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Gate"}};
    for (const char* szGUID : {"A", "B"}) {
        tessel::CameraInfo camera;
        camera.strGUID = szGUID;
        camera.strName = std::string("Camera ") + szGUID;
        camera.strGroupID = "g1";
        camera.strStreamUrl = "test:ball";
        camera.bHasPTZ = true;
        site.vecCameras.push_back(camera);
    }
    tessel::CGroupManager::Instance().ApplySite(site);
}

void tst_LinkageDlgKeyboard::everyInteractiveWidgetIsNamed_data()
{
    QTest::addColumn<QString>("strPart");
    QTest::newRow("linkage dialog with cards") << "dialog";
    QTest::newRow("setup dialog") << "setup";
    QTest::newRow("PTZ panel") << "ptz";
}

void tst_LinkageDlgKeyboard::everyInteractiveWidgetIsNamed()
{
    QFETCH(QString, strPart);
    CLinkageSnapAlarmDlg dlg;
    dlg.findChild<CShowCardArea*>()->AddCard(new CLinkageCardWidget(&dlg));
    QWidget* pRoot = &dlg;
    if (strPart == "setup")
        pRoot = dlg.findChild<CLinkageSetupDlg*>();
    else if (strPart == "ptz")
        pRoot = dlg.findChild<CPTZControlWnd*>();
    QStringList lstUnnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(pRoot), lstUnnamed);
    QCOMPARE(lstUnnamed.join(", "), QString());
}

void tst_LinkageDlgKeyboard::keyboardFlow_data()
{
    QTest::addColumn<QString>("strKeys");
    QTest::addColumn<QString>("strSeen");

    const QString strStartA = "Ctrl+F;type:Camera A;Down;Down;Enter;Tab;Left";
    QTest::newRow("Ctrl+F reaches the search") << "Ctrl+F"
                                               << "m_pEditSearch|sel 0|-,-|none|mode 0";
    QTest::newRow("Enter starts the found camera in the selected window") << "Ctrl+F;type:B;Down;Down;Enter"
                                                                          << "treeView|sel 1|B,-|none|mode 0";
    QTest::newRow("Tab runs tree, selected window, scene, newest card") << "Ctrl+F;Tab;Tab;Tab;Tab"
                                                                        << "card 0|sel 0|-,-|none|mode 0";
    QTest::newRow("Tab from the cards comes round to the search") << "Ctrl+F;Tab;Tab;Tab;Tab;Tab"
                                                                  << "m_pEditSearch|sel 0|-,-|none|mode 0";
    QTest::newRow("Shift+Tab runs back to the scene") << "Ctrl+F;Tab;Tab;Tab;Tab;Shift+Tab"
                                                      << "m_pWidgetScenePic|sel 0|-,-|none|mode 0";
    QTest::newRow("Tab enters the windows at the selected one") << "Ctrl+F;type:B;Down;Down;Enter;Tab"
                                                                << "window 1|sel 1|B,-|none|mode 0";
    QTest::newRow("arrows move the window selection") << "Ctrl+F;Tab;Tab;Right"
                                                      << "window 1|sel 1|-,-|none|mode 0";
    QTest::newRow("arrows stop at the last visible window") << "Ctrl+F;Tab;Tab;Right;Right;Left;Left;Left"
                                                            << "window 0|sel 0|-,-|none|mode 0";
    QTest::newRow("arrows move along the cards") << "Ctrl+F;Tab;Tab;Tab;Tab;Right;Right;Left"
                                                 << "card 1|sel 0|-,-|none|mode 0";
    QTest::newRow("End reaches the oldest card") << "Ctrl+F;Tab;Tab;Tab;Tab;End"
                                                 << "card 2|sel 0|-,-|none|mode 0";
    QTest::newRow("Tab comes back to the card last focused") << "Ctrl+F;Tab;Tab;Tab;Tab;Right;Shift+Tab;Tab"
                                                             << "card 1|sel 0|-,-|none|mode 0";
    QTest::newRow("PTZ shortcut opens the panel on the selected window") << strStartA + ";Ctrl+Shift+P"
                                                                         << "m_pPTZControlWnd|sel 0|A,-|ptz|mode 1";
    QTest::newRow("Escape closes the PTZ panel, the window takes the focus") << strStartA + ";Ctrl+Shift+P;Esc"
                                                                             << "window 0|sel 0|A,-|none|mode 0";
    QTest::newRow("PTZ shortcut again closes the panel") << strStartA + ";Ctrl+Shift+P;Ctrl+Shift+P"
                                                         << "window 0|sel 0|A,-|none|mode 0";
    QTest::newRow("digital zoom shortcut") << strStartA + ";Ctrl+Shift+D"
                                           << "window 0|sel 0|A,-|none|mode 2";
    QTest::newRow("Escape leaves digital zoom") << strStartA + ";Ctrl+Shift+D;Esc"
                                                << "window 0|sel 0|A,-|none|mode 0";
    QTest::newRow("shortcut on an idle window does nothing") << "Ctrl+F;Tab;Tab;Ctrl+Shift+P"
                                                             << "window 0|sel 0|-,-|none|mode 0";
    QTest::newRow("Escape closes the setup dialog") << "setup;Esc;activate"
                                                    << "window 0|sel 0|-,-|none|mode 0";
}

void tst_LinkageDlgKeyboard::keyboardFlow()
{
    QFETCH(QString, strKeys);
    QFETCH(QString, strSeen);
    CLinkageSnapAlarmDlg dlg;
    dlg.FitToScreen(QRect(0, 0, 1280, 720));
    for (int i = 0; i < 3; ++i)
        dlg.findChild<CShowCardArea*>()->AddCard(new CLinkageCardWidget(&dlg));
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    for (const QString& strStep : strKeys.split(';'))
        Press(dlg, strStep);
    QCOMPARE(Observe(dlg), strSeen);
    // The focus mark is on the focused window, scene picture or card, and nowhere else.
    QWidget* pFocus = QApplication::focusWidget();
    for (QWidget* pWidget : dlg.findChildren<QWidget*>())
        if (pWidget->property("bFocused").toBool())
            QCOMPARE(pWidget, pFocus);
    const bool bMarked = QRegularExpression("^(window|card|m_pWidgetScenePic)").match(strSeen).hasMatch();
    QCOMPARE(pFocus && pFocus->property("bFocused").toBool(), bMarked);
}

QTEST_MAIN(tst_LinkageDlgKeyboard)
#include "tst_linkagedlgkeyboard.moc"
