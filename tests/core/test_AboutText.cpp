#include "core/AboutText.h"

#include <QTest>

using namespace quorel::core;
using namespace Qt::StringLiterals;

class TestAboutText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compose_data()
    {
        QTest::addColumn<QString>("programName");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("outFolder");
        QTest::addColumn<QString>("text");
        QTest::newRow("saved page") << u"quorel"_s << 5 << u"C:\\Pages\\"_s
                                    << u"quorel Version 1.1.5\r\n\r\n"
                                       "プログラムが格納されているフォルダ\r\n\"C:\\Tools\"\r\n\r\n"
                                       "Maker\r\nNotice\r\n\r\n"
                                       "出力フォルダ\r\n\"C:\\Pages\\\""_s;
        QTest::newRow("renamed, nothing saved, two-digit revision")
            << u"renamed"_s << 12 << QString()
            << u"renamed Version 1.1.12\r\n\r\n"
               "プログラムが格納されているフォルダ\r\n\"C:\\Tools\"\r\n\r\n"
               "Maker\r\nNotice\r\n\r\n"
               "出力フォルダ\r\n\"\""_s;
    }

    void compose()
    {
        QFETCH(QString, programName);
        QFETCH(int, revision);
        QFETCH(QString, outFolder);
        QFETCH(QString, text);
        const AboutText::Values values{programName, 1, 1, revision, u"C:\\Tools"_s, u"Maker"_s, u"Notice"_s, outFolder};
        QCOMPARE(AboutText::compose(values), text);
    }
};

QTEST_GUILESS_MAIN(TestAboutText)
#include "test_AboutText.moc"
