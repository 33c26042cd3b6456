#include "ui/Form1.h"

#include "core/KeyFilter.h"
#include "platform/Desktop.h"
#include "ui/Module1.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <array>

namespace quorel::ui
{
namespace
{
    std::array<QLineEdit *, 5> numberFields(const Form1 &form)
    {
        return {form.Text3, form.Text4, form.txt_Keta, form.Text8, form.Text9};
    }

    std::array<QComboBox *, 4> patternBoxes(const Form1 &form)
    {
        return {form.cmb_Name, form.cmb_Head, form.cmb_Ext, form.cmb_Chk_FoN};
    }

    bool isNumberField(const Form1 &form, const QObject *watched)
    {
        const auto fields = numberFields(form);
        return std::find(fields.begin(), fields.end(), watched) != fields.end();
    }

    // The field that selects its whole text when `watched` takes the focus; a combo box may
    // pass the focus on to its line edit.
    QWidget *selectingField(const Form1 &form, QObject *watched)
    {
        if (isNumberField(form, watched))
            return qobject_cast<QWidget *>(watched);
        for (QComboBox *box : patternBoxes(form)) {
            if (watched == box || watched == box->lineEdit())
                return box;
        }
        return nullptr;
    }

    void selectOnFocus(QWidget &field, Qt::FocusReason reason)
    {
        Module1::txt_SelAll(field);
        // The click that gave the focus goes on to place the cursor; select again after it.
        if (reason == Qt::MouseFocusReason)
            QTimer::singleShot(0, &field, [&field] { Module1::txt_SelAll(field); });
    }

    // What the number fields keep of a typed or committed text, one character at a time.
    QString keptNumberText(Form1 &form, QStringView text)
    {
        QString kept;
        for (qsizetype i = 0; i < text.size(); ++i) {
            char16_t c = text[i].unicode();
            // A character outside the basic plane is refused once, not once for each half.
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            if (form.chk_Num(c) != 0)
                kept.append(QChar(c));
        }
        return kept;
    }

    // Keys without text pass untouched, Delete (whose text is DEL) among them, and so do Ctrl
    // shortcuts (Ctrl+V pastes unfiltered). Ctrl+Alt and Super still type characters, so they are filtered.
    bool filterKeyPress(Form1 &form, QObject *field, const QKeyEvent &key)
    {
        const bool shortcut = (key.modifiers() & Qt::ControlModifier) && !(key.modifiers() & Qt::AltModifier);
        if (key.text().isEmpty() || key.text() == QChar(0x7f) || shortcut)
            return false;
        const QString kept = keptNumberText(form, key.text());
        if (kept == key.text())
            return false;
        if (!kept.isEmpty()) {
            QKeyEvent mapped(QEvent::KeyPress, key.key(), key.modifiers(), kept, key.isAutoRepeat(),
                             static_cast<quint16>(key.count()));
            QCoreApplication::sendEvent(field, &mapped);
        }
        return true;
    }

    // An input method commits its text without key presses.
    bool filterInputMethod(Form1 &form, QObject *field, const QInputMethodEvent &input)
    {
        if (input.commitString().isEmpty())
            return false;
        const QString kept = keptNumberText(form, input.commitString());
        if (kept == input.commitString())
            return false;
        // Sent even when nothing is kept, so that the composition still ends.
        QInputMethodEvent mapped(input.preeditString(), input.attributes());
        mapped.setCommitString(kept, input.replacementStart(), input.replacementLength());
        QCoreApplication::sendEvent(field, &mapped);
        return true;
    }
}

char16_t Form1::chk_Num(char16_t &int_Num)
{
    if (const auto accepted = core::KeyFilter::numberKey(int_Num)) {
        int_Num = *accepted;
    } else {
        desktop().beep();
        int_Num = 0;
    }
    return int_Num;
}

void Form1::installFieldRules()
{
    for (QLineEdit *field : numberFields(*this))
        field->installEventFilter(this);
    for (QComboBox *box : patternBoxes(*this)) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (QWidget *field = selectingField(*this, watched))
            selectOnFocus(*field, static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::KeyPress:
        if (isNumberField(*this, watched))
            return filterKeyPress(*this, watched, *static_cast<QKeyEvent *>(event));
        break;
    case QEvent::InputMethod:
        if (isNumberField(*this, watched))
            return filterInputMethod(*this, watched, *static_cast<QInputMethodEvent *>(event));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Text3_Change()
{
    Module1::lbl_NumView(*this);
}

void Form1::txt_Keta_Change()
{
    Module1::lbl_NumView(*this);
}
}
