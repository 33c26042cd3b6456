#include "platform/Cp932.h"
#include "platform/FileIO.h"
#include "support/FailureText.h"
#include "support/FileBytes.h"
#include "support/PeakMemory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace quorel::platform;
using namespace Qt::StringLiterals;
using quorel::tests::contentsOf;
using quorel::tests::putBytes;

namespace
{
// Keeps what the window would keep of the settings' values.
class KeepingTarget final : public quorel::core::SettingsFormat::Target
{
public:
    QStringList kept;
    void readList(quorel::core::SettingsFormat::ListField, const QStringList &entries) override { kept += entries; }
    void readText(quorel::core::SettingsFormat::TextField, const QString &text) override { kept += text; }
    void readCheck(quorel::core::SettingsFormat::CheckField, std::optional<quorel::core::CheckState>) override { }
};
}

class TestFileIO : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString pathOf(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    void writeTextGivesCp932WithoutBom()
    {
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(FileIO::writeText(path, u"画像\r\nb\r\n"_s).ok());
        QCOMPARE(contentsOf(path), QByteArray("\x89\xe6\x91\x9c\r\nb\r\n"));
    }

    // Where CP932 has no place for a character, the file keeps what it held and the failure says
    // why; a pair split between text and tail is one character all the same.
    void writeTextRefusesMissingCharacter()
    {
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(putBytes(path, "old"));
        const quorel::core::Result<> written
            = FileIO::writeText(path, u"a"_s + QChar(0xD83D), QString(QChar(0xDE00)) + u"\r\n"_s);
        QVERIFY(!written);
        QCOMPARE(written.error().reason, quorel::core::Reason::NotInCodePage);
        QCOMPARE(written.error().action, quorel::core::Action::WriteFile);
        QCOMPARE(written.error().subject, path);
        QCOMPARE(contentsOf(path), QByteArray("old"));
    }

    // The tail is encoded as if it were part of the text, however the text falls into pieces.
    void writeTextWithTailIsOneText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tail");
        QTest::newRow("page and line end") << u"画像"_s << u"\r\n"_s;
        QTest::newRow("longer than many pieces") << u"画像a"_s.repeated(70000) << u"\r\n"_s;
        QTest::newRow("no tail") << u"b画"_s << QString();
    }

    void writeTextWithTailIsOneText()
    {
        QFETCH(QString, text);
        QFETCH(QString, tail);
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(FileIO::writeText(path, text, tail).ok());
        QCOMPARE(contentsOf(path), Cp932::encode(text + tail).value());
    }

    void writeReplacesLongerFileWhole()
    {
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(putBytes(path, QByteArray(1000, 'x')));
        QVERIFY(FileIO::writeWhole(path, "ab").ok());
        QCOMPARE(contentsOf(path), QByteArray("ab"));
    }

    void linkIsWrittenThrough()
    {
        const QString file = pathOf(u"real.htm"_s);
        const QString link = pathOf(u"link.htm"_s);
        QVERIFY(putBytes(file, "old"));
        QVERIFY(QFile::link(file, link));
        QVERIFY(FileIO::writeWhole(link, "new").ok());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contentsOf(file), QByteArray("new"));
    }

    void failedWriteLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quorel::core::Reason>("reason");
        QTest::newRow("missing folder") << u"missing/page.htm"_s << quorel::core::Reason::FolderMissing;
        QTest::newRow("folder in place of the file") << u"sub"_s << quorel::core::Reason::FolderInTheWay;
    }

    void failedWriteLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(quorel::core::Reason, reason);
        QVERIFY(QDir(m_dir.path()).mkpath(u"sub"_s));
        const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const QString path = pathOf(name);
        const quorel::core::Result<> written = FileIO::writeText(path, u"text"_s);

        QVERIFY(!written);
        QCOMPARE(written.error().reason, reason);
        QCOMPARE(written.error().action, quorel::core::Action::WriteFile);
        QCOMPARE(written.error().subject, QDir::toNativeSeparators(path));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(QDir(pathOf(u"sub"_s)).isEmpty());
    }

    void readOnlyFileIsKept()
    {
        const QString path = pathOf(u"kept.htm"_s);
        QVERIFY(putBytes(path, "old"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
        if (QFileInfo(path).isWritable())
            QSKIP("Permission bits do not stop this user's writes.");
        QVERIFY(!FileIO::writeWhole(path, "new"));
        QCOMPARE(contentsOf(path), QByteArray("old"));
    }

    void readTextLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("CR before CR LF") << QByteArray("a\r\r\nb") << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("LF before CR") << QByteArray("a\n\rb") << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\na\r\n") << QStringList{QString(), QString(), u"a"_s};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("kanji") << QByteArray("\x89\xe6\x91\x9c\r\n") << QStringList{u"画像"_s};
        QTest::newRow("broken lead byte keeps its line end")
            << QByteArray("a\x81\r\nb") << QStringList{u"a\uFFFD"_s, u"b"_s};
        QTest::newRow("UTF-8 after its mark")
            << QByteArray("\xef\xbb\xbf;\xe3\x80\x9c\r\nb") << QStringList{u";〜"_s, u"b"_s};
        QTest::newRow("mark alone") << QByteArray("\xef\xbb\xbf") << QStringList();
        QTest::newRow("typed U+FEFF after the mark") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf"
                                                                   "a\r\n\xef\xbb\xbf"
                                                                   "b")
                                                     << QStringList{u"\uFEFFa"_s, u"\uFEFFb"_s};
    }

    void readTextLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        const QString path = pathOf(u"quorel.ini"_s);
        QVERIFY(putBytes(path, bytes));
        QCOMPARE(FileIO::readTextLines(path).value(), lines);
    }

    // A gigabyte of one endless line, or of comments, costs the memory of a line and the time of a read.
    void hugeSettingsFileIsReadInBoundedTimeAndMemory_data()
    {
        QTest::addColumn<QByteArray>("repeated"); // empty for a hole
        QTest::newRow("sparse") << QByteArray();
        QTest::newRow("comments") << QByteArray(";Tessaly\x8d\xec\x90\xac comment\r\n");
    }

    void hugeSettingsFileIsReadInBoundedTimeAndMemory()
    {
        QFETCH(QByteArray, repeated);
        constexpr qint64 size = qint64(1) << 30;
        const QString path = pathOf(u"quorel.ini"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (repeated.isEmpty()) {
            QVERIFY(file.resize(size));
        } else {
            const QByteArray piece = repeated.repeated(int((1 << 20) / repeated.size()));
            while (file.size() < size)
                QVERIFY(file.write(piece) == piece.size());
        }
        QVERIFY(file.seek(file.size()));
        QVERIFY(file.write(Cp932::encode(u"\r\n[開始]\r\n7\r\n").value()) > 0);
        file.close();
        if (quorel::tests::peakResidentSinceLast() < 0)
            QSKIP("The system shows no peak memory that can be reset.");
        const qint64 before = quorel::tests::peakResidentSinceLast();
        QElapsedTimer timer;
        timer.start();

        auto lines = FileIO::TextLines::open(path, 2 * quorel::core::SettingsFormat::maxSingleValueUnits);
        QVERIFY(lines.ok());
        KeepingTarget target;
        read(**lines, target);

        const qint64 elapsed = timer.elapsed();
        const qint64 growth = quorel::tests::peakResidentSinceLast() - before;
        QCOMPARE(target.kept, QStringList{u"7"_s});
        QVERIFY2(growth < 100 << 20, qPrintable(u"peak grew by %1 bytes"_s.arg(growth)));
        qInfo("%lld ms, peak grew by %lld bytes", elapsed, growth);
#ifndef __SANITIZE_ADDRESS__
        // About a second on a quiet machine; a reader that went back over what it had read would
        // take minutes, so the bound leaves room for a machine busy with other tests.
        QVERIFY2(elapsed < 10'000, qPrintable(u"%1 ms"_s.arg(elapsed)));
#endif
    }

    void readMissingFileGivesNothing()
    {
        QVERIFY(!FileIO::readTextLines(pathOf(u"none.ini"_s)));
    }
};

QTEST_GUILESS_MAIN(TestFileIO)
#include "test_FileIO.moc"
