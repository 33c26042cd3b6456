#include "desktop/QtDesktop.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <QDir>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include <fcntl.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorel::desktop;

namespace
{
// A process number that no running process has.
qint64 unusedPid()
{
    for (qint64 pid = 4194000; pid > 1000; --pid) {
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            return pid;
    }
    return -1;
}
}

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString lockPath() const { return m_dir.filePath(QStringLiteral("quorel.ini.lock")); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(lockPath());
        QDir().rmdir(lockPath());
    }

    void secondCopyIsRefusedWhileTheFirstRuns()
    {
        auto first = std::make_unique<QtDesktop>();
        QVERIFY(!first->anotherInstanceRunning(lockPath()));
        QtDesktop second;
        QVERIFY(second.anotherInstanceRunning(lockPath()));
        first.reset();
        QtDesktop third;
        QVERIFY(!third.anotherInstanceRunning(lockPath()));
    }

    void lockOfACrashedCopyDoesNotRefuse()
    {
        // A lock as a copy leaves it, but naming a process that is gone.
        const QString sample = m_dir.filePath(QStringLiteral("sample.lock"));
        QByteArray contents;
        {
            QLockFile lock(sample);
            QVERIFY(lock.tryLock(0));
            QFile file(sample);
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents = file.readAll();
        }
        const qint64 pid = unusedPid();
        QVERIFY(pid > 0);
        contents = QByteArray::number(pid) + contents.mid(contents.indexOf('\n'));
        QFile stale(lockPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(contents);
        stale.close();

        QtDesktop next;
        QVERIFY(!next.anotherInstanceRunning(lockPath()));
        QtDesktop after;
        QVERIFY(after.anotherInstanceRunning(lockPath()));
    }

    // Whatever a lock file holds, or whatever stands in its place, only a live holder refuses.
    void leftoverLockDoesNotRefuse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("none") << QStringLiteral("missing") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("file") << QByteArray();
        QTest::newRow("garbage") << QStringLiteral("file") << QByteArray("\x00\xff garbage\n\n\n");
        // A process that lives but holds no lock, as after the number was given to another program.
        QTest::newRow("names a live process")
            << QStringLiteral("file") << QByteArray::number(qint64(::getppid())) + "\nquorel\nhost\n";
        QTest::newRow("folder") << QStringLiteral("folder") << QByteArray();
        QTest::newRow("fifo") << QStringLiteral("fifo") << QByteArray();
        QTest::newRow("read-only file") << QStringLiteral("read-only") << QByteArray("1\n");
        QTest::newRow("link to a fifo") << QStringLiteral("link to fifo") << QByteArray();
        QTest::newRow("dangling link") << QStringLiteral("dangling link") << QByteArray();
    }

    void leftoverLockDoesNotRefuse()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, contents);
        const QString path = lockPath();
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QStringLiteral("link to fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("fifo")), path));
        } else if (kind == QStringLiteral("dangling link")) {
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("nowhere")), path));
        } else if (kind != QStringLiteral("missing")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
            file.close();
            if (kind == QStringLiteral("read-only"))
                QVERIFY(file.setPermissions(QFile::ReadOwner));
        }

        auto first = std::make_unique<QtDesktop>();
        QVERIFY(!first->anotherInstanceRunning(path));
        QtDesktop second;
        QVERIFY(second.anotherInstanceRunning(path));
        first.reset();
        QtDesktop third;
        QVERIFY(!third.anotherInstanceRunning(path));
    }

    // What stands in the lock's place is not opened when it is no file: opening a device can act on
    // it. A pipe shows whether it was opened (a writer waiting for a reader gets one); a link to
    // nothing, whether a file was made where it points.
    void lockOpensNothingButFiles_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("fifo") << false;
        QTest::newRow("link to a fifo") << true;
    }

    void lockOpensNothingButFiles()
    {
        QFETCH(bool, throughLink);
        const QString fifo = m_dir.filePath(QStringLiteral("fifo"));
        QFile::remove(fifo);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (throughLink)
            QVERIFY(QFile::link(fifo, lockPath()));
        const QString path = throughLink ? lockPath() : fifo;
        std::atomic<bool> writerIn = false;
        std::thread writer([&] {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_CLOEXEC);
            writerIn = true;
            ::close(fd);
        });

        bool running = true;
        {
            QtDesktop desktop;
            running = desktop.anotherInstanceRunning(path);
            QTest::qWait(200);
        }
        const bool opened = writerIn;
        // Lets the writer go.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer.join();
        ::close(reader);
        QFile::remove(fifo);
        QVERIFY(!running);
        QVERIFY(!opened);

        const QString nowhere = m_dir.filePath(QStringLiteral("nowhere"));
        QFile::remove(lockPath());
        QVERIFY(QFile::link(nowhere, lockPath()));
        QtDesktop desktop;
        QVERIFY(!desktop.anotherInstanceRunning(lockPath()));
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void copyInAnotherProcessRefusesUntilKilled()
    {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            QtDesktop holder;
            const char answer = holder.anotherInstanceRunning(lockPath()) ? 'n' : 'y';
            (void)!::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char answer = 0;
        QCOMPARE(::read(ready[0], &answer, 1), ssize_t(1));
        ::close(ready[0]);
        QCOMPARE(answer, 'y');
        {
            QtDesktop second;
            QVERIFY(second.anotherInstanceRunning(lockPath()));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QtDesktop after;
        QVERIFY(!after.anotherInstanceRunning(lockPath()));
    }

    void folderWithoutLocksDoesNotRefuse()
    {
        QFile plain(m_dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QtDesktop desktop;
        QVERIFY(!desktop.anotherInstanceRunning(m_dir.filePath(QStringLiteral("plain/quorel.ini.lock"))));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "test_SingleInstance.moc"
