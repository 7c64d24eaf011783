#include "Fendra/StringUtil.h"

#include <QtTest>

using Fendra::StringUtil;

class tst_StringUtil : public QObject
{
    Q_OBJECT
private slots:
    void replace_data();
    void replace();
    void replaceInvalidChar_data();
    void replaceInvalidChar();
    void localToUtf8KeepsUtf8Text();
};

void tst_StringUtil::replace_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("quote doubled") << QByteArray("O'Brien's") << QByteArray("'") << QByteArray("''")
                                   << QByteArray("O''Brien''s");
    QTest::newRow("replacement holds the pattern") << QByteArray("aaa") << QByteArray("a") << QByteArray("aa")
                                                   << QByteArray("aaaaaa");
    QTest::newRow("overlapping pattern taken left to right") << QByteArray("aaa") << QByteArray("aa")
                                                             << QByteArray("b") << QByteArray("ba");
    QTest::newRow("no occurrence") << QByteArray("path") << QByteArray("'") << QByteArray("''")
                                   << QByteArray("path");
    QTest::newRow("empty pattern leaves text") << QByteArray("abc") << QByteArray("") << QByteArray("x")
                                               << QByteArray("abc");
    QTest::newRow("removal") << QByteArray("a-b-c") << QByteArray("-") << QByteArray("") << QByteArray("abc");
}

void tst_StringUtil::replace()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, result);
    QCOMPARE(QByteArray::fromStdString(StringUtil::StringReplace(text.toStdString(), from.toStdString(),
                                                                 to.toStdString())),
             result);
}

void tst_StringUtil::replaceInvalidChar_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("every forbidden character") << QByteArray("\\/:*?\"<>|") << QByteArray("_________");
    QTest::newRow("control characters and NUL") << QByteArray("a\tb\nc\0d\x7f", 8) << QByteArray("a_b_c_d_");
    QTest::newRow("UTF-8 sequences untouched") << QByteArray("\xE6\x91\x84\xE5\x83\x8F 1")
                                               << QByteArray("\xE6\x91\x84\xE5\x83\x8F 1");
    QTest::newRow("dots and spaces kept") << QByteArray(". .. x") << QByteArray(". .. x");
}

void tst_StringUtil::replaceInvalidChar()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, result);
    QCOMPARE(QByteArray::fromStdString(StringUtil::StringReplaceInvalidChar(text.toStdString())), result);
}

void tst_StringUtil::localToUtf8KeepsUtf8Text()
{
    // The test runs in a UTF-8 locale, so the local encoding is UTF-8.
    const std::string strPath = "/home/\xE5\xBC\xA0/data";
    QCOMPARE(Fendra::LocalToUTF8(strPath), strPath);
}

QTEST_GUILESS_MAIN(tst_StringUtil)
#include "tst_stringutil.moc"
