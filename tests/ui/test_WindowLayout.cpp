#include "support/WindowTest.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTest>

using namespace quorel;

namespace
{
QRect placeOf(const ui::MainWindow &window, const char *name)
{
    return window.findChild<QWidget *>(QString::fromLatin1(name))->geometry();
}

// Every control's position, to see which ones a change of size moved.
QMap<QString, QRect> positions(const ui::MainWindow &window)
{
    QMap<QString, QRect> all;
    for (const QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        all.insert(child->objectName(), child->geometry());
    return all;
}
}

class TestWindowLayout : public tests::WindowTest
{
    Q_OBJECT

    void setClient(QSize size)
    {
        window().resize(size);
        deliverResize();
    }

    // As the window system delivers it, which it may do only later.
    void deliverResize()
    {
        QResizeEvent resized(window().size(), window().size());
        QCoreApplication::sendEvent(&window(), &resized);
    }

private Q_SLOTS:
    void init()
    {
        WindowTest::init();
        QVERIFY(window().start());
    }

    void startUpAlignment_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("thumbSizeLabel on thumbSizeEdit") << QStringLiteral("thumbSizeLabel") << QRect(176, 12, 54, 12);
        QTest::newRow("thumbnailsCheck on thumbSizeEdit") << QStringLiteral("thumbnailsCheck") << QRect(96, 9, 81, 18);
        QTest::newRow("numberPreview as high as headBox") << QStringLiteral("numberPreview") << QRect(128, 72, 113, 20);
        QTest::newRow("analyseButton as high as baseAddressBox")
            << QStringLiteral("analyseButton") << QRect(328, 32, 41, 20);
        QTest::newRow("startEdit on createButton") << QStringLiteral("startEdit") << QRect(8, 128, 41, 25);
        QTest::newRow("baseAddressLabel with thumbSizeLabel")
            << QStringLiteral("baseAddressLabel") << QRect(8, 12, 72, 12);
        QTest::newRow("checkFolderCheck, a half pixel down")
            << QStringLiteral("checkFolderCheck") << QRect(8, 162, 105, 17);
        QTest::newRow("browseCheckFolderButton as high as its box")
            << QStringLiteral("browseCheckFolderButton") << QRect(344, 160, 25, 20);
    }

    void startUpAlignment()
    {
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        QCOMPARE(placeOf(window(), control.toLatin1().constData()), geometry);
    }

    void windowIsCentred()
    {
        auto window = newWindow();
        window->move(0, 0);
        QVERIFY(window->start());
        const QRect screen = window->screen()->availableGeometry();
        const QSize outer = window->frameGeometry().size();
        QVERIFY(qAbs(window->frameGeometry().left() - (screen.left() + (screen.width() - outer.width()) / 2)) <= 1);
        QVERIFY(qAbs(window->frameGeometry().top() - (screen.top() + (screen.height() - outer.height()) / 2)) <= 1);
    }

    // The frame the window manager will draw counts, though the window has none yet.
    void centredByOuterSize_data()
    {
        QTest::addColumn<QMargins>("frame");
        QTest::newRow("no window manager") << QMargins();
        QTest::newRow("title bar only") << QMargins(0, 24, 0, 0);
        QTest::newRow("title bar and borders") << QMargins(1, 23, 1, 1);
        QTest::newRow("wide uneven borders") << QMargins(10, 30, 4, 16);
    }

    void centredByOuterSize()
    {
        QFETCH(QMargins, frame);
        fake().frame = frame;
        auto window = newWindow();
        window->move(0, 0);
        QVERIFY(window->start());
        fake().frame = {};
        const QRect screen = window->screen()->geometry();
        // Qt, knowing no frame, places the window itself; the frame will surround it.
        const QRect outer = window->geometry().marginsAdded(frame);
        QCOMPARE(outer.left(), qRound(screen.left() + (screen.width() - outer.width()) / 2.0));
        QCOMPARE(outer.top(), qRound(screen.top() + (screen.height() - outer.height()) / 2.0));
    }

    void designExample()
    {
        setClient(ui::designSize);
        QCOMPARE(placeOf(window(), "outputBox"), QRect(8, 208, 364, 120));
        QCOMPARE(placeOf(window(), "analyseButton").left(), 323);
        QCOMPARE(placeOf(window(), "baseAddressBox"), QRect(8, 32, 307, 20));
    }

    void widening()
    {
        setClient(ui::designSize);
        const QMap<QString, QRect> before = positions(window());
        setClient(ui::designSize + QSize(67, 0));
        QMap<QString, QRect> after = positions(window());
        QCOMPARE(after.take(QStringLiteral("analyseButton")),
                 before[QStringLiteral("analyseButton")].translated(67, 0));
        QCOMPARE(after.take(QStringLiteral("baseAddressBox")),
                 before[QStringLiteral("baseAddressBox")].adjusted(0, 0, 67, 0));
        QCOMPARE(after.take(QStringLiteral("outputBox")), before[QStringLiteral("outputBox")].adjusted(0, 0, 67, 0));
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            QCOMPARE(it.value(), before[it.key()]);
    }

    void clientEndsAboveTheOutputBox_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("above") << 200;
    }

    void clientEndsAboveTheOutputBox()
    {
        QFETCH(int, height);
        setClient(ui::designSize);
        setClient(QSize(400, height));
        QCOMPARE(placeOf(window(), "outputBox"), QRect(8, 208, 392, 120));
    }

    void minimisedChangesNothingUntilRestored()
    {
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        setClient(ui::designSize);
        const QMap<QString, QRect> before = positions(window());
        window().setWindowState(Qt::WindowMinimized);
        QVERIFY(window().isMinimized());
        window().resize(439, 428);
        deliverResize();
        QCOMPARE(positions(window()), before);
        window().setWindowState(Qt::WindowNoState);
        QCOMPARE(placeOf(window(), "outputBox").size(), QSize(window().width() - 8, window().height() - 208));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_WindowLayout.moc"
