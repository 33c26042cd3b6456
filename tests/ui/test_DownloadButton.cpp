#include "platform/CurlFetcher.h"
#include "support/LoopbackServer.h"
#include "support/WindowTest.h"
#include "ui/MainWindow.h"
#include "ui/Messages.h"
#include "ui/WindowControls.h"

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
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/mount.h>

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

    void add(qsizetype tag, const QString &url, platform::BodySink sink) override
    {
        // The transfers run on a worker thread; the button is read on its own.
        QMetaObject::invokeMethod(
            &m_button, [this] { m_enabledDuringFetch.append(m_button.isEnabled()); }, Qt::BlockingQueuedConnection);
        m_fetcher.add(tag, url, std::move(sink));
    }
    qsizetype room() const override { return m_fetcher.room(); }
    QList<Ended> next() override { return m_fetcher.next(); }
    void stop() override { m_fetcher.stop(); }

private:
    platform::CurlFetcher m_fetcher{
        platform::CurlFetcherLimits{std::chrono::milliseconds(2000), 100, std::chrono::seconds(1), {}}};
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

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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
    QString m_mounted; // a small file system, unmounted after the test

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

    // img01.jpg, img02.jpg … from the paths on the server; an empty path is a port nobody listens on.
    core::PageImages imagesAt(const QStringList &paths) const
    {
        QStringList addresses;
        QStringList names;
        for (const QString &path : paths) {
            addresses.append(path.isEmpty() ? tests::LoopbackServer::refusedUrl(u"/x.jpg"_s) : server->url(path));
            names.append(u"img%1.jpg"_s.arg(names.size() + 1, 2, 10, QChar(u'0')));
        }
        return {addresses, names};
    }

