#include "platform/CurlFetcher.h"
#include "support/LoopbackServer.h"
#include "support/WindowTest.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quorel;
using namespace Qt::StringLiterals;

namespace
{
// A real fetcher that notes whether the download button was enabled during each transfer.
class WatchedFetcher final : public platform::UrlFetcher
{
public:
    WatchedFetcher(QPushButton &button, QList<bool> &enabledDuringFetch)
        : m_button(button)
        , m_enabledDuringFetch(enabledDuringFetch)
    { }

    core::Result<> fetch(const QString &url, const platform::BodySink &sink) override
    {
        // The transfers run on a worker thread; the button is read on its own.
        QMetaObject::invokeMethod(
            &m_button, [this] { m_enabledDuringFetch.append(m_button.isEnabled()); }, Qt::BlockingQueuedConnection);
        return m_fetcher.fetch(url, sink);
    }
    void stop() override { m_fetcher.stop(); }

private:
    platform::CurlFetcher m_fetcher{
        platform::CurlFetcherLimits{std::chrono::milliseconds(2000), 100, std::chrono::seconds(1)}};
    QPushButton &m_button;
    QList<bool> &m_enabledDuringFetch;
};

// The files in the folder and its subfolders, hidden ones too, by their relative paths.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Whether each button of the window takes clicks, in a fixed order.
QList<bool> buttonsEnabled(const QWidget &window)
{
    QList<bool> enabled;
    const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons)
        enabled.append(button->isEnabled());
    return enabled;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}
}

class TestDownloadButton : public tests::WindowTest
{
    Q_OBJECT

    std::unique_ptr<tests::LoopbackServer> server;
    std::unique_ptr<QTemporaryDir> downloads;
    QList<bool> enabledDuringFetch;

    void createList(const QString &head, int first, int last)
    {
        box("baseAddressBox")->setEditText(server->url(u"/pics/"_s));
        box("headBox")->setEditText(head);
        box("tailBox")->setEditText(u".jpg"_s);
        edit("startEdit")->setText(QString::number(first));
        edit("endEdit")->setText(QString::number(last));
        edit("digitsEdit")->setText(u"2"_s);
        QTest::mouseClick(button("createButton"), Qt::LeftButton);
    }

    QString downloaded(const QString &name) const { return downloads->filePath(name); }

private Q_SLOTS:
    void init()
    {
        WindowTest::init();
        enabledDuringFetch.clear();
        server = std::make_unique<tests::LoopbackServer>();
        server->serveEchoUnder(u"/pics/"_s);
        server->cutShort(u"/cut/b"_s, "half an image"_ba);
        server->stall(u"/stalled"_s);
        server->trickle(u"/trickle/b"_s, 200);
        // Answering under /swap/ first puts a file in the place of the folder "target".
        server->serveUnder(u"/swap/"_s, [this](const QString &path) {
            QDir(downloads->path()).rename(u"target"_s, u"moved"_s);
            QFile(downloaded(u"target"_s)).open(QIODevice::WriteOnly);
            return path.toUtf8();
        });
        server->start();
        fake().fetcherFactory
            = [this] { return std::make_unique<WatchedFetcher>(*button("downloadButton"), enabledDuringFetch); };
        downloads = std::make_unique<QTemporaryDir>();
        box("downloadFolderBox")->setEditText(downloads->path());
    }

    void cleanup()
    {
        WindowTest::cleanup();
        server.reset();
    }

