#include "platform/desktop/QtDesktop.h"
#include "platform/desktop/SaveDialogFilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quorel::platform;
using namespace Qt::StringLiterals;

namespace
{
const QString pageFilter
    = u"HTMLファイル(*.htm;*.htm)|*.htm;*.html|TXTファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*"_s;
}

class TestSaveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::newRow("the page filter") << pageFilter
                                         << QStringList{u"HTMLファイル(*.htm;*.htm) (*.htm *.html)"_s,
                                                        u"TXTファイル(*.txt) (*.txt)"_s,
                                                        u"すべてのファイル(*.*) (*.*)"_s};
        QTest::newRow("description without patterns") << u"A|*.a|B"_s << QStringList{u"A (*.a)"_s};
        QTest::newRow("percent signs kept") << u"%1|*.%2"_s << QStringList{u"%1 (*.%2)"_s};
    }

    void nameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, nameFilters);
        QCOMPARE(SaveDialogFilter::toNameFilters(filter), nameFilters);
    }

    void dialog_data()
    {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosenName");
        QTest::newRow("HTML, extension appended") << 1 << u"page"_s << u"page.htm"_s;
        QTest::newRow("TXT, extension kept") << 2 << u"list.txt"_s << u"list.txt"_s;
        QTest::newRow("cancelled") << 1 << QString() << QString();
    }

    // The dialog opens as asked; the user then types a name and confirms, or cancels.
    void dialog()
    {
        QFETCH(int, filterIndex);
        QFETCH(QString, typed);
        QFETCH(QString, chosenName);
        QTemporaryDir dir;
        const QStringList nameFilters = SaveDialogFilter::toNameFilters(pageFilter);

        QString title;
        QString directory;
        QString selectedFilter;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            selectedFilter = dialog->selectedNameFilter();
            if (typed.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDesktop desktop;
        const std::optional<SaveDialogChoice> choice
            = desktop.saveDialog(nullptr, {u"ファイルを保存"_s, u"htm"_s, dir.path(), pageFilter, filterIndex});

        QCOMPARE(title, u"ファイルを保存"_s);
        QCOMPARE(directory, dir.path());
        QCOMPARE(selectedFilter, nameFilters.at(filterIndex - 1));
        if (chosenName.isEmpty()) {
            QCOMPARE(choice, std::nullopt);
            return;
        }
        QVERIFY(choice);
        QCOMPARE(choice->fullPath, dir.filePath(chosenName));
        QCOMPARE(choice->fileName, chosenName);
    }
};

QTEST_MAIN(TestSaveDialog)
#include "test_SaveDialog.moc"
