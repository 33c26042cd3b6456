#include "support/WindowTest.h"
#include "ui/Form1.h"
#include "ui/Module1.h"

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
        return {form().cmb_Name, form().cmb_Head, form().cmb_Ext, form().cmb_Chk_FoN, form().Text3,
                form().Text4,    form().txt_Keta, form().Text8,   form().Text9};
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
        form().show();
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
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
        form().Text4->clear();
        type(form().Text4, typed);
        QCOMPARE(form().Text4->text(), kept);
        QCOMPARE(fake().beeps, beeps);
    }

    void everyNumberFieldFilters()
    {
        const QList<QLineEdit *> numberFields{form().Text3, form().Text4, form().txt_Keta, form().Text8, form().Text9};
        for (QLineEdit *field : numberFields) {
            field->clear();
            type(field, u"a２"_s);
            QCOMPARE(field->text(), u"2"_s);
        }
        QCOMPARE(fake().beeps, numberFields.size());

        form().cmb_Head->setEditText(QString());
        type(form().cmb_Head->lineEdit(), u"a２"_s);
        QCOMPARE(form().cmb_Head->currentText(), u"a２"_s);
        QCOMPARE(fake().beeps, numberFields.size());
    }

    void controlKeysReachTheField()
    {
        form().Text4->setText(u"12"_s);
        form().Text4->end(false);
        QTest::keyClick(form().Text4, Qt::Key_Backspace);
        QCOMPARE(form().Text4->text(), u"1"_s);

        QSignalSpy entered(form().Text4, &QLineEdit::returnPressed);
        QTest::keyClick(form().Text4, Qt::Key_Return);
        QCOMPARE(entered.size(), 1);

        // Delete carries the text DEL on X11; it deletes as usual.
        form().Text4->home(false);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QCoreApplication::sendEvent(form().Text4, &del);
        QCOMPARE(form().Text4->text(), QString());
        form().Text4->setText(u"1"_s);

        // Pasted text is not filtered.
        QApplication::clipboard()->setText(u"a-1"_s);
        QTest::keyClick(form().Text4, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form().Text4->text(), u"1a-1"_s);
        QCOMPARE(fake().beeps, 0);
    }

    // Characters typed with Ctrl+Alt or Super held are still typed characters.
    void modifiedCharactersAreFiltered()
    {
        form().Text4->clear();
        for (const auto modifiers : {Qt::ControlModifier | Qt::AltModifier, Qt::KeyboardModifiers(Qt::MetaModifier)}) {
            QTest::keyClick(form().Text4, Qt::Key_Minus, modifiers);
            QTest::keyClick(form().Text4, Qt::Key_5, modifiers);
        }
        QCOMPARE(form().Text4->text(), u"55"_s);
        QCOMPARE(fake().beeps, 2);
    }

    void inputMethodCommit()
    {
        form().Text4->clear();
        commit(form().Text4, u"４５"_s);
        QCOMPARE(form().Text4->text(), u"45"_s);
        QCOMPARE(fake().beeps, 0);

        // A character outside the basic plane beeps once.
        commit(form().Text4, u"６😀"_s);
        QCOMPARE(form().Text4->text(), u"456"_s);
        QCOMPARE(fake().beeps, 1);
    }

    void previewFollowsStartAndDigitCount()
    {
        QCOMPARE(form().Label9->text(), QString());
        form().Text3->setText(u"7"_s);
        QCOMPARE(form().Label9->text(), u"007"_s);
        form().txt_Keta->setText(u"5"_s);
        QCOMPARE(form().Label9->text(), u"00007"_s);

        form().cmb_Head->setEditText(u"h"_s);
        form().cmb_Ext->setEditText(u".png"_s);
        form().Text4->setText(u"99"_s);
        QCOMPARE(form().Label9->text(), u"00007"_s);

        form().Text3->clear();
        form().Text3->setFocus();
        type(form().Text3, u"４２"_s);
        QCOMPARE(form().Label9->text(), u"00042"_s);
    }

    void tabbingSelectsWholeText()
    {
        form().chk_fon_Enabled(true);
        form().cmb_Chk_FoN->setEditText(u"C:\\check"_s);
        for (QWidget *field : selectingFields())
            editOf(field)->setCursorPosition(0);

        QList<QWidget *> reached;
        form().Command1->setFocus();
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
            form().Command1->setFocus();
            QLineEdit *edit = editOf(field);
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
            QTRY_VERIFY2(wholeTextSelected(field), qPrintable(field->objectName()));

            form().Command1->setFocus();
            edit->setCursorPosition(2);
            field->setFocus(Qt::OtherFocusReason);
            QVERIFY2(wholeTextSelected(field), qPrintable(field->objectName()));
        }
    }
};

QTEST_MAIN(TestFieldInputRules)
#include "test_FieldInputRules.moc"
