#include "support/WindowTest.h"
#include "ui/MainWindow.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTest>

using namespace quorel;

namespace
{
constexpr int px = 15; // twips to a pixel

QRectF twips(const ui::MainWindow &form, const char *name)
{
    return ui::Twips::geometry(form.findChild<QWidget *>(QString::fromLatin1(name)));
}

// Every control's position, to see which ones a change of size moved.
QMap<QString, QRectF> positions(const ui::MainWindow &form)
{
    QMap<QString, QRectF> all;
    for (const QWidget *child : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        all.insert(child->objectName(), ui::Twips::geometry(child));
    return all;
}
}

class TestWindowLayout : public tests::WindowTest
{
    Q_OBJECT

    void setClient(int widthTwips, int heightTwips)
    {
        form().resize(widthTwips / px, heightTwips / px);
        deliverResize();
    }

    // As the window system delivers it, which it may do only later.
    void deliverResize()
    {
        QResizeEvent resized(form().size(), form().size());
        QCoreApplication::sendEvent(&form(), &resized);
    }

private Q_SLOTS:
    void init()
    {
        WindowTest::init();
        QVERIFY(form().start());
    }

    void startUpAlignment_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("geometry");
        QTest::newRow("thumbSizeLabel on thumbSizeEdit")
            << QStringLiteral("thumbSizeLabel") << QRectF(2640, 180, 810, 180);
        QTest::newRow("thumbnailsCheck on thumbSizeEdit")
            << QStringLiteral("thumbnailsCheck") << QRectF(1440, 135, 1215, 270);
        QTest::newRow("numberPreview as high as headBox")
            << QStringLiteral("numberPreview") << QRectF(1920, 1080, 1695, 300);
        QTest::newRow("analyseButton as high as baseAddressBox")
            << QStringLiteral("analyseButton") << QRectF(4920, 480, 615, 300);
        QTest::newRow("startEdit on createButton") << QStringLiteral("startEdit") << QRectF(120, 1920, 615, 375);
        QTest::newRow("baseAddressLabel with thumbSizeLabel")
            << QStringLiteral("baseAddressLabel") << QRectF(120, 180, 1080, 180);
        QTest::newRow("checkFolderCheck keeps the half twip")
            << QStringLiteral("checkFolderCheck") << QRectF(120, 2422.5, 1575, 255);
        QTest::newRow("browseCheckFolderButton as high as its box")
            << QStringLiteral("browseCheckFolderButton") << QRectF(5160, 2400, 375, 300);
    }

    void startUpAlignment()
    {
        QFETCH(QString, control);
        QFETCH(QRectF, geometry);
        QCOMPARE(twips(form(), control.toLatin1().constData()), geometry);
    }

    void windowIsCentred()
    {
        auto form = newWindow();
        form->move(0, 0);
        QVERIFY(form->start());
        const QRect screen = form->screen()->availableGeometry();
        const QSize outer = form->frameGeometry().size();
        QVERIFY(qAbs(form->frameGeometry().left() - (screen.left() + (screen.width() - outer.width()) / 2)) <= 1);
        QVERIFY(qAbs(form->frameGeometry().top() - (screen.top() + (screen.height() - outer.height()) / 2)) <= 1);
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
        auto form = newWindow();
        form->move(0, 0);
        QVERIFY(form->start());
        fake().frame = {};
        const QRect screen = form->screen()->geometry();
        // Qt, knowing no frame, places the window itself; the frame will surround it.
        const QRect outer = form->geometry().marginsAdded(frame);
        QCOMPARE(outer.left(), qRound(screen.left() + (screen.width() - outer.width()) / 2.0));
        QCOMPARE(outer.top(), qRound(screen.top() + (screen.height() - outer.height()) / 2.0));
    }

    void designExample()
    {
        setClient(ui::MainWindow::designWidth, ui::MainWindow::designHeight);
        QCOMPARE(twips(form(), "outputBox"), QRectF(120, 3120, 5460, 1800));
        QCOMPARE(twips(form(), "analyseButton").left(), 4845.0);
        QCOMPARE(twips(form(), "baseAddressBox"), QRectF(120, 480, 4605, 300));
    }

    void widening()
    {
        setClient(ui::MainWindow::designWidth, ui::MainWindow::designHeight);
        const QMap<QString, QRectF> before = positions(form());
        setClient(ui::MainWindow::designWidth + 1005, ui::MainWindow::designHeight); // 67 pixels
        QMap<QString, QRectF> after = positions(form());
        QCOMPARE(after.take(QStringLiteral("analyseButton")),
                 before[QStringLiteral("analyseButton")].translated(1005, 0));
        QCOMPARE(after.take(QStringLiteral("baseAddressBox")),
                 before[QStringLiteral("baseAddressBox")].adjusted(0, 0, 1005, 0));
        QCOMPARE(after.take(QStringLiteral("outputBox")), before[QStringLiteral("outputBox")].adjusted(0, 0, 1005, 0));
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            QCOMPARE(it.value(), before[it.key()]);
    }

    void clientEndsAboveTheOutputBox_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("above") << 3000;
    }

    void clientEndsAboveTheOutputBox()
    {
        QFETCH(int, height);
        setClient(ui::MainWindow::designWidth, ui::MainWindow::designHeight);
        setClient(6000, height);
        QCOMPARE(twips(form(), "outputBox"), QRectF(120, 3120, 5880, 1800));
    }

    void minimisedChangesNothingUntilRestored()
    {
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        setClient(ui::MainWindow::designWidth, ui::MainWindow::designHeight);
        const QMap<QString, QRectF> before = positions(form());
        form().setWindowState(Qt::WindowMinimized);
        QVERIFY(form().isMinimized());
        form().resize(6585 / px, 6420 / px);
        deliverResize();
        QCOMPARE(positions(form()), before);
        form().setWindowState(Qt::WindowNoState);
        QCOMPARE(twips(form(), "outputBox").size(), QSizeF(form().width() * px - 120, form().height() * px - 3120));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_WindowLayout.moc"
