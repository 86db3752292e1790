// Sign-in: wrong passwords slow down per user name and per address (counted in the database, so
// every server process on it sees them), an unknown name costs what a known one costs, stored
// hashes are upgraded to today's strength at the next successful check, and the cache of verified
// passwords never accepts a password that any process has changed. In-process, on the engine under
// test (a real SQLite file or PostgreSQL database), with the throttle's clock in the test's hand.
#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "server/PasswordHash.h"
#include "server/PlatformService.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/WireClient.h"

#include <QTest>

#include <memory>

namespace {

const QString Pass = QStringLiteral("secret123");

// One server process as far as sign-in is concerned: its own connections and its own caches.
struct Process {
    std::unique_ptr<ServerDb> db;
    std::unique_ptr<PlatformService> service;
    Process(const QString& path, const std::int64_t* clock)
        : db(std::make_unique<ServerDb>(path)),
          service(std::make_unique<PlatformService>(*db, [clock] { return *clock; })) {}

    nlohmann::json call(TCommand command, const QString& user, const QString& password,
                        const std::vector<CommandValue>& values = {}, const std::string& address = "10.0.0.1") {
        RequestRecord record;
        record.address = address;
        return service->handleLists(WireClient::headLines(command, user, password), BuildDataList(command, values),
                                    &record);
    }
    QString login(const QString& user, const QString& password, const std::string& address = "10.0.0.1") {
        const nlohmann::json reply = call(cmLogin, user, password, {}, address);
        return reply.value("returncode", 0) == 1 ? QStringLiteral("ok")
                                                 : QString::fromStdString(reply.value("returnmsg", ""));
    }
    // As the HTTP side calls it: the form body, with the hall's cache in the way.
    QString hallPage(const QString& user, const QString& password) {
        const std::string body =
            "head=" +
            EncipherToHex(CommaText(WireClient::headLines(cmGetTaskCenterList, user, password)), ChannelKey)
                .toStdString() +
            "&data=" + EncipherToHex(CommaText(BuildDataList(cmGetTaskCenterList, {1, 0})), ChannelKey).toStdString();
        RequestRecord record;
        record.address = "10.0.0.1";
        const ReplyObject reply = ParseReply(QByteArray::fromStdString(service->handleFormBody(body, &record)));
        return ReplyReturnCode(reply) == 1 ? QStringLiteral("ok") : ReplyReturnMsg(reply).value_or(QString());
    }
    void signUp(const QString& name) {
        QCOMPARE(call(cmRegister, QString(), QString(),
                      {name, Pass, QStringLiteral("1"), QStringLiteral("s"), QStringLiteral("x"), QString()})
                     .value("returncode", 0),
                 1);
    }
    QString storedHash(const QString& name) {
        ConnectionLease lease = db->acquire();
        Statement stmt = lease->prepare("SELECT passhash FROM users WHERE username = ?");
        stmt.bind(1, name);
        return stmt.step() ? stmt.text(0) : QString();
    }
};

const QString Wrong = QStringLiteral("用户名或密码错误");
QString waitText(int seconds) { return QStringLiteral("密码错误次数过多，请%1秒后再试").arg(seconds); }

} // namespace

class TestSignIn : public QObject {
    Q_OBJECT

    std::vector<std::unique_ptr<TestDatabase>> databases;
    std::int64_t clock = 1'900'000'000;

    QString freshDatabase() {
        databases.push_back(std::make_unique<TestDatabase>());
        return databases.back()->location();
    }

private slots:
    void init() { SetPasswordIterationsForTesting(1000); }

    void waitGrowsAfterAFewFailures_data() {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("nameWait");
        QTest::addColumn<int>("addressWait");
        QTest::newRow("none") << 0 << 0 << 0;
        QTest::newRow("three go free") << 3 << 0 << 0;
        QTest::newRow("fourth") << 4 << 1 << 0;
        QTest::newRow("fifth doubles") << 5 << 2 << 0;
        QTest::newRow("eighth") << 8 << 16 << 0;
        QTest::newRow("eleventh") << 11 << 128 << 1;
        QTest::newRow("capped") << 40 << 900 << 900;
        QTest::newRow("far beyond") << 100000 << 900 << 900;
    }
    void waitGrowsAfterAFewFailures() {
        QFETCH(int, failures);
        QFETCH(int, nameWait);
        QFETCH(int, addressWait);
        QCOMPARE(SignInThrottle::waitAfter(SignInThrottle::NamePolicy, failures), nameWait);
        QCOMPARE(SignInThrottle::waitAfter(SignInThrottle::AddressPolicy, failures), addressWait);
    }

