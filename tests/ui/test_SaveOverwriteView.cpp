#include "desktop/QtDesktop.h"
#include "support/FileBytes.h"
#include "support/WindowTest.h"
#include "ui/CheckValue.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quorel;
using tests::contentsOf;
using tests::putBytes;
using namespace Qt::StringLiterals;
using desktop::MessageIcon;

namespace
{
desktop::SaveDialogChoice choiceFor(const QString &path)
{
    return {path, QFileInfo(path).fileName()};
}

const QStringList pageTypes{u"HTMLファイル(*.htm;*.htm)"_s, u"TXTファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s};
}

class TestSaveOverwriteView : public tests::WindowTest
{
    Q_OBJECT

    QString folder() const { return folderPath() + u'/'; }

    // A confirmed Save of text to path.
    void saveAs(const QString &text, const QString &path)
    {
        window().setPage(text, {});
        fake().saveAnswers.push_back(choiceFor(path));
        button("saveButton")->click();
    }

private Q_SLOTS:
    void savedBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("own breaks plus one") << u"a\r\nb"_s << QByteArray("a\r\nb\r\n");
        QTest::newRow("Japanese in CP932") << u"<head>画像"_s << QByteArray("<head>\x89\xe6\x91\x9c\r\n");
    }

    void savedBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        output()->setPlainText(u"typed by the user"_s);
        saveAs(text, pathOf(u"page.htm"_s));

