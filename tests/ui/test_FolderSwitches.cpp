#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/Form1.h"
#include "ui/Module1.h"

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
    static QList<bool> addressOnlyGroupEnabled(const ui::Form1 &form)
    {
        return {form.Check1->isEnabled(), form.Text8->isEnabled(), form.Text9->isEnabled(),
                form.cmb_Chk_FoN->isEnabled(), form.chk_Chk_FoN->isEnabled()};
    }

    static QPushButton *pickerButton(ui::Form1 &form, bool checkFolder)
    {
        return checkFolder ? form.cmd_Chk_FoN : form.cmd_Fld;
    }

    static QComboBox *pickerBox(ui::Form1 &form, bool checkFolder)
    {
        return checkFolder ? form.cmb_Chk_FoN : form.cmb_Fld;
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
        ui::Form1 &form = this->form();
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
        ui::Form1 &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        form.chk_Chk_FoN->click();
        QVERIFY(ui::CheckValue::isTicked(*form.Check1)); // ticked from the start

        form.Check2->click();
        QCOMPARE(addressOnlyGroupEnabled(form), QList<bool>(5, false));
        QVERIFY(form.cmd_Chk_FoN->isEnabled());
        QVERIFY(ui::CheckValue::isTicked(*form.chk_Chk_FoN));
        QVERIFY(ui::CheckValue::isTicked(*form.Check1));

        // The picker still fills the disabled box.
        fake.folderAnswers.push_back(u"/chosen"_s);
        QTest::mouseClick(form.cmd_Chk_FoN, Qt::LeftButton);
        QCOMPARE(form.cmb_Chk_FoN->currentText(), u"/chosen"_s);
    }

    void untickingAddressOnlyEnablesTheCheckFolderBoxAlone()
    {
        ui::Form1 &form = this->form();
        form.chk_Chk_FoN->click();
        form.chk_Chk_FoN->click(); // clear again: box and picker disabled
        form.Check2->click();
        form.Check2->click();
        QCOMPARE(addressOnlyGroupEnabled(form), QList<bool>(5, true));
        QVERIFY(!form.cmd_Chk_FoN->isEnabled());
    }

    void switchingAfterCreateLeavesNothingToSaveButKeepsTheDownloadList()
    {
        ui::Form1 &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        form.cmb_Name->setEditText(u"http://h/"_s);
        form.cmb_Head->setEditText(u"img"_s);
        form.cmb_Ext->setEditText(u".jpg"_s);
        form.Text3->setText(u"1"_s);
        form.Text4->setText(u"3"_s);
        form.txt_Keta->setText(u"2"_s);
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QVERIFY(!form.str_Out.isEmpty());

        form.Check2->click();
        QVERIFY(form.str_Out.isEmpty());
        QVERIFY(form.txt_Out->toPlainText().isEmpty());
        QCOMPARE(form.int_FileCnt, qint16(3));
        QCOMPARE(form.str_FileList.at(3), u"img03.jpg"_s);

        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QCOMPARE(fake.lastMessageText(), u"保存する内容が有りません"_s);
        QVERIFY(fake.saveRequests.isEmpty());
    }
};

QTEST_MAIN(TestFolderSwitches)
#include "test_FolderSwitches.moc"