    void wrongPasswordsSlowDownANameUntilASuccess() {
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("alice"));
        for (int i = 0; i < 3; ++i) QCOMPARE(server.login(QStringLiteral("alice"), QStringLiteral("guess")), Wrong);
        // The fourth failure's wait: even the right password is not checked before it is over.
        QCOMPARE(server.login(QStringLiteral("alice"), QStringLiteral("guess")), Wrong);
        const std::uint64_t before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("alice"), Pass), waitText(1));
        QCOMPARE(PasswordIterationsRun(), before);
        // From another address too: the name is what is guessed at.
        QCOMPARE(server.login(QStringLiteral("alice"), Pass, "10.9.9.9"), waitText(1));
        clock += 1;
        QCOMPARE(server.login(QStringLiteral("alice"), QStringLiteral("guess")), Wrong);
        QCOMPARE(server.login(QStringLiteral("alice"), Pass), waitText(2));
        clock += 2;
        // A success clears the count: three failures go free again.
        QCOMPARE(server.login(QStringLiteral("alice"), Pass), QStringLiteral("ok"));
        for (int i = 0; i < 3; ++i) QCOMPARE(server.login(QStringLiteral("alice"), QStringLiteral("guess")), Wrong);
        QCOMPARE(server.login(QStringLiteral("alice"), Pass), QStringLiteral("ok"));
        // Every command carries the password, and every command is held back the same way.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(
                server.call(cmGetBasicInfo, QStringLiteral("alice"), QStringLiteral("guess")).value("returnmsg", ""),
                Wrong.toStdString());
        QCOMPARE(server.call(cmGetBasicInfo, QStringLiteral("alice"), Pass).value("returnmsg", ""),
                 waitText(1).toStdString());
        // Counts an hour old are forgotten.
        clock += 3601;
        QCOMPARE(server.login(QStringLiteral("alice"), QStringLiteral("guess")), Wrong);
        QCOMPARE(server.login(QStringLiteral("alice"), Pass), QStringLiteral("ok"));
    }

    void aWrongPasswordCountsOnceOnTheHallsCachedPath() {
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("henry"));
        QCOMPARE(server.hallPage(QStringLiteral("henry"), Pass), QStringLiteral("ok")); // the page is cached now
        for (int i = 0; i < 3; ++i) QCOMPARE(server.hallPage(QStringLiteral("henry"), QStringLiteral("guess")), Wrong);
        QCOMPARE(server.hallPage(QStringLiteral("henry"), Pass), QStringLiteral("ok"));
    }

    void oneAddressGuessingManyNamesSlowsDown() {
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("bob"));
        // Ten names, one guess each: each name is below its own limit, the address reaches its own.
        for (int i = 0; i < 10; ++i)
            QCOMPARE(server.login(QStringLiteral("user%1").arg(i), QStringLiteral("guess"), "10.6.6.6"), Wrong);
        QCOMPARE(server.login(QStringLiteral("user10"), QStringLiteral("guess"), "10.6.6.6"), Wrong);
        QCOMPARE(server.login(QStringLiteral("bob"), Pass, "10.6.6.6"), waitText(1));
        // Bob from his own address is not held back.
        QCOMPARE(server.login(QStringLiteral("bob"), Pass, "10.7.7.7"), QStringLiteral("ok"));
    }

    void countsAreSharedBetweenProcesses() {
        const QString path = freshDatabase();
        Process first(path, &clock);
        Process second(path, &clock);
        first.signUp(QStringLiteral("carol"));
        for (int i = 0; i < 2; ++i) QCOMPARE(first.login(QStringLiteral("carol"), QStringLiteral("guess")), Wrong);
        for (int i = 0; i < 2; ++i) QCOMPARE(second.login(QStringLiteral("carol"), QStringLiteral("guess")), Wrong);
        QCOMPARE(first.login(QStringLiteral("carol"), Pass), waitText(1));
        QCOMPARE(second.login(QStringLiteral("carol"), Pass), waitText(1));
        clock += 1;
        // A success in one process clears what the other counted.
        QCOMPARE(second.login(QStringLiteral("carol"), Pass), QStringLiteral("ok"));
        for (int i = 0; i < 3; ++i) QCOMPARE(first.login(QStringLiteral("carol"), QStringLiteral("guess")), Wrong);
        QCOMPARE(first.login(QStringLiteral("carol"), Pass), QStringLiteral("ok"));
    }

    void unknownNameCostsWhatAKnownOneCosts() {
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("dave"));
        std::uint64_t before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("dave"), QStringLiteral("guess")), Wrong);
        const std::uint64_t known = PasswordIterationsRun() - before;
        before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("nobody-here"), QStringLiteral("guess")), Wrong);
        const std::uint64_t unknown = PasswordIterationsRun() - before;
        QCOMPARE(known, std::uint64_t(CurrentPasswordIterations()));
        QCOMPARE(unknown, known);
        // A verified password is checked again only from the cache.
        QCOMPARE(server.login(QStringLiteral("dave"), Pass), QStringLiteral("ok"));
        before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("dave"), Pass), QStringLiteral("ok"));
        QCOMPARE(PasswordIterationsRun(), before);
    }

    void olderHashesAreUpgradedAtTheNextSuccess() {
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("erin"));
        // A hash as older servers stored it: bare hex, made with 20,000 iterations.
        SetPasswordIterationsForTesting(LegacyPasswordIterations);
        const PasswordRecord legacy = HashNewPassword(Pass);
        const QString bare = legacy.hash.section(u':', 2);
        QCOMPARE(bare.size(), 64);
        {
            ConnectionLease lease = server.db->acquire();
            Statement stmt = lease->prepare("UPDATE users SET passsalt = ?, passhash = ? WHERE username = 'erin'");
            stmt.bind(1, legacy.salt).bind(2, bare).exec();
        }
        SetPasswordIterationsForTesting(30000);
        QCOMPARE(server.login(QStringLiteral("erin"), QStringLiteral("guess")), Wrong);
        QCOMPARE(server.storedHash(QStringLiteral("erin")), bare);
        const std::uint64_t before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("erin"), Pass), QStringLiteral("ok"));
        // Checked at the old strength, stored anew at today's.
        QCOMPARE(PasswordIterationsRun() - before, std::uint64_t(LegacyPasswordIterations + 30000));
        QVERIFY2(server.storedHash(QStringLiteral("erin")).startsWith(QLatin1String("pbkdf2-sha256:30000:")),
                 qPrintable(server.storedHash(QStringLiteral("erin"))));
        // The new hash holds the same password, and a fresh process (no cache) checks it.
        Process restarted(server.db->location(), &clock);
        QCOMPARE(restarted.login(QStringLiteral("erin"), Pass), QStringLiteral("ok"));
        QCOMPARE(restarted.login(QStringLiteral("erin"), QStringLiteral("guess")), Wrong);
    }

    void aPasswordChangedByAnotherProcessIsNeverAcceptedAgain() {
        const QString path = freshDatabase();
        Process first(path, &clock);
        Process second(path, &clock);
        first.signUp(QStringLiteral("frank"));
        QCOMPARE(first.login(QStringLiteral("frank"), Pass), QStringLiteral("ok")); // now in first's cache
        QCOMPARE(second.call(cmModifyPassword, QStringLiteral("frank"), Pass, {QStringLiteral("newpass1")})
                     .value("returncode", 0),
                 1);
        QCOMPARE(first.login(QStringLiteral("frank"), Pass), Wrong);
        QCOMPARE(first.login(QStringLiteral("frank"), QStringLiteral("newpass1")), QStringLiteral("ok"));
    }

    // The real strength, once: 600,000 iterations for a new hash, for a check, and for an unknown name.
    void todaysIterationCount() {
        SetPasswordIterationsForTesting(PasswordIterations);
        Process server(freshDatabase(), &clock);
        server.signUp(QStringLiteral("grace"));
        QVERIFY(server.storedHash(QStringLiteral("grace")).startsWith(QLatin1String("pbkdf2-sha256:600000:")));
        std::uint64_t before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("grace"), QStringLiteral("guess")), Wrong);
        QCOMPARE(PasswordIterationsRun() - before, std::uint64_t(600000));
        before = PasswordIterationsRun();
        QCOMPARE(server.login(QStringLiteral("nobody"), QStringLiteral("guess")), Wrong);
        QCOMPARE(PasswordIterationsRun() - before, std::uint64_t(600000));
        QCOMPARE(server.login(QStringLiteral("grace"), Pass), QStringLiteral("ok"));
    }
};

QTEST_GUILESS_MAIN(TestSignIn)
#include "test_signin.moc"
