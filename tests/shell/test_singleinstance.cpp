// One copy per user: a second copy is refused; a copy that died does not block the next start.
#include "shell/SingleInstance.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefusedUntilTheFirstEnds() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.lock"));
        SingleInstance first(path);
        QVERIFY(first.acquire());
        SingleInstance second(path);
        QVERIFY(!second.acquire());
        first.release();
        QVERIFY(second.acquire());
    }

    void aKilledCopyLeavesNoLockBehind() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.lock"));
        const pid_t child = fork();
        if (child == 0) {
            SingleInstance held(path);
            _exit(held.acquire() ? 0 : 1); // ends without releasing, as a crash would
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(path));
        SingleInstance next(path);
        QVERIFY(next.acquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
