#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace quorel;
using namespace Qt::StringLiterals;

class TestFolderSwitches : public tests::WindowTest
{
    Q_OBJECT

    // The boxes that address-only mode disables, in the order it sets them.
    static QList<bool> addressOnlyGroupEnabled(const ui::MainWindow &window)
    {
        return {check(window, "thumbnailsCheck")->isEnabled(), edit(window, "thumbSizeEdit")->isEnabled(),
                edit(window, "columnsEdit")->isEnabled(), box(window, "checkFolderBox")->isEnabled(),
                check(window, "checkFolderCheck")->isEnabled()};
    }

    static QPushButton *pickerButton(ui::MainWindow &window, bool checkFolder)
    {
        return checkFolder ? button(window, "browseCheckFolderButton") : button(window, "browseDownloadFolderButton");
    }

    static QComboBox *pickerBox(ui::MainWindow &window, bool checkFolder)
    {
        return checkFolder ? box(window, "checkFolderBox") : box(window, "downloadFolderBox");
    }

private Q_SLOTS:
    void pickerAnswerGoesIntoItsBox_data()
    {
        QTest::addColumn<bool>("checkFolder");
        QTest::addColumn<QString>("answer"); // empty: the user cancels
        QTest::addColumn<QString>("text");
        QTest::newRow("check folder chosen") << true << u"/home/u/pics"_s << u"/home/u/pics"_s;
        QTest::newRow("check folder cancelled") << true << QString() << u"typed"_s;
        QTest::newRow("download folder chosen") << false << u"/home/u/dl"_s << u"/home/u/dl"_s;
        QTest::newRow("download folder cancelled") << false << QString() << u"typed"_s;
    }

    void pickerAnswerGoesIntoItsBox()
    {
        QFETCH(bool, checkFolder);
        QFETCH(QString, answer);
        QFETCH(QString, text);
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &fake = this->fake();
        QComboBox *box = pickerBox(window, checkFolder);
        box->setEditText(u"typed"_s);
        const int entries = box->count();
        if (!answer.isEmpty())
            fake.folderAnswers.push_back(answer);

        QTest::mouseClick(pickerButton(window, checkFolder), Qt::LeftButton);

        QCOMPARE(fake.folderDialogTitles, QList<QString>{u"ﾌｫﾙﾀﾞを選択してください"_s});
        QCOMPARE(box->currentText(), text);
        QCOMPARE(box->count(), entries);
    }

    void pickerStartsWhereItsBoxPoints_data()
    {
        QTest::addColumn<bool>("checkFolder");
        QTest::addColumn<QString>("text"); // <dir> stands for a folder that exists
        QTest::addColumn<QString>("start");
        QTest::newRow("existing folder") << true << u"<dir>/pics"_s << u"<dir>/pics"_s;
        QTest::newRow("missing folders below it") << false << u"<dir>/pics/new/deeper"_s << u"<dir>/pics"_s;
        QTest::newRow("a file in it") << true << u"<dir>/pics/a.jpg"_s << u"<dir>/pics"_s;
        QTest::newRow("spaces around") << false << u"  <dir>/pics/ "_s << u"<dir>/pics"_s;
        QTest::newRow("relative") << true << u"not-here/either"_s << QDir::currentPath();
        QTest::newRow("empty: the top") << false << u"  "_s << QString();
    }

    void pickerStartsWhereItsBoxPoints()
    {
        QFETCH(bool, checkFolder);
        QFETCH(QString, text);
        QFETCH(QString, start);
        QVERIFY(QDir(folderPath()).mkpath(u"pics"_s));
        QFile(folderPath() + u"/pics/a.jpg"_s).open(QIODevice::WriteOnly);
        pickerBox(window(), checkFolder)->setEditText(text.replace(u"<dir>"_s, folderPath()));
        pickerButton(window(), checkFolder)->setEnabled(true);
        QTest::mouseClick(pickerButton(window(), checkFolder), Qt::LeftButton);
        QCOMPARE(fake().folderDialogStarts, QList<QString>{start.replace(u"<dir>"_s, folderPath())});
    }

    void addressOnlyDisablesTheGroupButNotTheCheckFolderPicker()
    {
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &fake = this->fake();
        check(window, "checkFolderCheck")->click();
        QVERIFY(ui::CheckValue::isTicked(*check(window, "thumbnailsCheck"))); // ticked from the start

        check(window, "addressListCheck")->click();
        QCOMPARE(addressOnlyGroupEnabled(window), QList<bool>(5, false));
        QVERIFY(button(window, "browseCheckFolderButton")->isEnabled());
        QVERIFY(ui::CheckValue::isTicked(*check(window, "checkFolderCheck")));
        QVERIFY(ui::CheckValue::isTicked(*check(window, "thumbnailsCheck")));

        // The picker still fills the disabled box.
        fake.folderAnswers.push_back(u"/chosen"_s);
        QTest::mouseClick(button(window, "browseCheckFolderButton"), Qt::LeftButton);
        QCOMPARE(box(window, "checkFolderBox")->currentText(), u"/chosen"_s);
    }

    void untickingAddressOnlyEnablesTheCheckFolderBoxAlone()
    {
        ui::MainWindow &window = this->window();
        check(window, "checkFolderCheck")->click();
        check(window, "checkFolderCheck")->click(); // clear again: box and picker disabled
        check(window, "addressListCheck")->click();
        check(window, "addressListCheck")->click();
        QCOMPARE(addressOnlyGroupEnabled(window), QList<bool>(5, true));
        QVERIFY(!button(window, "browseCheckFolderButton")->isEnabled());
    }

    void switchingAfterCreateLeavesNothingToSaveButKeepsTheDownloadList()
    {
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &fake = this->fake();
        box(window, "baseAddressBox")->setEditText(u"http://h/"_s);
        box(window, "headBox")->setEditText(u"img"_s);
        box(window, "tailBox")->setEditText(u".jpg"_s);
        edit(window, "startEdit")->setText(u"1"_s);
        edit(window, "endEdit")->setText(u"3"_s);
        edit(window, "digitsEdit")->setText(u"2"_s);
        QTest::mouseClick(button(window, "createButton"), Qt::LeftButton);
        QVERIFY(!window.pageText().isEmpty());

        check(window, "addressListCheck")->click();
        QVERIFY(window.pageText().isEmpty());
        QVERIFY(output(window)->toPlainText().isEmpty());
        QCOMPARE(window.pageImages().count(), 3);
        QCOMPARE(window.pageImages().fileName(2), u"img03.jpg"_s);

        QTest::mouseClick(button(window, "saveButton"), Qt::LeftButton);
        QCOMPARE(fake.lastMessageText(), u"保存する内容が有りません"_s);
        QVERIFY(fake.saveRequests.isEmpty());
    }
};

QTEST_MAIN(TestFolderSwitches)
#include "test_FolderSwitches.moc"
