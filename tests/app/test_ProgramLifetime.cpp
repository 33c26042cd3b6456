#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/ProgramProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

using namespace quorel::tests;
using namespace Qt::StringLiterals;

namespace
{
// The built program, wherever the build tree put it.
QString builtProgram()
{
    return QStringLiteral(QUOREL_PROGRAM);
}

// The same program, downloading what its command line names once its window shows.
QString builtDownloadingProgram()
{
    return QStringLiteral(QUOREL_DOWNLOADING_PROGRAM);
}
}

class TestProgramLifetime : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;

    QString iniPath() const { return m_dir->filePath(QStringLiteral("quorel.ini")); }

private Q_SLOTS:
    void init()
    {
        QVERIFY2(QFile::exists(builtProgram()), "the program is built before its tests");
        m_dir = std::make_unique<QTemporaryDir>();
        m_program = m_dir->filePath(QStringLiteral("quorel"));
        QVERIFY(QFile::copy(builtProgram(), m_program));
    }

    void signalClosesAndSaves_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void signalClosesAndSaves()
    {
        QFETCH(int, signalNumber);
        QProcess program;
        QVERIFY(ProgramProcess::startOffscreen(program, m_program));
        QVERIFY(ProgramProcess::endsCleanlyOn(program, signalNumber));
        QFile ini(iniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().startsWith(";Tessaly"));
    }

    void secondCopyIsRefusedAndSavesNothing()
    {
        QProcess first;
        QVERIFY(ProgramProcess::startOffscreen(first, m_program));
        QVERIFY(ProgramProcess::waitUntil([&] { return QFile::exists(iniPath() + QStringLiteral(".lock")); }));
        QProcess second;
        QVERIFY(ProgramProcess::startOffscreen(second, m_program));
        // The refused copy waits on its message; the signal ends it there.
        QVERIFY(ProgramProcess::endsCleanlyOn(second, SIGTERM));
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(ProgramProcess::endsCleanlyOn(first, SIGTERM));
        QVERIFY(QFile::exists(iniPath()));
    }

    // What a crash, a careless user or a damaged disk may leave: the window still opens and closes.
    void damagedFilesDoNotTrapTheStart_data()
    {
        QTest::addColumn<QString>("iniKind");
        QTest::addColumn<QByteArray>("lockContents");
        QTest::addColumn<bool>("saves");
        QTest::newRow("fifo settings file") << QStringLiteral("fifo") << QByteArray() << false;
        QTest::newRow("empty lock file") << QString() << QByteArray("") << true;
        QTest::newRow("garbage lock file") << QString() << QByteArray("\xff\xfe\n-1\n\n") << true;
    }

    void damagedFilesDoNotTrapTheStart()
    {
        QFETCH(QString, iniKind);
        QFETCH(QByteArray, lockContents);
        QFETCH(bool, saves);
        if (iniKind == QStringLiteral("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
        if (iniKind.isEmpty()) {
            QFile lock(iniPath() + QStringLiteral(".lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(lockContents);
        }
        QProcess program;
        QVERIFY(ProgramProcess::startOffscreen(program, m_program));
        QVERIFY(ProgramProcess::endsCleanlyOn(program, SIGTERM));
        struct stat status = {};
        QCOMPARE(::lstat(QFile::encodeName(iniPath()).constData(), &status), 0);
        QCOMPARE(S_ISREG(status.st_mode), saves);
        if (saves) {
            QFile ini(iniPath());
            QVERIFY(ini.open(QIODevice::ReadOnly));
            QVERIFY(ini.readAll().startsWith(";Tessaly"));
        }
    }

    void folderInPlaceOfTheSettingsFileDoesNotStopTheEnd()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("quorel.ini")));
        QProcess program;
        QVERIFY(ProgramProcess::startOffscreen(program, m_program));
        QVERIFY(ProgramProcess::endsCleanlyOn(program, SIGTERM));
        QVERIFY(QFileInfo(iniPath()).isDir());
    }

    void signalDuringADownloadStopsItAndSaves_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalDuringADownloadStopsItAndSaves()
    {
        QFETCH(int, signalNumber);
        LoopbackServer server;
        server.serve(QStringLiteral("/a"), 200, "first");
        server.trickle(QStringLiteral("/b"), 200);
        server.start();
        // A copy alone in a folder of its own downloads. Beside it another user planted what a
        // program that loads modules from beside itself would run: it must not be touched.
        const QDir programFolder(m_dir->filePath(QStringLiteral("bin")));
        const QString program = programFolder.filePath(QStringLiteral("quorel_downloading"));
        const QString planted = m_dir->filePath(QStringLiteral("lib/quorel/quorel_fetcher.so"));
        QVERIFY(QDir().mkpath(programFolder.path()) && QDir().mkpath(QFileInfo(planted).path()));
        QVERIFY(QFile::copy(builtDownloadingProgram(), program));
        QVERIFY(putBytes(planted, QByteArray(4096, '\xcc')));
        for (const QString &path : {planted, QFileInfo(planted).path(), QFileInfo(planted).path() + u"/.."_s})
            QVERIFY(::chown(QFile::encodeName(path).constData(), ::geteuid() + 4242, gid_t(-1)) == 0 || errno == EPERM);
        QTemporaryDir downloads;
        QProcess running;
        running.setArguments(QStringList{downloads.path(), server.url(QStringLiteral("/a"))}
                             + QStringList(6, server.url(QStringLiteral("/b"))));
        QVERIFY(ProgramProcess::startOffscreen(running, program));
        // The first file written and six trickles under way.
        QVERIFY(ProgramProcess::waitUntil([&] {
            return QFile::exists(downloads.filePath(QStringLiteral("img01.jpg")))
                && server.requestedPaths().count(QStringLiteral("/b")) == 6;
        }));
        QTest::qWait(300);

        QElapsedTimer timer;
        timer.start();
        QVERIFY(ProgramProcess::endsCleanlyOn(running, signalNumber));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(QFile::exists(programFolder.filePath(QStringLiteral("quorel.ini"))));
        QCOMPARE(QDir(downloads.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("img01.jpg")});
    }
};

QTEST_GUILESS_MAIN(TestProgramLifetime)
#include "test_ProgramLifetime.moc"
