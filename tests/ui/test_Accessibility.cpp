#include "support/WindowTest.h"
#include "ui/MainWindow.h"
#include "ui/WindowControls.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace quorel;
using namespace Qt::StringLiterals;

namespace
{
const ui::ControlRow *rowOf(const QString &control)
{
    for (const ui::ControlRow &row : ui::controlTable()) {
        if (QLatin1StringView(row.name) == control)
            return &row;
    }
    return nullptr;
}

// The role a screen reader is told for a control of the row's kind.
QAccessible::Role roleOf(const ui::ControlRow &row)
{
    constexpr QAccessible::Role byKind[] = {QAccessible::StaticText, QAccessible::CheckBox, QAccessible::EditableText,
                                            QAccessible::ComboBox,   QAccessible::Button,   QAccessible::EditableText};
    return byKind[row.member.index()];
}

QAccessibleInterface *accessible(const ui::MainWindow &window, const QString &control)
{
    return QAccessible::queryAccessibleInterface(window.findChild<QWidget *>(control));
}

const char *const buttons[] = {"createButton",
                               "saveButton",
                               "overwriteButton",
                               "viewButton",
                               "aboutButton",
                               "analyseButton",
                               "downloadButton",
                               "browseCheckFolderButton",
                               "browseDownloadFolderButton"};
}

class TestAccessibility : public tests::WindowTest
{
    Q_OBJECT

