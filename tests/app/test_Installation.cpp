#include "support/ProgramProcess.h"
#include "ui/WindowIcon.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace quorel;

// This build tree installed into a temporary prefix, as `cmake --install` puts it on a system.
class TestInstallation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

    QString installed(const QString &path) const { return m_prefix.filePath(path); }

    static QByteArray runToEnd(QProcess &process, const QString &program, const QStringList &arguments)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(60000))
            return "(did not finish)";
        return process.readAll();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        const QByteArray output
            = runToEnd(install, QStringLiteral(QUOREL_CMAKE_COMMAND),
                       {u"--install"_s, QStringLiteral(QUOREL_BUILD_DIR), u"--prefix"_s, m_prefix.path()});
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, output.constData());
    }

    void desktopEntryValidates()
    {
        QProcess validate;
        const QByteArray output
            = runToEnd(validate, u"desktop-file-validate"_s, {installed(u"share/applications/quorel.desktop"_s)});
        QCOMPARE(validate.exitCode(), 0);
        QCOMPARE(output, QByteArray()); // not even a hint
    }

    void themeIconsAreTheWindowIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16 x 16") << 16;
        QTest::newRow("32 x 32") << 32;
    }

    void themeIconsAreTheWindowIcon()
    {
        QFETCH(int, size);
        const QImage file(installed(u"share/icons/hicolor/%1x%1/apps/quorel.png"_s.arg(size)));
        QCOMPARE(file.size(), QSize(size, size));
        QCOMPARE(file.convertToFormat(QImage::Format_RGB32),
                 ui::WindowIcon::image(size).convertToFormat(QImage::Format_RGB32));
    }

    void installedProgramStartsAndSavesOnClose()
    {
        QProcess program;
        QVERIFY(tests::ProgramProcess::startOffscreen(program, installed(u"bin/quorel"_s)));
        QVERIFY(tests::ProgramProcess::endsCleanlyOn(program, SIGTERM));
        // The prefix can be written, so the copy keeps its file beside itself.
        QFile ini(installed(u"bin/quorel.ini"_s));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().startsWith(";Tessaly"));
    }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "test_Installation.moc"
