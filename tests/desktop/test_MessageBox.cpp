#include "desktop/QtDesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

using namespace quorel::desktop;

class TestMessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The Esc that follows at once, or a held one's repeats, leave the box; a later one closes it.
    void onlyADeliberateEscapeClosesTheBox_data()
    {
        QTest::addColumn<int>("afterMs"); // when the first Esc comes
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("closes");
        QTest::newRow("second press of a double press") << 100 << false << false;
        QTest::newRow("a held key's repeat") << 800 << true << false;
        QTest::newRow("a press once the box is seen") << 800 << false << true;
    }

    void onlyADeliberateEscapeClosesTheBox()
    {
        QFETCH(int, afterMs);
        QFETCH(bool, repeat);
        QFETCH(bool, closes);
        bool stillOpen = false;
        QTimer::singleShot(afterMs, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : box;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(target, &release);
            QTest::qWait(50);
            stillOpen = QApplication::activeModalWidget() == box;
            if (stillOpen)
                QTest::keyClick(box, Qt::Key_Return);
        });
        QtDesktop desktop;
        desktop.messageBox(nullptr, QStringLiteral("text"), QStringLiteral("title"), MessageIcon::Exclamation);
        QCOMPARE(stillOpen, !closes);
    }
};

QTEST_MAIN(TestMessageBox)
#include "test_MessageBox.moc"
