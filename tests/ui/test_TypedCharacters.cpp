#include "platform/Cp932.h"
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QUrl>

using namespace quorel;
using namespace Qt::StringLiterals;
using tests::contentsOf;

namespace
{
// Characters Linux input methods type that Windows-31J lacks: the wave dash, the minus sign, a
// kanji beyond JIS (a surrogate pair) and a Hangul syllable.
const QString typedBase = u"http://127.0.0.1/写真/旅行〜2024−𠮷/"_s;
const QString typedHead = u"한_"_s;

QStringList intendedAddresses(const QString &base, const QString &head)
{
    return {base + head + u"01.png"_s, base + head + u"02.png"_s, base + head + u"03.png"_s};
}

// The text of bytes that must be Windows-31J through and through: read back, they encode the same.
QString strictCp932(const QByteArray &bytes)
{
    const QString text = platform::Cp932::decode(bytes);
    const auto again = platform::Cp932::encode(text);
    return again && *again == bytes ? text : u"(not Windows-31J)"_s;
}

QString resolveReferences(const QString &text)
{
    static const QRegularExpression reference(u"&#([0-9]+);"_s);
    QString resolved;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch &match : reference.globalMatch(text)) {
        const char32_t value = match.captured(1).toUInt();
        resolved += text.sliced(copied, match.capturedStart() - copied);
        if (value > 0xFFFF) {
            resolved += QChar(QChar::highSurrogate(value));
            resolved += QChar(QChar::lowSurrogate(value));
        } else {
            resolved += QChar(char16_t(value));
        }
        copied = match.capturedEnd();
    }
    return resolved + text.sliced(copied);
}
}

class TestTypedCharacters : public tests::WindowTest
{
    Q_OBJECT

    static void fillPattern(const QWidget &window, const QString &base, const QString &head)
    {
        box(window, "baseAddressBox")->setEditText(base);
        box(window, "headBox")->setEditText(head);
        box(window, "tailBox")->setEditText(u".png"_s);
        edit(window, "digitsEdit")->setText(u"2"_s);
        edit(window, "startEdit")->setText(u"1"_s);
        edit(window, "endEdit")->setText(u"3"_s);
    }

    // Create, then Save to path; the saved bytes.
    QByteArray createAndSave(const QString &path)
    {
        button("createButton")->click();
        fake().saveAnswers.push_back(desktop::SaveDialogChoice{path, QFileInfo(path).fileName()});
        button("saveButton")->click();
        return contentsOf(path);
    }

private Q_SLOTS:
    void pageAndListKeepEveryCharacter_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("head");
        QTest::addColumn<bool>("escaped");
        QTest::newRow("beyond Windows-31J") << typedBase << typedHead << true;
        QTest::newRow("Windows-31J alone") << u"http://127.0.0.1/写真/旅行～2024－/"_s << u"画像_"_s << false;
    }

    void pageAndListKeepEveryCharacter()
    {
        QFETCH(QString, base);
        QFETCH(QString, head);
        QFETCH(bool, escaped);
        fillPattern(window(), base, head);
        const QStringList intended = intendedAddresses(base, head);

        for (const bool thumbnails : {false, true}) {
            ui::CheckValue::setValue(*check("thumbnailsCheck"),
                                     thumbnails ? core::CheckState::Ticked : core::CheckState::Clear);
            const QString page = strictCp932(createAndSave(pathOf(u"page.htm"_s)));
            QCOMPARE(page, window().pageText() + u"\r\n"_s);
            QCOMPARE(output()->toPlainText(), QString(window().pageText()).replace(u"\r\n"_s, u"\n"_s));
            QCOMPARE(page.contains(u"&#"_s), escaped);

            static const QRegularExpression link(u"<a href=\"([^\"]*)\"><img src=\"([^\"]*)\"alt=\"([^\"]*) "_s);
            QStringList hrefs, srcs, alts;
            for (const QRegularExpressionMatch &match : link.globalMatch(resolveReferences(page))) {
                hrefs += match.captured(1);
                srcs += match.captured(2);
                alts += match.captured(3);
            }
            QCOMPARE(hrefs, intended);
            QCOMPARE(srcs, intended);
            QCOMPARE(alts.first(), head + u"01.png"_s);
        }

        ui::CheckValue::setValue(*check("addressListCheck"), core::CheckState::Ticked);
        // The list's own line ends, and the one Save adds.
        const QStringList lines = strictCp932(createAndSave(pathOf(u"list.txt"_s))).split(u"\r\n"_s);
        QCOMPARE(lines.mid(intended.size()), QStringList(2));
        QCOMPARE(lines.size(), intended.size() + 2);
        for (qsizetype i = 0; i < intended.size(); ++i) {
            QCOMPARE(lines[i].contains(u'%'), escaped);
            QCOMPARE(QUrl::fromPercentEncoding(lines[i].toUtf8()), intended[i]);
        }
        QVERIFY(fake().messages.isEmpty());
    }

    // Every field as typed after closing and starting again, also the folders' names.
    void restartKeepsEveryField()
    {
        const QString saveFolder = pathOf(u"保存〜"_s);
        QVERIFY(QDir().mkpath(saveFolder));
        auto first = newWindow();
        QVERIFY(first->start());
        fillPattern(*first, typedBase, typedHead);
        box(*first, "tailBox")->setEditText(u".png−𠮷"_s);
        ui::CheckValue::setValue(*check(*first, "checkFolderCheck"), core::CheckState::Ticked);
        box(*first, "checkFolderBox")->setEditText(u"/tmp/検査〜"_s);
        box(*first, "downloadFolderBox")->setEditText(u"/tmp/다운로드−𠮷"_s);
        button(*first, "createButton")->click();
        first->setPage(u"page"_s, {});
        fake().saveAnswers.push_back(desktop::SaveDialogChoice{saveFolder + u"/p.htm"_s, u"p.htm"_s});
        button(*first, "saveButton")->click();
        first->close();

        const QByteArray file = contentsOf(pathOf(u"quorel.ini"_s));
        QVERIFY(file.startsWith("\xEF\xBB\xBF"));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(file);
        QVERIFY(!utf8.hasError());

        auto again = newWindow();
        QVERIFY(again->start());
        QCOMPARE(box(*again, "baseAddressBox")->currentText(), typedBase);
        QCOMPARE(box(*again, "headBox")->currentText(), typedHead);
        QCOMPARE(box(*again, "tailBox")->itemText(4), u".png−𠮷"_s);
        QCOMPARE(box(*again, "checkFolderBox")->currentText(), u"/tmp/検査〜"_s);
        QCOMPARE(box(*again, "downloadFolderBox")->currentText(), u"/tmp/다운로드−𠮷"_s);
        QCOMPARE(again->lastSaveFolder(), saveFolder + u'/');
    }
};

QTEST_MAIN(TestTypedCharacters)
#include "test_TypedCharacters.moc"
