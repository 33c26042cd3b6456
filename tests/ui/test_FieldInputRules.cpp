#include "support/WindowTest.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quorel;
using namespace Qt::StringLiterals;

class TestFieldInputRules : public tests::WindowTest
{
    Q_OBJECT

    QList<QWidget *> selectingFields() const
    {
        return {box("baseAddressBox"), box("headBox"),        box("tailBox"),
                box("checkFolderBox"), edit("startEdit"),     edit("endEdit"),
                edit("digitsEdit"),    edit("thumbSizeEdit"), edit("columnsEdit")};
    }

    static QLineEdit *editOf(QWidget *field)
    {
        if (auto *box = qobject_cast<QComboBox *>(field))
            return box->lineEdit();
        return qobject_cast<QLineEdit *>(field);
    }

    static bool wholeTextSelected(QWidget *field)
    {
        const QLineEdit *edit = editOf(field);
        return edit->selectionStart() == 0 && edit->selectedText() == edit->text();
    }

    // One key press per character, as a keyboard (or a keyboard in full-width mode) sends them.
    static void type(QWidget *field, const QString &text)
    {
        for (QChar c : text) {
            const Qt::Key key = c.unicode() < 128 ? QTest::asciiToKey(char(c.unicode())) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, field, key, QString(c), Qt::NoModifier);
        }
    }

    static void commit(QLineEdit *field, const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(field, &event);
    }

