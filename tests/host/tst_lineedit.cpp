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
    QTest::addColumn<bool>("reported");
    QTest::newRow("left click") << int(Qt::LeftButton) << false << true << true;
    QTest::newRow("left click on read-only field") << int(Qt::LeftButton) << true << true << true;
    QTest::newRow("right click") << int(Qt::RightButton) << false << true << false;
    QTest::newRow("left click on disabled field") << int(Qt::LeftButton) << true << false << false;
}

void tst_LineEdit::clickReportsCursorPosition()
{
    QFETCH(int, button);
    QFETCH(bool, readOnly);
    QFETCH(bool, enabled);
    QFETCH(bool, reported);
    CLineEdit edit;
    edit.setText(QStringLiteral("/some/folder/path"));
    edit.setReadOnly(readOnly);
    edit.setEnabled(enabled);
    edit.resize(300, 30);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QSignalSpy spy(&edit, &CLineEdit::SignalCursorPosition);
    QTest::mouseClick(&edit, Qt::MouseButton(button), Qt::NoModifier, QPoint(290, 15));
    QCOMPARE(spy.count(), int(reported));
    if (reported)
        QCOMPARE(spy.at(0).at(0).toInt(), edit.text().size()); // right of the text: its end
}

QTEST_MAIN(tst_LineEdit)
#include "tst_lineedit.moc"