private Q_SLOTS:
    // The account shortens a long name in the middle, so the number near its end still shows.
    void accountShowsTheEndOfLongNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << u"img01.jpg"_s << u"img01.jpg"_s;
        QTest::newRow("60 characters") << QString(51, u'a') + u"img01.jpg"_s << QString(51, u'a') + u"img01.jpg"_s;
        QTest::newRow("240 characters") << QString(230, u'a') + u"img0001.jpg"_s
                                        << QString(29, u'a') + u'…' + QString(19, u'a') + u"img0001.jpg"_s;
        const QString kanji = u"𠮷"_s;
        QTest::newRow("pairs at both cuts") << u"ab"_s + kanji.repeated(100)
                + u"img1.jpeg"_s << u"ab"_s + kanji.repeated(13) + u'…' + kanji.repeated(10) + u"img1.jpeg"_s;
    }

    void accountShowsTheEndOfLongNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        core::DownloadReport report;
        report.total = 1;
        report.addFailure(0, name, core::fail(core::Reason::NotReplaced));
        QVERIFY2(ui::Messages::downloadAccount(report).contains(u"\r\n"_s + shown + u" … "_s),
                 qPrintable(ui::Messages::downloadAccount(report)));
    }

    void init()
    {
        WindowTest::init();
        enabledDuringFetch.clear();
        server = std::make_unique<tests::LoopbackServer>();
        server->serveEchoUnder(u"/pics/"_s);
        server->cutShort(u"/cut/b"_s, "half an image"_ba);
        server->stall(u"/stalled"_s);
        server->trickle(u"/trickle/b"_s, 200);
        server->serve(u"/err/404"_s, 404, "<html>not found</html>"_ba);
        server->serve(u"/err/500"_s, 500, "<html>oops</html>"_ba);
        server->serve(u"/err/403"_s, 403, {});
        server->serve(u"/err/204"_s, 204, {});
        server->serve(u"/err/206"_s, 206, "piece"_ba);
        server->redirect(u"/err/loop"_s, u"/err/loop"_s);
        server->serve(u"/res/img02.jpg"_s, 404, "<html>not found</html>"_ba);
        server->serve(u"/res/img04.jpg"_s, 404, "<html>not found</html>"_ba);
        server->serveEchoUnder(u"/res/"_s);
        server->serveGenerated(u"/big"_s, 1 << 20);
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
        if (!m_mounted.isEmpty())
            ::umount(QFile::encodeName(std::exchange(m_mounted, {})).constData());
    }

    void withoutAListNothingIsFetched_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("message");
        QTest::newRow("before any Create") << false << u"リストを作成して下さい"_s;
        QTest::newRow("every number in the check folder")
            << true << u"すべての画像がチェックフォルダにあるため、ダウンロードする画像はありません。"_s;
    }

    void withoutAListNothingIsFetched()
    {
        QFETCH(bool, create);
        QFETCH(QString, message);
        if (create) {
            QFile(downloaded(u"img01.jpg"_s)).open(QIODevice::WriteOnly);
            check("checkFolderCheck")->click();
            box("checkFolderBox")->setEditText(downloads->path());
            createList(u"img"_s, 1, 1);
        }
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QCOMPARE(fake().lastMessageText(), message);
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
        const QList<bool> enabledBefore = buttonsEnabled(window());

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QVERIFY2(fake().messages.isEmpty(), qPrintable(fake().lastMessageText()));
        QStringList requested = server->requestedPaths();
        requested.sort(); // in flight together, they reach the server in any order
        QCOMPARE(requested, (QStringList{u"/pics/img01.jpg"_s, u"/pics/img03.jpg"_s}));
        QCOMPARE(contents(downloaded(u"img03.jpg"_s)), "/pics/img03.jpg"_ba);
        QVERIFY(!QFile::exists(downloaded(u"img02.jpg"_s)));
        QCOMPARE(enabledDuringFetch, (QList<bool>{false, false}));
        // The check folder's button among them, as the ticked switch left it.
        QCOMPARE(buttonsEnabled(window()), enabledBefore);
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
        QCOMPARE(server->requestedPaths().count(u"/pics/img01.jpg"_s), 2);
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
        QTest::newRow("name climbing out") << u"(downloads)"_s << u"../img"_s
                                           << u"../img01.jpg … 名前が出力フォルダの中のファイルを指していません。"_s;
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

    // Every failed image is left out and named; the others are saved as they came.
    void failedImagesAreAccountedForAndTheRestSaved()
    {
        for (const QString &older : {u"img02.jpg"_s, u"img09.jpg"_s, u"img10.jpg"_s})
            QVERIFY(putFile(downloaded(older), "an older file of the same name"));
        const QStringList paths{u"/pics/a"_s, u"/err/404"_s, u"/err/500"_s, u"/err/403"_s, u"/err/loop"_s,
                                u"/cut/b"_s,  QString(),     u"/pics/c"_s,  u"/err/204"_s, u"/err/206"_s};
        window().setPage({}, imagesAt(paths));

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().messages.at(0).title, u"Tessaly作成"_s);
        QCOMPARE(fake().messages.at(0).icon, desktop::MessageIcon::Exclamation);
        QCOMPARE(
            fake().lastMessageText(),
            u"画像 10 個のうち 2 個を保存しました。8 個は保存できませんでした。\r\n\r\n"
            "img02.jpg … 404 Not Found\r\n"
            "img03.jpg … 500 Internal Server Error\r\n"
            "img04.jpg … 403 Forbidden\r\n"
            "img05.jpg … 転送先の指定が多すぎます。\r\n"
            "img06.jpg … 転送が途中で切れました。\r\n"
            "img07.jpg … サーバーに接続できませんでした。\r\n"
            "img09.jpg … サーバーの応答（204 No Content）は画像ではありません。前のファイルはそのままです。\r\n"
            "img10.jpg … サーバーの応答（206 Partial Content）は画像ではありません。前のファイルはそのままです。"_s);
        QCOMPARE(filesUnder(downloads->path()),
                 (QStringList{u"img01.jpg"_s, u"img02.jpg"_s, u"img08.jpg"_s, u"img09.jpg"_s, u"img10.jpg"_s}));
        QCOMPARE(contents(downloaded(u"img01.jpg"_s)), "/pics/a"_ba);
        for (const QString &older : {u"img02.jpg"_s, u"img09.jpg"_s, u"img10.jpg"_s})
            QCOMPARE(contents(downloaded(older)), "an older file of the same name"_ba);
        QCOMPARE(contents(downloaded(u"img08.jpg"_s)), "/pics/c"_ba);
        QCOMPARE(window().windowTitle(), u"Tessaly作成"_s);
    }

    // The account offers to fetch what failed once more; a retry fetches just those, replaces an
    // older file only when its image comes, and gives its own account.
    void retryFetchesWhatFailed_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QList<bool>>("offersTaken");
        QTest::addColumn<QStringList>("accounts");
        QTest::addColumn<QStringList>("fetchedAgain");
        QTest::addColumn<QByteArray>("secondAfter"); // img02.jpg, read-only until the first account
        const QString first = u"画像 3 個のうち 1 個を保存しました。2 個は保存できませんでした。\r\n\r\n"
                              "img02.jpg … 読み取り専用のファイルです。\r\nimg03.jpg … 404 Not Found"_s;
        const QStringList threePaths{u"/pics/a"_s, u"/pics/b"_s, u"/err/404"_s};
        QTest::newRow("OK: nothing more")
            << threePaths << QList<bool>{} << QStringList{first} << QStringList() << "older"_ba;
        QTest::newRow("retried, one fails again")
            << threePaths << QList<bool>{true, false}
            << QStringList{first,
                           u"画像 2 個のうち 1 個を保存しました。1 個は保存できませんでした。\r\n\r\n"
                           "img03.jpg … 404 Not Found"_s}
            << QStringList{u"/err/404"_s, u"/pics/b"_s} << "/pics/b"_ba;
        QTest::newRow("retried, all saved")
            << QStringList{u"/pics/a"_s, u"/pics/b"_s} << QList<bool>{true}
            << QStringList{u"画像 2 個のうち 1 個を保存しました。1 個は保存できませんでした。\r\n\r\n"
                           "img02.jpg … 読み取り専用のファイルです。"_s,
                           u"画像 1 個のうち 1 個を保存しました。"_s}
            << QStringList{u"/pics/b"_s} << "/pics/b"_ba;
    }

    void retryFetchesWhatFailed()
    {
        QFETCH(QStringList, paths);
        QFETCH(QList<bool>, offersTaken);
        QFETCH(QStringList, accounts);
        QFETCH(QStringList, fetchedAgain);
        QFETCH(QByteArray, secondAfter);
        for (const QString &older : {u"img02.jpg"_s, u"img03.jpg"_s})
            QVERIFY(putFile(downloaded(older), "older"));
        QVERIFY(QFile::setPermissions(downloaded(u"img02.jpg"_s), QFile::ReadOwner));
        qsizetype firstRun = -1;
        fake().whileMessageShown = [this, &firstRun] {
            if (firstRun < 0)
                firstRun = server->requestedPaths().size();
            QFile::setPermissions(downloaded(u"img02.jpg"_s), QFile::ReadOwner | QFile::WriteOwner);
        };
        fake().offerAnswers.assign(offersTaken.begin(), offersTaken.end());
        window().setPage({}, imagesAt(paths));

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QStringList shown;
        for (const tests::FakeDesktop::Message &message : std::as_const(fake().messages)) {
            shown.append(message.text);
            const bool failures = message.text.contains(u"保存できませんでした"_s);
            QCOMPARE(message.offer, failures ? u"失敗した画像を再取得(&R)"_s : QString());
            QCOMPARE(message.icon, failures ? desktop::MessageIcon::Exclamation : desktop::MessageIcon::None);
        }
        QCOMPARE(shown, accounts);
        QStringList again = server->requestedPaths().mid(firstRun);
        again.sort();
        QCOMPARE(again, fetchedAgain);
        QCOMPARE(contents(downloaded(u"img01.jpg"_s)), "/pics/a"_ba);
        QCOMPARE(contents(downloaded(u"img02.jpg"_s)), secondAfter);
        if (paths.size() > 2)
            QCOMPARE(contents(downloaded(u"img03.jpg"_s)), "older"_ba);
        QVERIFY(button("downloadButton")->isEnabled());
    }

    void runEndsEarlyWhenGoingOnCannotHelp_data()
    {
        QTest::addColumn<QStringList>("paths"); // on the server; empty: a port nobody listens on
        QTest::addColumn<QString>("folder"); // the download folder, in the temporary folder
        QTest::addColumn<QString>("ending"); // <folder> stands for its path
        QTest::addColumn<QStringList>("filesAfter");
        QTest::addColumn<int>("requests"); // that reached the server, at most
        const QStringList three{u"/pics/a"_s, u"/pics/b"_s, u"/pics/c"_s};
        QTest::newRow("missing folder")
            << three << u"not-there"_s
            << u"画像 3 個のうち 0 個を保存しました。\r\n"
               "フォルダ「<folder>」を開けませんでした。保存先のフォルダが見つかりません。\r\n"
               "そのためダウンロードを中止しました。残りの 3 個は取得していません。"_s
            << QStringList() << 0;
        QTest::newRow("full folder")
            << QStringList{u"/big"_s, u"/trickle/b"_s} << u"full"_s
            << u"画像 2 個のうち 0 個を保存しました。1 個は保存できませんでした。\r\n\r\nimg01.jpg … "
               u"書き込みの途中で失敗しました。ディスクの空きが足りない可能性があります。\r\n\r\n"
               "ファイル「<folder>/"
               "img01."
               "jpg」に書き込めませんでした。書き込みの途中で失敗しました。ディスクの空きが足りない可能性があります。\r"
               "\n"
               "そのためダウンロードを中止しました。残りの 1 個は取得していません。"_s
            << QStringList() << 2;
        QTest::newRow("five in a row with no answer from their host")
            << QStringList{{}, {}, {}, {}, {}, u"/trickle/b"_s} << u"."_s
            << u"画像 6 個のうち 0 個を保存しました。5 個は保存できませんでした。\r\n\r\n"
               "img01.jpg … サーバーに接続できませんでした。\r\nimg02.jpg … サーバーに接続できませんでした。\r\n"
               "img03.jpg … サーバーに接続できませんでした。\r\nimg04.jpg … サーバーに接続できませんでした。\r\n"
               "img05.jpg … サーバーに接続できませんでした。\r\n\r\n"
               "5 個続けてサーバーから応答がありませんでした。\r\n"
               "そのためダウンロードを中止しました。残りの 1 個は取得していません。"_s
            << QStringList() << 1;
    }

    void runEndsEarlyWhenGoingOnCannotHelp()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, folder);
        QFETCH(QString, ending);
        QFETCH(QStringList, filesAfter);
        QFETCH(int, requests);
        window().setPage({}, imagesAt(paths));
        if (folder == u"full"_s) {
            QVERIFY(QDir(downloads->path()).mkdir(folder));
            if (::mount("tmpfs", QFile::encodeName(downloaded(folder)).constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP("This user may not mount file systems.");
            m_mounted = downloaded(folder);
        }
        box("downloadFolderBox")->setEditText(downloaded(folder));

        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);

        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().lastMessageText(), QString(ending).replace(u"<folder>"_s, downloaded(folder)));
        QVERIFY(button("downloadButton")->isEnabled());
        QVERIFY(server->requestedPaths().size() <= requests);
        // Nothing half-written and no temporary file left behind.
        if (!m_mounted.isEmpty())
            QVERIFY(QDir(m_mounted).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(filesUnder(downloads->path()), filesAfter);
    }

    void slowServerFailsWithItsOwnMessage_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("reason");
        QTest::newRow("answers nothing") << u"/stalled"_s << u"サーバーから応答がありませんでした。"_s;
        QTest::newRow("a byte every 200 ms") << u"/trickle/b"_s << u"サーバーからの応答が止まりました。"_s;
    }

    void slowServerFailsWithItsOwnMessage()
    {
        QFETCH(QString, second);
        QFETCH(QString, reason);
        window().setPage({}, {{server->url(u"/pics/a"_s), server->url(second)}, {u"img01.jpg"_s, u"img02.jpg"_s}});
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(fake().lastMessageText().endsWith(u"img02.jpg … "_s + reason), qPrintable(fake().lastMessageText()));
        QCOMPARE(filesUnder(downloads->path()), QStringList{u"img01.jpg"_s});
    }

    // Esc stops the run at once and leaves the window open with the account; the title shows the
    // progress while the run goes.
    void escapeStopsTheRunAndTellsWhatWasDone()
    {
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        window().setPage({},
                         {{server->url(u"/pics/a"_s), server->url(u"/trickle/b"_s), server->url(u"/pics/c"_s)},
                          {u"img01.jpg"_s, u"img02.jpg"_s, u"img03.jpg"_s}});
        QString titleDuringRun;
        QElapsedTimer sinceEscape;
        QTimer::singleShot(700, &window(), [&] {
            titleDuringRun = window().windowTitle();
            sinceEscape.start();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window(), Qt::Key_Escape);
        });
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        const qint64 stopping = sinceEscape.elapsed();

        QVERIFY(sinceEscape.isValid());
        QVERIFY2(stopping < 500, qPrintable(QString::number(stopping)));
        // The images beside the trickling one have ended; the one stopped in flight was not fetched.
        QCOMPARE(titleDuringRun, u"Tessaly作成 - 2/3"_s);
        QCOMPARE(window().windowTitle(), u"Tessaly作成"_s);
        QVERIFY(window().isVisible());
        QCOMPARE(fake().lastMessageText(),
                 u"画像 3 個のうち 2 個を保存しました。\r\n"
                 "ダウンロードを中止しました。残りの 1 個は取得していません。"_s);
        QCOMPARE(filesUnder(downloads->path()), (QStringList{u"img01.jpg"_s, u"img03.jpg"_s}));
    }

    // With the download folder as the check folder, Create lists just what a run did not save.
    void checkFolderResumesARun()
    {
        box("baseAddressBox")->setEditText(server->url(u"/res/"_s));
        box("headBox")->setEditText(u"img"_s);
        box("tailBox")->setEditText(u".jpg"_s);
        edit("startEdit")->setText(u"1"_s);
        edit("endEdit")->setText(u"4"_s);
        edit("digitsEdit")->setText(u"2"_s);
        check("checkFolderCheck")->click();
        box("checkFolderBox")->setEditText(downloads->path());
        QTest::mouseClick(button("createButton"), Qt::LeftButton);
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QCOMPARE(filesUnder(downloads->path()), (QStringList{u"img01.jpg"_s, u"img03.jpg"_s}));

        QTest::mouseClick(button("createButton"), Qt::LeftButton);
        QCOMPARE(window().pageImages().fileNames(), (QStringList{u"img02.jpg"_s, u"img04.jpg"_s}));
        const qsizetype before = server->requestedPaths().size();
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        QStringList requested = server->requestedPaths().mid(before);
        requested.sort();
        QCOMPARE(requested, (QStringList{u"/res/img02.jpg"_s, u"/res/img04.jpg"_s}));
    }

    // While a trickling download runs, the window serves its events and typing but no action, and
    // every control that would start one looks disabled; then it is closed.
    void closeDuringADownloadStopsItAndClosesTheNormalWay_data()
    {
        QTest::addColumn<bool>("closeEventSent"); // a close event as the window manager sends it
        QTest::newRow("close()") << false;
        QTest::newRow("close event") << true;
    }

    void closeDuringADownloadStopsItAndClosesTheNormalWay()
    {
        QFETCH(bool, closeEventSent);
        QVERIFY(window().start());
        box("downloadFolderBox")->setEditText(downloads->path());
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        window().setPage({},
                         {{server->url(u"/pics/a"_s), server->url(u"/trickle/b"_s), server->url(u"/pics/c"_s)},
                          {u"img01.jpg"_s, u"img02.jpg"_s, u"img03.jpg"_s}});
        edit("startEdit")->setText(u"7"_s);

        bool busyCursor = false;
        QStringList enabled;
        QString textAfterTyping;
        QElapsedTimer sinceClose;
        // Runs once the download is under way, from the event loop the window keeps serving.
        QTimer::singleShot(600, &window(), [&] {
            busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            for (const ui::ControlRow &row : ui::controlTable()) {
                const auto *control = window().findChild<QWidget *>(QLatin1StringView(row.name));
                if (control->isEnabled() && !qobject_cast<const QLabel *>(control))
                    enabled.append(QLatin1StringView(row.name));
            }
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
                QApplication::sendEvent(&window(), &close);
            } else {
                window().close();
            }
        });
        QTest::mouseClick(button("downloadButton"), Qt::LeftButton);
        const qint64 closing = sinceClose.elapsed();

        QVERIFY(sinceClose.isValid());
        QVERIFY2(closing < 1000, qPrintable(QString::number(closing)));
        QVERIFY(busyCursor);
        // The fields alone, which the run does not read.
        QCOMPARE(enabled,
                 (QStringList{u"thumbSizeEdit"_s, u"columnsEdit"_s, u"baseAddressBox"_s, u"headBox"_s, u"tailBox"_s,
                              u"startEdit"_s, u"endEdit"_s, u"digitsEdit"_s, u"checkFolderBox"_s,
                              u"downloadFolderBox"_s, u"outputBox"_s}));
        // Typing reached the field, which selects its text when it takes the focus.
        QCOMPARE(textAfterTyping, u"5"_s);
        QVERIFY2(output()->toPlainText().isEmpty(), "a second action ran during the download");
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!window().isVisible());
        QVERIFY2(fake().messages.isEmpty(), qPrintable(fake().lastMessageText()));
        QCOMPARE(filesUnder(downloads->path()), (QStringList{u"img01.jpg"_s, u"img03.jpg"_s}));
        QVERIFY(QFile::exists(settingsLocation().writePath()));
    }
};

QTEST_MAIN(TestDownloadButton)
#include "test_DownloadButton.moc"
