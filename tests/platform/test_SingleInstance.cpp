#include "platform/QtDesktop.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

using namespace quorel::platform;

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
    void init() { QFile::remove(lockPath()); }

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
