#include "support/WindowTest.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace quorel;

namespace
{
constexpr int px = 15; // twips to a pixel

QRectF twips(const ui::Form1 &form, const char *name)
{
    return ui::Twips::geometry(form.findChild<QWidget *>(QString::fromLatin1(name)));
}

// Every control's position, to see which ones a change of size moved.
QMap<QString, QRectF> positions(const ui::Form1 &form)
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
        form().Form_Resize();
    }

private Q_SLOTS:
    void init()
    {
        WindowTest::init();
        QVERIFY(form().Form_Load());
    }

    void startUpAlignment_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("geometry");
        QTest::newRow("Label7 on Text8") << QStringLiteral("Label7") << QRectF(2640, 180, 810, 180);
        QTest::newRow("Check1 on Text8") << QStringLiteral("Check1") << QRectF(1440, 135, 1215, 270);
        QTest::newRow("Label9 as high as cmb_Head") << QStringLiteral("Label9") << QRectF(1920, 1080, 1695, 300);
        QTest::newRow("cmd_ana as high as cmb_Name") << QStringLiteral("cmd_ana") << QRectF(4920, 480, 615, 300);
        QTest::newRow("Text3 on Command1") << QStringLiteral("Text3") << QRectF(120, 1920, 615, 375);
        QTest::newRow("Label1 with Label7") << QStringLiteral("Label1") << QRectF(120, 180, 1080, 180);
        QTest::newRow("chk_Chk_FoN keeps the half twip")
            << QStringLiteral("chk_Chk_FoN") << QRectF(120, 2422.5, 1575, 255);
        QTest::newRow("cmd_Chk_FoN as high as its box")
            << QStringLiteral("cmd_Chk_FoN") << QRectF(5160, 2400, 375, 300);
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
        QVERIFY(form->Form_Load());
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
        QVERIFY(form->Form_Load());
        fake().frame = {};
        const QRect screen = form->screen()->geometry();
        // Qt, knowing no frame, places the window itself; the frame will surround it.
        const QRect outer = form->geometry().marginsAdded(frame);
        QCOMPARE(outer.left(), qRound(screen.left() + (screen.width() - outer.width()) / 2.0));
        QCOMPARE(outer.top(), qRound(screen.top() + (screen.height() - outer.height()) / 2.0));
    }

    void designExample()
    {
        setClient(ui::Form1::designWidth, ui::Form1::designHeight);
        QCOMPARE(twips(form(), "txt_Out"), QRectF(120, 3120, 5460, 1800));
        QCOMPARE(twips(form(), "cmd_ana").left(), 4845.0);
        QCOMPARE(twips(form(), "cmb_Name"), QRectF(120, 480, 4605, 300));
    }

    void widening()
    {
        setClient(ui::Form1::designWidth, ui::Form1::designHeight);
        const QMap<QString, QRectF> before = positions(form());
        setClient(ui::Form1::designWidth + 1005, ui::Form1::designHeight); // 67 pixels
        QMap<QString, QRectF> after = positions(form());
        QCOMPARE(after.take(QStringLiteral("cmd_ana")), before[QStringLiteral("cmd_ana")].translated(1005, 0));
        QCOMPARE(after.take(QStringLiteral("cmb_Name")), before[QStringLiteral("cmb_Name")].adjusted(0, 0, 1005, 0));
        QCOMPARE(after.take(QStringLiteral("txt_Out")), before[QStringLiteral("txt_Out")].adjusted(0, 0, 1005, 0));
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
        setClient(ui::Form1::designWidth, ui::Form1::designHeight);
        setClient(6000, height);
        QCOMPARE(twips(form(), "txt_Out"), QRectF(120, 3120, 5880, 1800));
    }

    void minimisedChangesNothingUntilRestored()
    {
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        setClient(ui::Form1::designWidth, ui::Form1::designHeight);
        const QMap<QString, QRectF> before = positions(form());
        form().setWindowState(Qt::WindowMinimized);
        QVERIFY(form().isMinimized());
        form().resize(6585 / px, 6420 / px);
        form().Form_Resize();
        QCOMPARE(positions(form()), before);
        form().setWindowState(Qt::WindowNoState);
        QCOMPARE(twips(form(), "txt_Out").size(), QSizeF(form().width() * px - 120, form().height() * px - 3120));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "test_WindowLayout.moc"
