// Typed amounts and trimming of the account screens.
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

    // Typed amounts are taken to the nearest fen on their decimal digits.
    void typedAmountsInFen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<qint64>("fen");
        QTest::newRow("whole") << "150" << true << Q_INT64_C(15000);
        QTest::newRow("fraction") << " 12.99\t" << true << Q_INT64_C(1299);
        QTest::newRow("half a fen up") << "12.345" << true << Q_INT64_C(1235);
        QTest::newRow("half a fen, binary below") << "1.005" << true << Q_INT64_C(101);
        QTest::newRow("below half a fen") << "-0.004" << true << Q_INT64_C(0);
        QTest::newRow("leading point") << ".5" << true << Q_INT64_C(50);
        QTest::newRow("trailing point") << "+7." << true << Q_INT64_C(700);
        QTest::newRow("exponent") << "1E-2" << true << Q_INT64_C(1);
        QTest::newRow("negative") << "-5" << true << Q_INT64_C(-500);
        QTest::newRow("largest") << "999999999999999" << true << Q_INT64_C(99999999999999900);
        QTest::newRow("too large") << "1e15" << false << Q_INT64_C(0);
        QTest::newRow("overflow") << "1e999" << false << Q_INT64_C(0);
        QTest::newRow("grouping") << "1 000" << false << Q_INT64_C(0);
        QTest::newRow("sign only") << "-" << false << Q_INT64_C(0);
        QTest::newRow("no exponent digits") << "1e" << false << Q_INT64_C(0);
        QTest::newRow("infinity") << "-inf" << false << Q_INT64_C(0);
        QTest::newRow("comma") << "12,5" << false << Q_INT64_C(0);
        QTest::newRow("empty") << "" << false << Q_INT64_C(0);
    }
    void typedAmountsInFen() {
        QFETCH(QString, typed);
        QFETCH(bool, converts);
        QFETCH(qint64, fen);
        const std::optional<Money> money = TextToMoney(typed);
        QCOMPARE(money.has_value(), converts);
        if (converts) QCOMPARE(money->fen(), fen);
    }
};

QTEST_MAIN(TestAccountInput)
#include "test_accountinput.moc"
