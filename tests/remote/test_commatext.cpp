// Comma text: how a list of name=value lines is written on the wire, and read back.
#include "remote/uCommaText.h"

#include <QTest>

class TestCommaText : public QObject {
    Q_OBJECT

private slots:
    void commaText_data();
    void commaText();
    void splitInvertsCommaText_data();
    void splitInvertsCommaText();
    void splitToleratesMalformedText_data();
    void splitToleratesMalformedText();
    void valueOfLine();
};

void TestCommaText::commaText_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty list") << QStringList() << QString();
    QTest::newRow("one empty line") << QStringList{QString()} << QStringLiteral("\"\"");
    QTest::newRow("two empty lines") << QStringList{QString(), QString()} << QStringLiteral(",");
    QTest::newRow("empty line last") << QStringList{QStringLiteral("a=1"), QString()} << QStringLiteral("a=1,");
    QTest::newRow("plain lines") << QStringList{QStringLiteral("head_command=16"), QStringLiteral("head_clienttype=2")}
                                 << QStringLiteral("head_command=16,head_clienttype=2");
    QTest::newRow("space") << QStringList{QStringLiteral("clientversion=1.0.0.0"),
                                          QStringLiteral("goodskeyword=red dress")}
                           << QStringLiteral("clientversion=1.0.0.0,\"goodskeyword=red dress\"");
    QTest::newRow("comma") << QStringList{QStringLiteral("a=x,y")} << QStringLiteral("\"a=x,y\"");
    QTest::newRow("quote doubled") << QStringList{QStringLiteral("msg=say \"hi\"")}
                                   << QStringLiteral("\"msg=say \"\"hi\"\"\"");
    QTest::newRow("lone quote") << QStringList{QStringLiteral("\"")} << QStringLiteral("\"\"\"\"");
    QTest::newRow("tab") << QStringList{QStringLiteral("a\tb")} << QStringLiteral("\"a\tb\"");
    QTest::newRow("line break") << QStringList{QStringLiteral("a\r\nb")} << QStringLiteral("\"a\r\nb\"");
    QTest::newRow("code 1 quotes") << QStringList{QStringLiteral("a") + QChar(1)} << QStringLiteral("\"a\u0001\"");
    QTest::newRow("code 32 quotes") << QStringList{QStringLiteral(" ")} << QStringLiteral("\" \"");
    // Codes 0, 33 and up never cause quoting on their own.
    QTest::newRow("code 0 plain") << QStringList{QStringLiteral("a") + QChar(0)} << QStringLiteral("a") + QChar(0);
    QTest::newRow("symbols plain") << QStringList{QStringLiteral("p=!#$%&'()*+-./:;<>?@[\\]^_`{|}~\u007F")}
                                   << QStringLiteral("p=!#$%&'()*+-./:;<>?@[\\]^_`{|}~\u007F");
    QTest::newRow("Latin-1 plain") << QStringList{QStringLiteral("n=caf\u00E9\u00A0")}
                                   << QStringLiteral("n=caf\u00E9\u00A0");
    QTest::newRow("Chinese plain") << QStringList{QStringLiteral("username=张三"), QStringLiteral("商品=红色连衣裙")}
                                   << QStringLiteral("username=张三,商品=红色连衣裙");
    QTest::newRow("full-width comma and ideographic space plain")
        << QStringList{QStringLiteral("x=甲，乙\u3000丙")} << QStringLiteral("x=甲，乙\u3000丙");
    QTest::newRow("Chinese with space quotes")
        << QStringList{QStringLiteral("username=张 三")} << QStringLiteral("\"username=张 三\"");
}

void TestCommaText::commaText() {
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QCOMPARE(CommaText(lines), text);
}

void TestCommaText::splitInvertsCommaText_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty list") << QStringList();
    QTest::newRow("one empty") << QStringList{QString()};
    QTest::newRow("two empty") << QStringList{QString(), QString()};
    QTest::newRow("empty first and last") << QStringList{QString(), QStringLiteral("a=1"), QString()};
    QTest::newRow("empty values") << QStringList{QStringLiteral("inviteuserid="), QStringLiteral("qq=")};
    QTest::newRow("quotes") << QStringList{QStringLiteral("\""), QStringLiteral("\"\""), QStringLiteral("a\"b\"")};
    QTest::newRow("commas") << QStringList{QStringLiteral(","), QStringLiteral("a,b,,c"), QStringLiteral(",x")};
    QTest::newRow("spaces") << QStringList{QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("a b  c")};
    QTest::newRow("control characters") << QStringList{QStringLiteral("a\nb"), QStringLiteral("\t"),
                                                       QStringLiteral("x") + QChar(1)};
    QTest::newRow("Chinese") << QStringList{QStringLiteral("goodskeyword=红色 连衣裙"),
                                            QStringLiteral("replymsg=好评，五星"), QStringLiteral("username=张三")};
    QTest::newRow("everything") << QStringList{QStringLiteral("clientversion=1.0.0.0"),
                                               QStringLiteral("replymsg=\"很好\", 说, \"\"再来\"\""), QString(),
                                               QStringLiteral("taskid=T-001"), QStringLiteral("x=\"")};
}

void TestCommaText::splitInvertsCommaText() {
    QFETCH(QStringList, lines);
    QCOMPARE(SplitCommaText(CommaText(lines)), lines);
}

// Text that CommaText never writes (a server may receive anything) is still split without failing.
void TestCommaText::splitToleratesMalformedText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("unterminated quote") << QStringLiteral("a,\"b,c")
                                        << QStringList{QStringLiteral("a"), QStringLiteral("b,c")};
    QTest::newRow("text after closing quote")
        << QStringLiteral("\"a\"b,c") << QStringList{QStringLiteral("ab"), QStringLiteral("c")};
    QTest::newRow("lone quote") << QStringLiteral("\"") << QStringList{QString()};
    QTest::newRow("trailing comma") << QStringLiteral("a,") << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("quote inside unquoted item") << QStringLiteral("a\"b") << QStringList{QStringLiteral("a\"b")};
}

void TestCommaText::splitToleratesMalformedText() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitCommaText(text), lines);
}

void TestCommaText::valueOfLine() {
    const QStringList lines{QStringLiteral("username=张三"), QStringLiteral("user=x"), QStringLiteral("formula=a=b"),
                            QStringLiteral("empty="), QStringLiteral("user=second")};
    bool found = false;
    QCOMPARE(ValueOfLine(lines, QStringLiteral("user"), &found), QStringLiteral("x")); // first match, not "username"
    QVERIFY(found);
    QCOMPARE(ValueOfLine(lines, QStringLiteral("username"), &found), QStringLiteral("张三"));
    QCOMPARE(ValueOfLine(lines, QStringLiteral("formula"), &found), QStringLiteral("a=b"));
    QCOMPARE(ValueOfLine(lines, QStringLiteral("empty"), &found), QString());
    QVERIFY(found);
    QCOMPARE(ValueOfLine(lines, QStringLiteral("missing"), &found), QString());
    QVERIFY(!found);
    QCOMPARE(ValueOfLine(lines, QStringLiteral("userna"), &found), QString());
    QVERIFY(!found);
}

QTEST_GUILESS_MAIN(TestCommaText)
#include "test_commatext.moc"
