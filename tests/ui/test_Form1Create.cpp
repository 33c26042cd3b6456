#include "support/WindowTest.h"
#include "support/WorkedPages.h"
#include "ui/CheckValue.h"
#include "ui/Form1.h"
#include "ui/Module1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace quorel;

namespace
{
void fillExample(ui::Form1 &form)
{
    form.cmb_Name->setEditText(QStringLiteral("pics"));
    form.cmb_Head->setEditText(QStringLiteral("img"));
    form.cmb_Ext->setEditText(QStringLiteral(".jpg"));
    form.txt_Keta->setText(QStringLiteral("2"));
    form.Text3->setText(QStringLiteral("1"));
    form.Text4->setText(QStringLiteral("3"));
    ui::CheckValue::setValue(*form.Check1, 0);
}

// The output box shows line breaks as paragraphs.
QString shown(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
}

class TestForm1Create : public tests::WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void workedExample_data()
    {
        QTest::addColumn<bool>("addressOnly");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain page") << false << tests::WorkedPages::plain;
        QTest::newRow("address list") << true << tests::WorkedPages::addressList;
    }

    void workedExample()
    {
        QFETCH(bool, addressOnly);
        QFETCH(QString, expected);
        ui::Form1 &form = this->form();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(form);
        ui::CheckValue::setValue(*form.Check2, addressOnly ? 1 : 0);
        form.Command1->click();

        QCOMPARE(form.str_Out, expected);
        QCOMPARE(form.txt_Out->toPlainText(), shown(expected));
        QCOMPARE(form.cmb_Name->currentText(), QStringLiteral("pics/"));
        QCOMPARE(form.cmb_Name->itemText(0), QStringLiteral("pics/"));
        QCOMPARE(form.int_FileCnt, qint16(3));
        QCOMPARE(entriesOf(form.str_UrlList, 3),
                 (QStringList{QStringLiteral("pics/img01.jpg"), QStringLiteral("pics/img02.jpg"),
                              QStringLiteral("pics/img03.jpg")}));
        QCOMPARE(entriesOf(form.str_FileList, 3),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img02.jpg"), QStringLiteral("img03.jpg")}));
        QVERIFY(form.Command1->isEnabled());
        QVERIFY(desktop.messages.isEmpty());
    }

    void invalidStart()
    {
        ui::Form1 &form = this->form();
        tests::FakeDesktop &desktop = this->fake();
        fillExample(form);
        form.Command1->click();
        QCOMPARE(form.int_FileCnt, qint16(3));

        ui::CheckValue::setValue(*form.Check1, 1);
        form.Text3->setText(QStringLiteral("abc"));
        bool disabledDuringMessage = false;
        desktop.whileMessageShown = [&] { disabledDuringMessage = !form.Command1->isEnabled(); };
        form.Command1->click();

        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].text, QStringLiteral("開始、終了に正しい数値を入力してください"));
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Tessaly作成"));
        QCOMPARE(desktop.messages[0].icon, platform::MessageIcon::None);
        QVERIFY(disabledDuringMessage);
        QVERIFY(form.Command1->isEnabled());
        // The header is shown, everything else of the last run is gone.
        QCOMPARE(form.txt_Out->toPlainText(),
                 shown(QStringLiteral("<html>\r\n<title>Tessaly</title>\r\n<table border=0>")));
        QVERIFY(form.str_Out.isEmpty());
        QCOMPARE(form.int_FileCnt, qint16(0));
        QCOMPARE(form.str_UrlList.size(), 1);
        QVERIFY(form.str_UrlList.at(1).isEmpty());
        QCOMPARE(form.cmb_Head->itemText(0), QStringLiteral("img"));

        form.Command1->click();
        QCOMPARE(desktop.messages.size(), 2);
    }

    void recentEntries_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("new text goes to the top")
            << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("existing entry moves up")
            << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")} << QStringLiteral("c")
            << QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("top entry stays") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QStringLiteral("a")
                                         << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("case matters") << QStringList{QStringLiteral("a"), QStringLiteral("B")} << QStringLiteral("b")
                                      << QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("B")};
        QTest::newRow("empty text is an entry") << QStringList() << QString() << QStringList{QString()};
        QTest::newRow("first of duplicates moves")
            << QStringList{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("x")} << QStringLiteral("x")
            << QStringList{QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("x")};
    }

    void recentEntries()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        ui::Form1 &form = this->form();
        form.cmb_Head->addItems(before);
        form.cmb_Head->setEditText(text);
        ui::Module1::cmb_AddTop(*form.cmb_Head);
        QCOMPARE(itemsOf(*form.cmb_Head), after);
        QCOMPARE(form.cmb_Head->currentText(), text);
    }

    void checkFolderOnlyRecordedWhenTicked()
    {
        ui::Form1 &form = this->form();
        fillExample(form);
        form.cmb_Chk_FoN->setEditText(QStringLiteral("/nowhere"));
        form.Command1->click();
        QCOMPARE(form.cmb_Chk_FoN->count(), 0);
        ui::CheckValue::setValue(*form.chk_Chk_FoN, 1);
        form.Command1->click();
        QCOMPARE(itemsOf(*form.cmb_Chk_FoN), QStringList{QStringLiteral("/nowhere")});
    }

    void checkFolderOnDisk()
    {
        QTemporaryDir folder;
        for (const char *name : {"img02.jpg", "img03.JPG", "img04.png", ".img01.jpg"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("img01.jpg")));
        ui::Form1 &form = this->form();
        fillExample(form);
        form.Text4->setText(QStringLiteral("4"));
        form.cmb_Chk_FoN->setEditText(folder.path());
        ui::CheckValue::setValue(*form.chk_Chk_FoN, 1);
        form.Command1->click();
        // A folder and a hidden file of the same name do not count; the tail matches without regard to case.
        QCOMPARE(entriesOf(form.str_FileList, form.int_FileCnt),
                 (QStringList{QStringLiteral("img01.jpg"), QStringLiteral("img04.jpg")}));
    }

    void longPageIsCutInTheBox()
    {
        ui::Form1 &form = this->form();
        fillExample(form);
        form.Text4->setText(QStringLiteral("1000"));
        form.Command1->click();
        QVERIFY(form.str_Out.size() > 30720);
        QVERIFY(form.str_Out.endsWith(QStringLiteral("img1000.jpg \"><br></a>\r\n")));
        const QString expected = form.str_Out.first(30720)
            + QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n");
        QCOMPARE(form.txt_Out->toPlainText(), shown(expected));
    }
};

QTEST_MAIN(TestForm1Create)
#include "test_Form1Create.moc"
