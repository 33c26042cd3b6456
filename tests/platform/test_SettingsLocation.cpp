#include "platform/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using quorel::platform::SettingsLocation;

class TestSettingsLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paths_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("programHasFile");
        QTest::addColumn<bool>("configHasFile");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("portable copy") << true << true << true << QStringLiteral("program")
                                       << QStringLiteral("program");
        QTest::newRow("installed, first run")
            << false << true << false << QStringLiteral("config") << QStringLiteral("program");
        QTest::newRow("installed, later runs")
            << false << true << true << QStringLiteral("config") << QStringLiteral("config");
        QTest::newRow("installed, no file anywhere")
            << false << false << false << QStringLiteral("config") << QStringLiteral("program");
    }

    void paths()
    {
        QFETCH(bool, programWritable);
        QFETCH(bool, programHasFile);
        QFETCH(bool, configHasFile);
        QFETCH(QString, written);
        QFETCH(QString, read);

        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        const QString config = dir.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(config));
        if (programHasFile)
            QVERIFY(QFile(program + QStringLiteral("/quorel.ini")).open(QIODevice::WriteOnly));
        if (configHasFile)
            QVERIFY(QFile(config + QStringLiteral("/quorel.ini")).open(QIODevice::WriteOnly));

        const SettingsLocation location{program, config,
                                        [&](const QString &folder) { return folder == program && programWritable; }};
        QCOMPARE(location.writePath(), dir.filePath(written + QStringLiteral("/quorel.ini")));
        QCOMPARE(location.readPath(), dir.filePath(read + QStringLiteral("/quorel.ini")));
        QCOMPARE(location.lockPath(), location.writePath() + QStringLiteral(".lock"));
    }

    void thisProgramsFolderIsTestedByWriting()
    {
        QTemporaryDir dir;
        SettingsLocation location = SettingsLocation::forThisProgram();
        QVERIFY(location.folderWritable(dir.path()));
        QVERIFY(!location.folderWritable(dir.filePath(QStringLiteral("missing"))));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // An installed copy leaves nothing beside itself, also when root (who may write there) runs it.
    void installedFoldersAreNotWritten_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("portable");
        QTest::newRow("packaged") << QStringLiteral("/usr/bin") << false;
        QTest::newRow("local install") << QStringLiteral("/usr/local/bin") << false;
        QTest::newRow("the hierarchy itself") << QStringLiteral("/usr") << false;
        QTest::newRow("trailing separator") << QStringLiteral("/usr/bin/") << false;
        QTest::newRow("unpacked package elsewhere") << QStringLiteral("usr/bin") << true;
    }

    void installedFoldersAreNotWritten()
    {
        QFETCH(QString, folder);
        QFETCH(bool, portable);
        QTemporaryDir dir;
        const QString path = folder.startsWith(u'/') ? folder : dir.filePath(folder);
        if (portable)
            QVERIFY(QDir().mkpath(path));
        SettingsLocation location = SettingsLocation::forThisProgram();
        location.programFolder = path;
        QCOMPARE(location.folderWritable(path), portable);
        QCOMPARE(location.settingsFolder() == path, portable);
    }
};

QTEST_GUILESS_MAIN(TestSettingsLocation)
#include "test_SettingsLocation.moc"
