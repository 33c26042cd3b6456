#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace
{
// The built program, beside the tests' folder in the build tree.
QString builtProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/quorel");
}

// Whether the process has its own handler for the signal (Linux reports the caught set in hex).
bool catches(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}

template<typename Condition>
bool waitFor(Condition condition)
{
    const QDeadlineTimer deadline(20000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}
}

class TestProgramLifetime : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;

    QString iniPath() const { return m_dir->filePath(QStringLiteral("quorel.ini")); }

    // A copy of the program in its own folder, so that its settings file and lock are the test's.
    void start(QProcess &process)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setProgram(m_program);
        process.start();
        QVERIFY(process.waitForStarted());
        QVERIFY(waitFor([&] { return catches(process.processId(), SIGTERM); }));
    }

    static void stop(QProcess &process, int signalNumber)
    {
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

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
        start(program);
        stop(program, signalNumber);
        QFile ini(iniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().startsWith(";Tessaly"));
    }

    void secondCopyIsRefusedAndSavesNothing()
    {
        QProcess first;
        start(first);
        QVERIFY(waitFor([&] { return QFile::exists(iniPath() + QStringLiteral(".lock")); }));
        QProcess second;
        start(second);
        // The refused copy waits on its message; the signal ends it there.
        stop(second, SIGTERM);
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(first.state(), QProcess::Running);
        stop(first, SIGTERM);
        QVERIFY(QFile::exists(iniPath()));
    }
};

QTEST_GUILESS_MAIN(TestProgramLifetime)
#include "test_ProgramLifetime.moc"
