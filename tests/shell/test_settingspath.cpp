// Where the settings file goes: beside the executable when its folder can be written (a build or a
// portable copy), otherwise in the user's configuration folder (an installed program in /usr/bin).
#include "shell/SettingsFile.h"

#include <QDir>
#include <QTest>

class TestSettingsPath : public QObject {
    Q_OBJECT
private slots:
    void placedByTheFoldersWritability_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("expected");
        QTest::newRow("writable folder") << "/opt/quorvane/quorvane-client" << true << "/home/u/.config/quorvane-client"
                                         << "/opt/quorvane/quorvane-client.ini";
        QTest::newRow("installed") << "/usr/bin/quorvane-client" << false << "/home/u/.config/quorvane-client"
                                   << "/home/u/.config/quorvane-client/quorvane-client.ini";
        QTest::newRow("dotted base name") << "/usr/bin/quorvane.client.bin" << false << "/cfg"
                                          << "/cfg/quorvane.client.ini";
        QTest::newRow("no config folder")
            << "/usr/bin/quorvane-client" << false << "" << QDir::home().filePath("quorvane-client.ini");
    }
    void placedByTheFoldersWritability() {
        QFETCH(QString, executable);
        QFETCH(bool, writable);
        QFETCH(QString, config);
        QFETCH(QString, expected);
        QCOMPARE(SettingsFilePathFor(executable, writable, config), expected);
    }
};

QTEST_GUILESS_MAIN(TestSettingsPath)
#include "test_settingspath.moc"