    void showActive(ui::MainWindow &window)
    {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private Q_SLOTS:
    // Every child of the window, as the accessibility tree holds it, against the one table.
    void everyControlMatchesTable()
    {
        ui::MainWindow &window = this->window();
        box(window, "baseAddressBox")->setEditText(QStringLiteral("http://www.example.org/"));
        QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&window);
        QVERIFY(tree);
        QStringList seen;
        const QRegularExpression accessKey(QStringLiteral("&|\\([A-Z]\\)"));
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface *child = tree->child(i);
            const QString control = child->object()->objectName();
            const ui::ControlRow *row = rowOf(control);
            QVERIFY2(row, qPrintable(control));
            seen.append(control);
            QCOMPARE(child->role(), roleOf(*row));
            QCOMPARE(child->text(QAccessible::Name), row->accessibleName.toString());
            QVERIFY2(!row->accessibleName.toString().contains(accessKey), qPrintable(control));
            const QStringView description = row->toolTip.isEmpty() ? row->description : row->toolTip;
            QCOMPARE(child->text(QAccessible::Description), description.toString());
            QCOMPARE(qobject_cast<QWidget *>(child->object())->toolTip(), row->toolTip.toString());
        }
        QCOMPARE(seen.size(), qsizetype(ui::controlTable().size()));
        QCOMPARE(seen.size(), qsizetype(window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size()));
    }

    // What a screen reader speaks as a control's label and its access key: only the label that
    // names it, although the keys of the address labels lead on to the start number.
    void labelsAndKeys_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("key");
        QTest::newRow("start") << u"startEdit"_s << QStringList{u"startLabel"_s} << u"Alt+K"_s;
        QTest::newRow("end") << u"endEdit"_s << QStringList{u"endLabel"_s} << u"Alt+E"_s;
        QTest::newRow("digits") << u"digitsEdit"_s << QStringList{u"digitsLabel"_s} << u"Alt+L"_s;
        QTest::newRow("size") << u"thumbSizeEdit"_s << QStringList{u"thumbSizeLabel"_s} << u"Alt+O"_s;
        QTest::newRow("columns") << u"columnsEdit"_s << QStringList{u"columnsLabel"_s} << u"Alt+H"_s;
        QTest::newRow("base address") << u"baseAddressBox"_s << QStringList{u"baseAddressLabel"_s} << QString();
        QTest::newRow("head") << u"headBox"_s << QStringList{u"headLabel"_s} << QString();
        QTest::newRow("tail") << u"tailBox"_s << QStringList{u"tailLabel"_s} << QString();
        QTest::newRow("output folder") << u"downloadFolderBox"_s << QStringList{u"downloadFolderLabel"_s} << QString();
        QTest::newRow("check folder") << u"checkFolderBox"_s << QStringList() << QString();
    }

    void labelsAndKeys()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, labels);
        QFETCH(QString, key);
        ui::MainWindow &window = this->window();
        QAccessibleInterface *face = accessible(window, control);
        QStringList labelledBy;
        for (const auto &[label, relation] : face->relations(QAccessible::Label))
            labelledBy << label->object()->objectName();
        QCOMPARE(labelledBy, labels);
        for (const QString &label : labels) {
            const auto targets = accessible(window, label)->relations(QAccessible::Labelled);
            QCOMPARE(targets.size(), 1);
            QCOMPARE(targets.first().first->object()->objectName(), control);
        }
        QCOMPARE(face->text(QAccessible::Accelerator), key);
    }

    // A combo box is named by its role, its current text is its value.
    void comboValueIsText()
    {
        ui::MainWindow &window = this->window();
        box(window, "headBox")->setEditText(QStringLiteral("photo_"));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(box(window, "headBox"));
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("頭"));
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("photo_"));
        QCOMPARE(face->childCount(), 2);
        QCOMPARE(face->child(1)->object(), box(window, "headBox")->lineEdit());
        QCOMPARE(face->indexOfChild(face->child(1)), 1);
    }

    void numberPreviewValue_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("shown");
        QTest::newRow("padded") << QStringLiteral("7") << QStringLiteral("3") << QStringLiteral("007");
        QTest::newRow("longer than digits") << QStringLiteral("1234") << QStringLiteral("2") << QStringLiteral("1234");
    }

    void numberPreviewValue()
    {
        QFETCH(QString, start);
        QFETCH(QString, digits);
        QFETCH(QString, shown);
        ui::MainWindow &window = this->window();
        edit(window, "startEdit")->setText(start);
        edit(window, "digitsEdit")->setText(digits);
        QCOMPARE(label(window, "numberPreview")->text(), shown);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(label(window, "numberPreview"));
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("数字"));
        QCOMPARE(face->text(QAccessible::Value), shown);
        QAccessibleTextInterface *text = face->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), int(shown.size()));
        QCOMPARE(text->text(0, text->characterCount()), shown);
        QCOMPARE(text->text(1, -1), shown.mid(1));
    }

    void enterPressesFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        for (const char *button : buttons) {
            QTest::addRow("%s Return", button)
                << QString::fromLatin1(button) << int(Qt::Key_Return) << int(Qt::NoModifier);
            QTest::addRow("%s keypad Enter", button)
                << QString::fromLatin1(button) << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        }
    }

    void enterPressesFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ui::MainWindow &window = this->window();
        showActive(window);
        auto *target = window.findChild<QPushButton *>(button);
        QVERIFY(target);
        target->setEnabled(true);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QSignalSpy clicks(target, &QPushButton::clicked);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(clicks.size(), 1);
        // Also a button that disables itself while it runs, so that a second Enter presses it again.
        QCOMPARE(QApplication::focusWidget(), target);
        // Pressing by Enter does not make any button the default one.
        for (QPushButton *any : window.findChildren<QPushButton *>())
            QVERIFY(!any->isDefault());
    }

    // The action really runs: Create fills the page, a second Enter creates again rather than
    // pressing the next button, and a held Enter does not repeat it.
    void enterRunsCreateOnce()
    {
        ui::MainWindow &window = this->window();
        showActive(window);
        button(window, "createButton")->setFocus();
        QSignalSpy clicks(button(window, "createButton"), &QPushButton::clicked);
        QTest::keyClick(button(window, "createButton"), Qt::Key_Return);
        QVERIFY(!window.pageText().isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(clicks.size(), 2);
        QVERIFY(fake().saveRequests.isEmpty());
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(button(window, "createButton"), &held);
        QCOMPARE(clicks.size(), 2);
        // With a modifier Enter is not the plain press.
        QTest::keyClick(button(window, "createButton"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(clicks.size(), 2);
    }

    void enterInFieldPressesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        for (const char *field :
             {"startEdit", "endEdit", "digitsEdit", "thumbSizeEdit", "columnsEdit", "baseAddressBox"}) {
            QTest::addRow("%s Return", field) << QString::fromLatin1(field) << int(Qt::Key_Return);
            QTest::addRow("%s keypad Enter", field) << QString::fromLatin1(field) << int(Qt::Key_Enter);
        }
    }

    void enterInFieldPressesNothing()
    {
        QFETCH(QString, field);
        QFETCH(int, key);
        ui::MainWindow &window = this->window();
        showActive(window);
        auto *control = window.findChild<QWidget *>(field);
        control->setFocus();
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        QList<QSignalSpy *> spies;
        for (const char *button : buttons)
            spies.append(
                new QSignalSpy(window.findChild<QPushButton *>(QString::fromLatin1(button)), &QPushButton::clicked));
        QTest::keyClick(focused, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->size(), 0);
        qDeleteAll(spies);
        QVERIFY(window.pageText().isEmpty());
        QCOMPARE(QApplication::focusWidget(), focused);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_Accessibility.moc"
