#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
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
    static QList<bool> addressOnlyGroupEnabled(const ui::MainWindow &form)
    {
        return {check(form, "thumbnailsCheck")->isEnabled(), edit(form, "thumbSizeEdit")->isEnabled(),
                edit(form, "columnsEdit")->isEnabled(), box(form, "checkFolderBox")->isEnabled(),
                check(form, "checkFolderCheck")->isEnabled()};
    }

    static QPushButton *pickerButton(ui::MainWindow &form, bool checkFolder)
    {
        return checkFolder ? button(form, "browseCheckFolderButton") : button(form, "browseDownloadFolderButton");
    }

    static QComboBox *pickerBox(ui::MainWindow &form, bool checkFolder)
    {
        return checkFolder ? box(form, "checkFolderBox") : box(form, "downloadFolderBox");
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
        ui::MainWindow &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        QComboBox *box = pickerBox(form, checkFolder);
        box->setEditText(u"typed"_s);
        const int entries = box->count();
        if (!answer.isEmpty())
            fake.folderAnswers.push_back(answer);

        QTest::mouseClick(pickerButton(form, checkFolder), Qt::LeftButton);

        QCOMPARE(fake.folderDialogTitles, QList<QString>{u"ﾌｫﾙﾀﾞを選択してください"_s});
        QCOMPARE(box->currentText(), text);
        QCOMPARE(box->count(), entries);
    }

    void addressOnlyDisablesTheGroupButNotTheCheckFolderPicker()
    {
        ui::MainWindow &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        check(form, "checkFolderCheck")->click();
        QVERIFY(ui::CheckValue::isTicked(*check(form, "thumbnailsCheck"))); // ticked from the start

        check(form, "addressListCheck")->click();
        QCOMPARE(addressOnlyGroupEnabled(form), QList<bool>(5, false));
        QVERIFY(button(form, "browseCheckFolderButton")->isEnabled());
        QVERIFY(ui::CheckValue::isTicked(*check(form, "checkFolderCheck")));
        QVERIFY(ui::CheckValue::isTicked(*check(form, "thumbnailsCheck")));

        // The picker still fills the disabled box.
        fake.folderAnswers.push_back(u"/chosen"_s);
        QTest::mouseClick(button(form, "browseCheckFolderButton"), Qt::LeftButton);
        QCOMPARE(box(form, "checkFolderBox")->currentText(), u"/chosen"_s);
    }

    void untickingAddressOnlyEnablesTheCheckFolderBoxAlone()
    {
        ui::MainWindow &form = this->form();
        check(form, "checkFolderCheck")->click();
        check(form, "checkFolderCheck")->click(); // clear again: box and picker disabled
        check(form, "addressListCheck")->click();
        check(form, "addressListCheck")->click();
        QCOMPARE(addressOnlyGroupEnabled(form), QList<bool>(5, true));
        QVERIFY(!button(form, "browseCheckFolderButton")->isEnabled());
    }

    void switchingAfterCreateLeavesNothingToSaveButKeepsTheDownloadList()
    {
        ui::MainWindow &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        box(form, "baseAddressBox")->setEditText(u"http://h/"_s);
        box(form, "headBox")->setEditText(u"img"_s);
        box(form, "tailBox")->setEditText(u".jpg"_s);
        edit(form, "startEdit")->setText(u"1"_s);
        edit(form, "endEdit")->setText(u"3"_s);
        edit(form, "digitsEdit")->setText(u"2"_s);
        QTest::mouseClick(button(form, "createButton"), Qt::LeftButton);
        QVERIFY(!form.pageText().isEmpty());

        check(form, "addressListCheck")->click();
        QVERIFY(form.pageText().isEmpty());
        QVERIFY(output(form)->toPlainText().isEmpty());
        QCOMPARE(form.pageImages().count(), 3);
        QCOMPARE(form.pageImages().fileName(2), u"img03.jpg"_s);

        QTest::mouseClick(button(form, "saveButton"), Qt::LeftButton);
        QCOMPARE(fake.lastMessageText(), u"保存する内容が有りません"_s);
        QVERIFY(fake.saveRequests.isEmpty());
    }
};

QTEST_MAIN(TestFolderSwitches)
#include "test_FolderSwitches.moc"
