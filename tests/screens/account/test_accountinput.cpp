// Typed amounts, trimming and the general number form of the account screens.
#include "model/uAccountInput.h"

#include <QTest>

class TestAccountInput : public QObject {
    Q_OBJECT
private slots:
    void trimsControlCharactersOnly() {
        QCOMPARE(TrimControls(QStringLiteral("\t 12 \r\n")), QStringLiteral("12"));
        QCOMPARE(TrimControls(QString(QChar(0x1f)) + QStringLiteral("a b") + QChar(0x01)), QStringLiteral("a b"));
        // The ideographic space is not a control character: it stays.
        QCOMPARE(TrimControls(QStringLiteral("\u3000a")), QStringLiteral("\u3000a"));
        QCOMPARE(TrimControls(QStringLiteral("   ")), QString());
    }

    void generalNumberForm_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 150.0 << "150";
        QTest::newRow("fraction") << 12.5 << "12.5";
        QTest::newRow("difference") << 150 - 37.5 << "112.5";
        QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("zero") << 150.0 - 150.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("negative") << -5.25 << "-5.25";
    }
    void generalNumberForm() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(GeneralNumberText(value), text);
    }

    void amountsAsSentAreWholeCents() {
        QCOMPARE(AmountAsSent(12.345), 12.35);
        QCOMPARE(AmountAsSent(100), 100.0);
        QCOMPARE(AmountAsSent(-0.004), 0.0);
        QCOMPARE(TextToAmount(QStringLiteral(".5")), std::optional<double>(0.5));
        QCOMPARE(TextToAmount(QStringLiteral("+7.")), std::optional<double>(7.0));
        QCOMPARE(TextToAmount(QStringLiteral("1E-2")), std::optional<double>(0.01));
        QVERIFY(!TextToAmount(QStringLiteral("1 000")));
        QVERIFY(!TextToAmount(QStringLiteral("-")));
        QVERIFY(!TextToAmount(QStringLiteral("1e")));
        QVERIFY(!TextToAmount(QStringLiteral("-inf")));
        QVERIFY(!TextToAmount(QStringLiteral("12,5")));
    }
};

QTEST_MAIN(TestAccountInput)
#include "test_accountinput.moc"
