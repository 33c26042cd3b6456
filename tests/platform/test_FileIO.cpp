#include "platform/Cp932.h"
#include "platform/FileIO.h"
#include "support/FailureText.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace quorel::platform;
using namespace Qt::StringLiterals;
using quorel::tests::contentsOf;
using quorel::tests::putBytes;

namespace
{ }

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
        QVERIFY(FileIO::writeText(path, u"画像\r\nb한\r\n"_s).ok());
        QCOMPARE(contentsOf(path), QByteArray("\x89\xe6\x91\x9c\r\nb?\r\n"));
    }

    // The tail is encoded as if it were part of the text, however the text falls into pieces.
    void writeTextWithTailIsOneText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tail");
        QTest::newRow("page and line end") << u"画像"_s << u"\r\n"_s;
        QTest::newRow("longer than many pieces") << u"画像a"_s.repeated(70000) << u"\r\n"_s;
        QTest::newRow("pair split between") << u"a"_s + QChar(0xD83D) << QString(QChar(0xDE00)) + u"\r\n"_s;
        QTest::newRow("no tail") << u"b한"_s << QString();
    }

    void writeTextWithTailIsOneText()
    {
        QFETCH(QString, text);
        QFETCH(QString, tail);
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(FileIO::writeText(path, text, tail).ok());
        QCOMPARE(contentsOf(path), Cp932::encode(text + tail));
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
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << u"missing/page.htm"_s << u"保存先のフォルダが見つかりません。"_s;
        QTest::newRow("folder in place of the file") << u"sub"_s << u"同じ名前のフォルダがあります。"_s;
    }

    void failedWriteLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_dir.path()).mkpath(u"sub"_s));
        const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const QString path = pathOf(name);
        const quorel::core::Result<> written = FileIO::writeText(path, u"text"_s);

        QVERIFY(!written);
        QCOMPARE(quorel::tests::failureText(written),
                 u"ファイル「%1」に書き込めませんでした。%2"_s.arg(QDir::toNativeSeparators(path), reason));
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
    }

    void readTextLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        const QString path = pathOf(u"quorel.ini"_s);
        QVERIFY(putBytes(path, bytes));
        QCOMPARE(FileIO::readTextLines(path).value(), lines);
    }

    void readMissingFileGivesNothing() { QVERIFY(!FileIO::readTextLines(pathOf(u"none.ini"_s))); }
};

QTEST_GUILESS_MAIN(TestFileIO)
#include "test_FileIO.moc"
