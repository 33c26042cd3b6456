#include "desktop/QtDesktop.h"
#include "desktop/SaveDialogFilter.h"
#include "desktop/ToolkitTranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quorel::desktop;
using namespace Qt::StringLiterals;

namespace
{
const QList<FileType> pageTypes{{u"HTMLファイル(*.htm;*.htm)"_s, {u"*.htm"_s, u"*.html"_s}, u"htm"_s},
                                {u"TXTファイル(*.txt)"_s, {u"*.txt"_s}, u"txt"_s},
                                {u"すべてのファイル(*.*)"_s, {u"*.*"_s}, {}}};
}

Q_DECLARE_METATYPE(QList<quorel::desktop::FileType>)

class TestSaveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(installJapaneseToolkitTranslation(*qApp)); }

    void nameFilters_data()
    {
        QTest::addColumn<QList<FileType>>("types");
        QTest::addColumn<QStringList>("nameFilters");
        QTest::newRow("the page types") << pageTypes
                                        << QStringList{u"HTMLファイル(*.htm;*.htm) (*.htm *.html)"_s,
                                                       u"TXTファイル(*.txt) (*.txt)"_s,
                                                       u"すべてのファイル(*.*) (*.*)"_s};
        QTest::newRow("percent signs kept")
            << QList<FileType>{{u"%1"_s, {u"*.%2"_s}, {}}} << QStringList{u"%1 (*.%2)"_s};
    }

    void nameFilters()
    {
        QFETCH(QList<FileType>, types);
        QFETCH(QStringList, nameFilters);
        QCOMPARE(SaveDialogFilter::toNameFilters(types), nameFilters);
    }

    void dialog_data()
    {
        QTest::addColumn<qsizetype>("selectedType");
        QTest::addColumn<int>("chosenType"); // the type the user picks in the dialog; -1: none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosenName");
        QTest::newRow("HTML, extension appended") << qsizetype(0) << -1 << u"page"_s << u"page.htm"_s;
        QTest::newRow("TXT, extension appended") << qsizetype(1) << -1 << u"一覧"_s << u"一覧.txt"_s;
        QTest::newRow("TXT, extension kept") << qsizetype(1) << -1 << u"list.txt"_s << u"list.txt"_s;
        QTest::newRow("all files, none appended") << qsizetype(2) << -1 << u"notes"_s << u"notes"_s;
        QTest::newRow("TXT picked in the dialog") << qsizetype(0) << 1 << u"list"_s << u"list.txt"_s;
        QTest::newRow("all files picked in the dialog") << qsizetype(1) << 2 << u"list"_s << u"list"_s;
        QTest::newRow("cancelled") << qsizetype(0) << -1 << QString() << QString();
    }

    // The dialog opens as asked; the user then types a name and confirms, or cancels.
    void dialog()
    {
        QFETCH(qsizetype, selectedType);
        QFETCH(int, chosenType);
        QFETCH(QString, typed);
        QFETCH(QString, chosenName);
        QTemporaryDir dir;

        QString title;
        QString directory;
        QString selectedFilter;
        QStringList fileTypes;
        QStringList buttons;
        QStringList labels;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            selectedFilter = dialog->selectedNameFilter();
            auto *types = dialog->findChild<QComboBox *>(u"fileTypeCombo"_s);
            for (int i = 0; i < types->count(); ++i)
                fileTypes.append(types->itemText(i));
            // As the user picks a type, with the arrow keys.
            while (types->currentIndex() < chosenType)
                QTest::keyClick(types, Qt::Key_Down);
            for (const QAbstractButton *button : dialog->findChild<QDialogButtonBox *>(u"buttonBox"_s)->buttons())
                buttons.append(button->text());
            for (const char *name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                labels.append(dialog->findChild<QLabel *>(QLatin1StringView(name))->text());
            if (typed.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDesktop desktop;
        const std::optional<SaveDialogChoice> choice
            = desktop.saveDialog(nullptr, {u"ファイルを保存"_s, dir.path(), pageTypes, selectedType});

        QCOMPARE(title, u"ファイルを保存"_s);
        QCOMPARE(directory, dir.path());
        // The file types read as the window names them, each once, and the dialog speaks Japanese.
        QCOMPARE(fileTypes,
                 (QStringList{u"HTMLファイル(*.htm;*.htm)"_s, u"TXTファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s}));
        QCOMPARE(selectedFilter, fileTypes.at(selectedType));
        QCOMPARE(buttons, (QStringList{u"保存(&S)"_s, u"キャンセル"_s}));
        QCOMPARE(labels, (QStringList{u"アドレス:"_s, u"ファイル名(&N):"_s, u"ファイルの種類:"_s}));
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
