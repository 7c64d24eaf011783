#include "TesselGUIToolkit/LineEdit.h"

#include <QSignalSpy>
#include <QtTest>

using TesselGUIToolkit::CLineEdit;

class tst_LineEdit : public QObject
{
    Q_OBJECT
private slots:
    void clickReportsCursorPosition_data();
    void clickReportsCursorPosition();
};

void tst_LineEdit::clickReportsCursorPosition_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("signalCount");
    QTest::newRow("left click") << int(Qt::LeftButton) << false << true << 1;
    QTest::newRow("left click on read-only field") << int(Qt::LeftButton) << true << true << 1;
    QTest::newRow("right click") << int(Qt::RightButton) << false << true << 0;
    QTest::newRow("left click on disabled field") << int(Qt::LeftButton) << true << false << 0;
}

void tst_LineEdit::clickReportsCursorPosition()
{
    QFETCH(int, button);
    QFETCH(bool, readOnly);
    QFETCH(bool, enabled);
    QFETCH(int, signalCount);
    CLineEdit edit;
    edit.setText(QStringLiteral("/some/folder/path"));
    edit.setReadOnly(readOnly);
    edit.setEnabled(enabled);
    edit.resize(300, 30);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QSignalSpy spy(&edit, &CLineEdit::SignalCursorPosition);
    QTest::mouseClick(&edit, Qt::MouseButton(button), Qt::NoModifier, QPoint(290, 15));
    QCOMPARE(spy.count(), signalCount);
    if (signalCount)
        QCOMPARE(spy.at(0).at(0).toInt(), edit.text().size()); // right of the text: its end
}

QTEST_MAIN(tst_LineEdit)
#include "tst_lineedit.moc"
