#include "support/WindowTest.h"
#include "ui/MainWindow.h"

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
    static QStringList fields(const ui::MainWindow &window)
    {
        return {box(window, "baseAddressBox")->currentText(),
                box(window, "headBox")->currentText(),
                box(window, "tailBox")->currentText(),
                edit(window, "startEdit")->text(),
                edit(window, "endEdit")->text(),
                edit(window, "digitsEdit")->text(),
                label(window, "numberPreview")->text()};
    }

    static QList<int> listSizes(const ui::MainWindow &window)
    {
        return {box(window, "baseAddressBox")->count(), box(window, "headBox")->count(),
                box(window, "tailBox")->count(), box(window, "checkFolderBox")->count()};
    }

private Q_SLOTS:
    void fillsTheFieldsAndThePreview()
    {
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &fake = this->fake();
        const QList<int> listsBefore = listSizes(window);

        box(window, "baseAddressBox")->setEditText(u"http://www.example.org/album/pic007.jpg"_s);
        QTest::mouseClick(button(window, "analyseButton"), Qt::LeftButton);

        QCOMPARE(fields(window),
                 (QStringList{u"http://www.example.org/album/"_s, u"pic"_s, u".jpg"_s, u"007"_s, u"57"_s, u"3"_s,
                              u"007"_s}));
        QCOMPARE(listSizes(window), listsBefore);
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
        ui::MainWindow &window = this->window();
        tests::FakeDesktop &fake = this->fake();
        box(window, "baseAddressBox")->setEditText(address);
        edit(window, "startEdit")->setText(u"12"_s);
        const QStringList before = fields(window);

        button(window, "analyseButton")->click();

        QCOMPARE(fields(window), before);
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, u"解析済み(ファイル名が無い)または、アドレスが空です。"_s);
        QCOMPARE(fake.messages[0].title, u"Tessaly作成"_s);
        QCOMPARE(fake.messages[0].icon, desktop::MessageIcon::None);
    }
};

QTEST_MAIN(TestAnalyseButton)
#include "test_AnalyseButton.moc"
