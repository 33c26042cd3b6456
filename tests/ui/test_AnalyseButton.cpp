#include "support/WindowTest.h"
#include "ui/Form1.h"
#include "ui/Module1.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace quorel;
using namespace Qt::StringLiterals;

class TestAnalyseButton : public tests::WindowTest
{
    Q_OBJECT

    // Every text the analysis may touch, in the order it writes them, and the preview.
    static QStringList fields(const ui::Form1 &form)
    {
        return {form.cmb_Name->currentText(), form.cmb_Head->currentText(), form.cmb_Ext->currentText(),
                form.Text3->text(),           form.Text4->text(),           form.txt_Keta->text(),
                form.Label9->text()};
    }

    static QList<int> listSizes(const ui::Form1 &form)
    {
        return {form.cmb_Name->count(), form.cmb_Head->count(), form.cmb_Ext->count(), form.cmb_Chk_FoN->count()};
    }

private Q_SLOTS:
    void fillsTheFieldsAndThePreview()
    {
        ui::Form1 &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        const QList<int> listsBefore = listSizes(form);

        form.cmb_Name->setEditText(u"http://www.example.org/album/pic007.jpg"_s);
        QTest::mouseClick(form.cmd_ana, Qt::LeftButton);

        QCOMPARE(fields(form),
                 (QStringList{u"http://www.example.org/album/"_s, u"pic"_s, u".jpg"_s, u"007"_s, u"57"_s, u"3"_s,
                              u"007"_s}));
        QCOMPARE(listSizes(form), listsBefore);
        QVERIFY(fake.messages.isEmpty());
    }

    void refusalChangesNothing_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << u"   "_s;
        QTest::newRow("already analysed") << u"http://www.example.org/album/"_s;
    }

    void refusalChangesNothing()
    {
        QFETCH(QString, address);
        ui::Form1 &form = this->form();
        tests::FakeDesktop &fake = this->fake();
        form.cmb_Name->setEditText(address);
        form.Text3->setText(u"12"_s);
        const QStringList before = fields(form);

        form.cmd_ana->click();

        QCOMPARE(fields(form), before);
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, u"解析済み(ファイル名が無い)または、アドレスが空です。"_s);
        QCOMPARE(fake.messages[0].title, u"Tessaly作成"_s);
        QCOMPARE(fake.messages[0].icon, platform::MessageIcon::None);
    }
};

QTEST_MAIN(TestAnalyseButton)
#include "test_AnalyseButton.moc"