    void withoutAListNothingIsFetched_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("before any Create") << false;
        QTest::newRow("every number in the check folder") << true;
    }

    void withoutAListNothingIsFetched()
    {
        QFETCH(bool, create);
        if (create) {
            QFile(downloaded(u"img01.jpg"_s)).open(QIODevice::WriteOnly);
            check("checkFolderCheck")->click();
            box("checkFolderBox")->setEditText(downloads->path());
            createList(u"img"_s, 1, 1);
        }
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QCOMPARE(fake().lastMessageText(), u"リストを作成して下さい"_s);
        QCOMPARE(fake().messages.last().title, u"Tessaly作成"_s);
        QVERIFY(server->requestedPaths().isEmpty());
        QVERIFY(button("downloadButton")->isEnabled());
    }

    void fetchesOnlyWhatTheCheckFolderLetThrough_data()
    {
        QTest::addColumn<bool>("addressOnly");
        QTest::newRow("page") << false;
        QTest::newRow("address list") << true;
    }

    void fetchesOnlyWhatTheCheckFolderLetThrough()
    {
        QFETCH(bool, addressOnly);
        QTemporaryDir checkFolder;
        QFile(checkFolder.filePath(u"img02.jpg"_s)).open(QIODevice::WriteOnly);
        check("checkFolderCheck")->click();
        box("checkFolderBox")->setEditText(checkFolder.path());
        if (addressOnly)
            check("addressListCheck")->click();
        createList(u"img"_s, 1, 3);
        QCOMPARE(output()->toPlainText().contains(u"img02.jpg"_s), addressOnly);
        const QList<bool> enabledBefore = buttonsEnabled(form());

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QVERIFY2(fake().messages.isEmpty(), qPrintable(fake().lastMessageText()));
        QCOMPARE(server->requestedPaths(), (QStringList{u"/pics/img01.jpg"_s, u"/pics/img03.jpg"_s}));
        QCOMPARE(contents(downloaded(u"img03.jpg"_s)), "/pics/img03.jpg"_ba);
        QVERIFY(!QFile::exists(downloaded(u"img02.jpg"_s)));
        QCOMPARE(enabledDuringFetch, (QList<bool>{false, false}));
        // The check folder's button among them, as the ticked switch left it.
        QCOMPARE(buttonsEnabled(form()), enabledBefore);
    }

    void twoPressesFetchTheSameListTwice()
    {
        QFile stale(downloaded(u"img01.jpg"_s));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("an older and much longer file of the same name");
        stale.close();
        createList(u"img"_s, 1, 2);

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QCOMPARE(server->requestedPaths().size(), 4);
        QCOMPARE(server->requestedPaths().at(2), u"/pics/img01.jpg"_s);
        QCOMPARE(contents(downloaded(u"img01.jpg"_s)), "/pics/img01.jpg"_ba);
        QVERIFY(fake().messages.isEmpty());
    }

    void folderTextMeansOneFolder_data()
    {
        QTest::addColumn<QString>("decoration"); // %1 is the folder
        QTest::newRow("bare") << u"%1"_s;
        QTest::newRow("trailing separator") << u"%1/"_s;
        QTest::newRow("spaces around") << u"  %1 "_s;
    }

    void folderTextMeansOneFolder()
    {
        QFETCH(QString, decoration);
        box("downloadFolderBox")->setEditText(decoration.arg(downloads->path()));
        createList(u"img"_s, 5, 5);
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QCOMPARE(contents(downloaded(u"img05.jpg"_s)), "/pics/img05.jpg"_ba);
    }

    void refusalsFetchNothing_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty folder") << u"  "_s << u"img"_s << u"出力フォルダを指定してください。"_s;
        QTest::newRow("name climbing out") << u"(downloads)"_s << u"../img"_s << u"「../img01.jpg」"_s;
    }

    void refusalsFetchNothing()
    {
        QFETCH(QString, folder);
        QFETCH(QString, head);
        QFETCH(QString, message);
        if (folder == u"(downloads)"_s)
            folder = downloads->path();
        box("downloadFolderBox")->setEditText(folder);
        createList(head, 1, 2);
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QVERIFY2(fake().lastMessageText().contains(message), qPrintable(fake().lastMessageText()));
        QVERIFY(server->requestedPaths().isEmpty());
        QVERIFY(QDir(downloads->path()).isEmpty());
        QVERIFY(button("downloadButton")->isEnabled());
    }

    void failureStopsAtItsEntryAndKeepsEarlierFiles_data()
    {
        QTest::addColumn<QString>("second"); // entry 2's path on the server; empty: a port nobody listens on
        QTest::addColumn<QString>("folder"); // the download folder, in the temporary folder
        QTest::addColumn<QString>("message"); // <entry 2> and <folder> stand for their paths
        QTest::addColumn<QStringList>("filesAfter");
        QTest::newRow("refused port") << QString() << u"."_s
                                      << u"「<entry 2>」を取得できませんでした。サーバーに接続できませんでした。"_s
                                      << QStringList{u"img01.jpg"_s};
        QTest::newRow("connection closed inside the body")
            << u"/cut/b"_s << u"."_s << u"「<entry 2>」を取得できませんでした。転送が途中で切れました。"_s
            << QStringList{u"img01.jpg"_s};
        QTest::newRow("missing folder")
            << u"/pics/b"_s << u"not-there"_s
            << u"ファイル「<folder>/img01.jpg」に書き込めませんでした。保存先のフォルダが見つかりません。"_s
            << QStringList();
        QTest::newRow("folder replaced by a file after the first entry")
            << u"/swap/b"_s << u"target"_s
            << u"ファイル「<folder>/img02.jpg」に書き込めませんでした。保存先のフォルダが見つかりません。"_s
            << QStringList{u"moved/img01.jpg"_s, u"target"_s};
    }

    void failureStopsAtItsEntryAndKeepsEarlierFiles()
    {
        QFETCH(QString, second);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QStringList, filesAfter);
        const QString secondUrl
            = second.isEmpty() ? tests::LoopbackServer::refusedUrl(u"/pics/b.jpg"_s) : server->url(second);
        form().setPage({},
                       {{server->url(u"/pics/a"_s), secondUrl, server->url(u"/pics/c"_s)},
                        {u"img01.jpg"_s, u"img02.jpg"_s, u"img03.jpg"_s}});
        QVERIFY(QDir(downloads->path()).mkdir(u"target"_s));
        box("downloadFolderBox")->setEditText(downloaded(folder));

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().lastMessageText(),
                 QString(message).replace(u"<entry 2>"_s, secondUrl).replace(u"<folder>"_s, downloaded(folder)));
        QVERIFY(button("downloadButton")->isEnabled());
        QVERIFY(!server->requestedPaths().contains(u"/pics/c"_s));
        // Nothing half-written and no temporary file left behind.
        QCOMPARE(filesUnder(downloads->path()), filesAfter);
    }

    void slowServerEndsWithTheStallMessage_data()
    {
        QTest::addColumn<QString>("second");
        QTest::newRow("answers nothing") << u"/stalled"_s;
        QTest::newRow("a byte every 200 ms") << u"/trickle/b"_s;
    }

    void slowServerEndsWithTheStallMessage()
    {
        QFETCH(QString, second);
        form().setPage({}, {{server->url(u"/pics/a"_s), server->url(second)}, {u"img01.jpg"_s, u"img02.jpg"_s}});
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(fake().lastMessageText(),
                 u"「%1」を取得できませんでした。サーバーからの応答が止まりました。"_s.arg(server->url(second)));
        QCOMPARE(filesUnder(downloads->path()), QStringList{u"img01.jpg"_s});
    }

    // While a trickling download runs, the window serves its events but no input, then is closed.
    void closeDuringADownloadStopsItAndClosesTheNormalWay_data()
    {
        QTest::addColumn<bool>("closeEventSent"); // a close event as the window manager sends it
        QTest::newRow("close()") << false;
        QTest::newRow("close event") << true;
    }

    void closeDuringADownloadStopsItAndClosesTheNormalWay()
    {
        QFETCH(bool, closeEventSent);
        QVERIFY(form().start());
        box("downloadFolderBox")->setEditText(downloads->path());
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().setPage({},
                       {{server->url(u"/pics/a"_s), server->url(u"/trickle/b"_s), server->url(u"/pics/c"_s)},
                        {u"img01.jpg"_s, u"img02.jpg"_s, u"img03.jpg"_s}});
        edit("startEdit")->setText(u"7"_s);

        bool busyCursor = false;
        bool buttonDisabled = false;
        QString textAfterTyping;
        QElapsedTimer sinceClose;
        // Runs once the download is under way, from the event loop the window keeps serving.
        QTimer::singleShot(600, &form(), [&] {
            busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            buttonDisabled = !button("downloadButton")->isEnabled();
            edit("startEdit")->setFocus();
            QTest::keyClick(edit("startEdit"), Qt::Key_5);
            QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
            QTest::mouseClick(button("createButton"), Qt::LeftButton);
            textAfterTyping = edit("startEdit")->text();
            // A screen reader presses a button through its accessible action, not through input events.
            if (QAccessibleInterface *create = QAccessible::queryAccessibleInterface(button("createButton")))
                create->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTest::qWait(300);
            sinceClose.start();
            if (closeEventSent) {
                QCloseEvent close;
                QApplication::sendEvent(&form(), &close);
            } else {
                form().close();
            }
        });
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        const qint64 closing = sinceClose.elapsed();

        QVERIFY(sinceClose.isValid());
        QVERIFY2(closing < 1000, qPrintable(QString::number(closing)));
        QVERIFY(busyCursor);
        QVERIFY(buttonDisabled);
        QCOMPARE(textAfterTyping, u"7"_s);
        QVERIFY2(output()->toPlainText().isEmpty(), "a second action ran during the download");
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!form().isVisible());
        QVERIFY2(fake().messages.isEmpty(), qPrintable(fake().lastMessageText()));
        QCOMPARE(filesUnder(downloads->path()), QStringList{u"img01.jpg"_s});
        QVERIFY(!server->requestedPaths().contains(u"/pics/c"_s));
        QVERIFY(QFile::exists(settingsLocation().writePath()));
    }
};

QTEST_MAIN(TestDownloadButton)
#include "test_DownloadButton.moc"
