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
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("result");
    QTest::newRow("quote doubled") << "O'Brien's"
                                   << "'"
                                   << "''"
                                   << "O''Brien''s";
    QTest::newRow("replacement holds the pattern") << "aaa"
                                                   << "a"
                                                   << "aa"
                                                   << "aaaaaa";
    QTest::newRow("overlapping pattern taken left to right") << "aaa"
                                                             << "aa"
                                                             << "b"
                                                             << "ba";
    QTest::newRow("empty pattern leaves text") << "abc"
                                               << ""
                                               << "x"
                                               << "abc";
    QTest::newRow("removal") << "a-b-c"
                             << "-"
                             << ""
                             << "abc";
}

void tst_StringUtil::replace()
{
    QFETCH(QString, text);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, result);
    QCOMPARE(StringUtil::StringReplace(text.toStdString(), from.toStdString(), to.toStdString()), result.toStdString());
}

void tst_StringUtil::replaceInvalidChar_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("every forbidden character") << QByteArray("\\/:*?\"<>|") << QByteArray("_________");
    QTest::newRow("control characters, NUL and DEL") << QByteArray("a\tb\nc\0d\x7f", 8) << QByteArray("a_b_c_d_");
    const QByteArray baUtf8("\xE6\x91\x84\xE5\x83\x8F 1");
    QTest::newRow("UTF-8 sequences untouched") << baUtf8 << baUtf8;
    QTest::newRow("right-to-left override and C1 control")
        << QByteArray("Gate\xE2\x80\xAEgpj.exe\xC2\x85") << QByteArray("Gate_gpj.exe_");
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
