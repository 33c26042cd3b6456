#include "core/ProgramVersion.h"
#include "support/WindowTest.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

using namespace quorel;
using namespace Qt::StringLiterals;

class TestAbout : public tests::WindowTest
{
    Q_OBJECT

    QStringList aboutLines()
    {
        button("aboutButton")->click();
        if (fake().messages.isEmpty())
            return {};
        return fake().messages.last().text.split(u"\r\n"_s);
    }

    static QStringList expectedLines(const QString &outFolder)
    {
        return {
            u"test_About Version 1.1.5"_s,
            QString(),
            u"プログラムが格納されているフォルダ"_s,
            u'"' + QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + u'"',
            QString(),
            QString::fromUtf16(core::ProgramVersion::companyName),
            QString::fromUtf16(core::ProgramVersion::legalCopyright),
            QString(),
            u"出力フォルダ"_s,
            u'"' + outFolder + u'"',
        };
    }

private Q_SLOTS:
    void beforeAnySave()
    {
        QCOMPARE(aboutLines(), expectedLines(QString()));
        QCOMPARE(fake().messages.last().title, u"About Tessaly作成"_s);
        QCOMPARE(fake().messages.last().icon, desktop::MessageIcon::None);
    }

    void afterASave()
    {
        window().setPage(u"page"_s, {});
        fake().saveAnswers.push_back(desktop::SaveDialogChoice{pathOf(u"page.htm"_s), u"page.htm"_s});
        button("saveButton")->click();

        QCOMPARE(aboutLines(), expectedLines(folderPath() + u'/'));
    }
};

QTEST_MAIN(TestAbout)
#include "test_About.moc"