private Q_SLOTS:
    void init()
    {
        WindowTest::init();
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("beeps");
        QTest::newRow("ASCII, full-width, Roman") << u"1２Ⅲ"_s << u"123"_s << 0;
        QTest::newRow("every full-width digit") << u"０１２３４５６７８９"_s << u"0123456789"_s << 0;
        QTest::newRow("Roman one to nine") << u"ⅠⅡⅢⅣⅤⅥⅦⅧⅨ"_s << u"123456789"_s << 0;
        QTest::newRow("letter") << u"a"_s << QString() << 1;
        QTest::newRow("minus") << u"-"_s << QString() << 1;
        QTest::newRow("full stop") << u"."_s << QString() << 1;
        QTest::newRow("space") << u" "_s << QString() << 1;
        QTest::newRow("Roman ten") << u"Ⅹ"_s << QString() << 1;
        QTest::newRow("full-width letter") << u"Ａ"_s << QString() << 1;
    }

    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, beeps);
        edit("endEdit")->clear();
        type(edit("endEdit"), typed);
        QCOMPARE(edit("endEdit")->text(), kept);
        QCOMPARE(fake().beeps, beeps);
    }

    void everyNumberFieldFilters()
    {
        const QList<QLineEdit *> numberFields{edit("startEdit"), edit("endEdit"), edit("digitsEdit"),
                                              edit("thumbSizeEdit"), edit("columnsEdit")};
        for (QLineEdit *field : numberFields) {
            field->clear();
            type(field, u"a２"_s);
            QCOMPARE(field->text(), u"2"_s);
        }
        QCOMPARE(fake().beeps, numberFields.size());

        box("headBox")->setEditText(QString());
        type(box("headBox")->lineEdit(), u"a２"_s);
        QCOMPARE(box("headBox")->currentText(), u"a２"_s);
        QCOMPARE(fake().beeps, numberFields.size());
    }

    void controlKeysReachTheField()
    {
        edit("endEdit")->setText(u"12"_s);
        edit("endEdit")->end(false);
        QTest::keyClick(edit("endEdit"), Qt::Key_Backspace);
        QCOMPARE(edit("endEdit")->text(), u"1"_s);

        QSignalSpy entered(edit("endEdit"), &QLineEdit::returnPressed);
        QTest::keyClick(edit("endEdit"), Qt::Key_Return);
        QCOMPARE(entered.size(), 1);

        // Delete carries the text DEL on X11; it deletes as usual.
        edit("endEdit")->home(false);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QCoreApplication::sendEvent(edit("endEdit"), &del);
        QCOMPARE(edit("endEdit")->text(), QString());
        edit("endEdit")->setText(u"1"_s);

        // Pasted text is not filtered.
        QApplication::clipboard()->setText(u"a-1"_s);
        QTest::keyClick(edit("endEdit"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit("endEdit")->text(), u"1a-1"_s);
        QCOMPARE(fake().beeps, 0);
    }

    // No field takes more than the settings file keeps of it.
    void longPasteIsCut()
    {
        QApplication::clipboard()->setText(QString(40'000, u'7'));
        const QList<QWidget *> fields = selectingFields() << box("downloadFolderBox");
        for (QWidget *field : fields) {
            editOf(field)->clear();
            QTest::keyClick(editOf(field), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(editOf(field)->text().size(), 32767);
        }
    }

    // Characters typed with Ctrl+Alt or Super held are still typed characters.
    void modifiedCharactersAreFiltered()
    {
        edit("endEdit")->clear();
        for (const auto modifiers : {Qt::ControlModifier | Qt::AltModifier, Qt::KeyboardModifiers(Qt::MetaModifier)}) {
            QTest::keyClick(edit("endEdit"), Qt::Key_Minus, modifiers);
            QTest::keyClick(edit("endEdit"), Qt::Key_5, modifiers);
        }
        QCOMPARE(edit("endEdit")->text(), u"55"_s);
        QCOMPARE(fake().beeps, 2);
    }

    void inputMethodCommit()
    {
        edit("endEdit")->clear();
        commit(edit("endEdit"), u"４５"_s);
        QCOMPARE(edit("endEdit")->text(), u"45"_s);
        QCOMPARE(fake().beeps, 0);

        // A character outside the basic plane beeps once.
        commit(edit("endEdit"), u"６😀"_s);
        QCOMPARE(edit("endEdit")->text(), u"456"_s);
        QCOMPARE(fake().beeps, 1);
    }

    void previewFollowsStartAndDigitCount()
    {
        QCOMPARE(label("numberPreview")->text(), QString());
        edit("startEdit")->setText(u"7"_s);
        QCOMPARE(label("numberPreview")->text(), u"007"_s);
        edit("digitsEdit")->setText(u"5"_s);
        QCOMPARE(label("numberPreview")->text(), u"00007"_s);

        box("headBox")->setEditText(u"h"_s);
        box("tailBox")->setEditText(u".png"_s);
        edit("endEdit")->setText(u"99"_s);
        QCOMPARE(label("numberPreview")->text(), u"00007"_s);

        edit("startEdit")->clear();
        edit("startEdit")->setFocus();
        type(edit("startEdit"), u"４２"_s);
        QCOMPARE(label("numberPreview")->text(), u"00042"_s);
    }

    void tabbingSelectsWholeText()
    {
        check("checkFolderCheck")->setChecked(true);
        box("checkFolderBox")->setEditText(u"C:\\check"_s);
        for (QWidget *field : selectingFields())
            editOf(field)->setCursorPosition(0);

        QList<QWidget *> reached;
        button("createButton")->setFocus();
        for (int press = 0; press < 40 && reached.size() < selectingFields().size(); ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            for (QWidget *field : selectingFields()) {
                if (field->hasFocus() && !reached.contains(field)) {
                    QVERIFY2(wholeTextSelected(field), qPrintable(field->objectName()));
                    reached.append(field);
                }
            }
        }
        QCOMPARE(reached.size(), selectingFields().size());
    }

    void clickOrProgramFocusSelectsWholeText()
    {
        for (QWidget *field : selectingFields()) {
            editOf(field)->setText(u"12345"_s);
            button("createButton")->setFocus();
            QLineEdit *edit = editOf(field);
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
            QTRY_VERIFY2(wholeTextSelected(field), qPrintable(field->objectName()));

            button("createButton")->setFocus();
            edit->setCursorPosition(2);
            field->setFocus(Qt::OtherFocusReason);
            QVERIFY2(wholeTextSelected(field), qPrintable(field->objectName()));
        }
    }
};

QTEST_MAIN(TestFieldInputRules)
#include "test_FieldInputRules.moc"