        QCOMPARE(contentsOf(pathOf(u"page.htm"_s)), bytes);
        QVERIFY(fake().messages.isEmpty());
        QCOMPARE(window().savedFile(), pathOf(u"page.htm"_s));
        QCOMPARE(window().lastSaveFolder(), folder());
    }

    // Create never leaves such a character in a page, but should one come, the save says so rather
    // than write "?" in its place.
    void characterOutsideCp932IsRefusedSayingWhich()
    {
        QVERIFY(putBytes(pathOf(u"page.htm"_s), "old"));
        saveAs(u"a한"_s, pathOf(u"page.htm"_s));

        QCOMPARE(contentsOf(pathOf(u"page.htm"_s)), QByteArray("old"));
        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().messages[0].text,
                 u"ファイル「%1」に書き込めませんでした。「한」（U+D55C）はWindows-31Jにない文字です。"_s.arg(
                     pathOf(u"page.htm"_s)));
        QCOMPARE(fake().messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(window().savedFile().isEmpty());
    }

    void dialogRequest_data()
    {
        QTest::addColumn<int>("check2");
        QTest::addColumn<qsizetype>("selectedType");
        QTest::newRow("page") << 0 << qsizetype(0);
        QTest::newRow("address list") << 1 << qsizetype(1);
    }

    void dialogRequest()
    {
        QFETCH(int, check2);
        QFETCH(qsizetype, selectedType);
        ui::CheckValue::setValue(*check("addressListCheck"), core::CheckState(check2));
        saveAs(u"x"_s, pathOf(u"first.htm"_s));
        saveAs(u"x"_s, pathOf(u"second.htm"_s));

        QCOMPARE(fake().saveRequests.size(), 2);
        const desktop::SaveDialogRequest &first = fake().saveRequests.at(0);
        QStringList descriptions;
        for (const desktop::FileType &type : first.fileTypes)
            descriptions.append(type.description);
        QCOMPARE(descriptions, pageTypes);
        QCOMPARE(first.selectedType, selectedType);
        QCOMPARE(first.initialFolder, QString());
        QCOMPARE(fake().saveRequests.at(1).initialFolder, folder());
    }

    // The desktop's own dialog: a name typed without an extension takes the one of the type chosen.
    void typedNameTakesTheTypesExtension_data()
    {
        QTest::addColumn<int>("check2");
        QTest::addColumn<QString>("saved");
        QTest::newRow("page") << 0 << u"一覧.htm"_s;
        QTest::newRow("address list") << 1 << u"一覧.txt"_s;
    }

    void typedNameTakesTheTypesExtension()
    {
        QFETCH(int, check2);
        QFETCH(QString, saved);
        desktop::QtDesktop real;
        tests::FakeDesktop &fake = this->fake();
        ui::MainWindow window({fake, real, fake, fake, fake, fake}, settingsLocation());
        ui::CheckValue::setValue(*check(window, "addressListCheck"), core::CheckState(check2));
        window.setPage(u"x"_s, {});
        QTimer::singleShot(0, [this] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(pathOf(u"一覧"_s));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        button(window, "saveButton")->click();
        QCOMPARE(window.savedFile(), pathOf(saved));
        QCOMPARE(contentsOf(pathOf(saved)), QByteArray("x\r\n"));
    }

    void nothingToSave_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << u"   "_s;
    }

    void nothingToSave()
    {
        QFETCH(QString, text);
        window().setPage(text, {});
        button("saveButton")->click();

        QCOMPARE(fake().beeps, 1);
        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().messages.at(0).text, u"保存する内容が有りません"_s);
        QCOMPARE(fake().messages.at(0).title, u"エラー"_s);
        QCOMPARE(fake().messages.at(0).icon, MessageIcon::Exclamation);
        QVERIFY(fake().saveRequests.isEmpty());
        QVERIFY(button("saveButton")->isEnabled());
    }

    void cancelForgetsTheSavedFile()
    {
        saveAs(u"x"_s, pathOf(u"page.htm"_s));
        button("saveButton")->click(); // cancelled: no answer queued

        QCOMPARE(window().savedFile(), QString());
        QCOMPARE(window().lastSaveFolder(), folder());

        button("viewButton")->click();
        QCOMPARE(fake().messages.size(), 1);
        QCOMPARE(fake().messages.at(0).text, u"選択されていません"_s);
        QCOMPARE(fake().messages.at(0).title, u"Tessaly作成"_s);
        QCOMPARE(fake().messages.at(0).icon, MessageIcon::Exclamation);
        QVERIFY(fake().openedFiles.isEmpty());

        button("overwriteButton")->click();
        QCOMPARE(fake().saveRequests.size(), 3);
    }

    void overwriteAndViewUseTheSavedPath_data()
    {
        QTest::addColumn<QString>("newText");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("new page") << u"new"_s << QByteArray("new\r\n");
        QTest::newRow("empty page") << QString() << QByteArray("\r\n");
    }

    void overwriteAndViewUseTheSavedPath()
    {
        QFETCH(QString, newText);
        QFETCH(QByteArray, bytes);
        saveAs(u"old"_s, pathOf(u"page.htm"_s));
        window().setPage(newText, {});
        button("overwriteButton")->click();

        QCOMPARE(fake().saveRequests.size(), 1);
        QCOMPARE(contentsOf(pathOf(u"page.htm"_s)), bytes);
        QVERIFY(button("overwriteButton")->isEnabled());

        button("viewButton")->click();
        QCOMPARE(fake().openedFiles, QList<QString>{pathOf(u"page.htm"_s)});
    }

    void buttonsDisabledWhileTheDialogIsOpen_data()
    {
        QTest::addColumn<bool>("throughOverwrite");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("save, saved") << false << true;
        QTest::newRow("save, cancelled") << false << false;
        QTest::newRow("overwrite falling back, saved") << true << true;
        QTest::newRow("overwrite falling back, cancelled") << true << false;
    }

    void buttonsDisabledWhileTheDialogIsOpen()
    {
        QFETCH(bool, throughOverwrite);
        QFETCH(bool, confirmed);
        window().setPage(u"x"_s, {});
        if (confirmed)
            fake().saveAnswers.push_back(choiceFor(pathOf(u"page.htm"_s)));
        bool saveEnabled = true;
        bool overwriteEnabled = true;
        fake().whileSaveDialogShown = [&] {
            saveEnabled = button("saveButton")->isEnabled();
            overwriteEnabled = button("overwriteButton")->isEnabled();
        };
        (throughOverwrite ? button("overwriteButton") : button("saveButton"))->click();

        QCOMPARE(fake().saveRequests.size(), 1);
        QVERIFY(!saveEnabled);
        QCOMPARE(overwriteEnabled, !throughOverwrite);
        QVERIFY(button("saveButton")->isEnabled());
        QVERIFY(button("overwriteButton")->isEnabled());
    }

    void failedSaveKeepsEverything_data()
    {
        QTest::addColumn<QString>("badName");
        QTest::addColumn<QString>("removedWhileDialogShown"); // a folder there until then
        QTest::newRow("missing folder") << u"missing/page.htm"_s << QString();
        QTest::newRow("folder in place of the file") << u"sub"_s << QString();
        QTest::newRow("folder removed while the dialog is open") << u"gone/page.htm"_s << u"gone"_s;
    }

    void failedSaveKeepsEverything()
    {
        QFETCH(QString, badName);
        QFETCH(QString, removedWhileDialogShown);
        QVERIFY(QDir(folderPath()).mkpath(u"sub"_s));
        saveAs(u"old"_s, pathOf(u"good.htm"_s));
        const QString folderBefore = window().lastSaveFolder();
        if (!removedWhileDialogShown.isEmpty()) {
            QVERIFY(QDir(folderPath()).mkpath(removedWhileDialogShown));
            fake().whileSaveDialogShown = [&] { QVERIFY(QDir(pathOf(removedWhileDialogShown)).removeRecursively()); };
        }

        saveAs(u"new"_s, pathOf(badName));

        QCOMPARE(fake().messages.size(), 1);
        QVERIFY(fake().messages.at(0).text.contains(QDir::toNativeSeparators(pathOf(badName))));
        QCOMPARE(fake().messages.at(0).title, u"Tessaly作成"_s);
        QCOMPARE(fake().messages.at(0).icon, MessageIcon::Exclamation);
        QVERIFY(button("saveButton")->isEnabled());
        QCOMPARE(window().savedFile(), pathOf(u"good.htm"_s));
        QCOMPARE(window().savedFileName(), u"good.htm"_s);
        QCOMPARE(window().lastSaveFolder(), folderBefore);
        QCOMPARE(contentsOf(pathOf(u"good.htm"_s)), QByteArray("old\r\n"));
        QVERIFY(QDir(pathOf(u"sub"_s)).isEmpty());
        QCOMPARE(QDir(folderPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"good.htm"_s, u"sub"_s}));
    }

    void failedOverwriteTellsAndStaysUsable()
    {
        saveAs(u"old"_s, pathOf(u"page.htm"_s));
        QVERIFY(QFile::remove(pathOf(u"page.htm"_s)));
        QVERIFY(QDir(folderPath()).mkdir(u"page.htm"_s));

        button("overwriteButton")->click();

        QCOMPARE(fake().messages.size(), 1);
        QVERIFY(fake().messages.at(0).text.contains(QDir::toNativeSeparators(pathOf(u"page.htm"_s))));
        QVERIFY(button("overwriteButton")->isEnabled());
        QCOMPARE(window().savedFile(), pathOf(u"page.htm"_s));
        QVERIFY(QFileInfo(pathOf(u"page.htm"_s)).isDir());
    }
};

QTEST_MAIN(TestSaveOverwriteView)
#include "test_SaveOverwriteView.moc"
