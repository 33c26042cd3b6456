#include "ui/MainWindow.h"

#include "core/KeyFilter.h"
#include "core/NumberPreview.h"

#include <QAccessible>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <array>

namespace quorel::ui
{
namespace
{
    void selectAllText(QWidget &field)
    {
        auto *edit = qobject_cast<QLineEdit *>(&field);
        if (auto *combo = qobject_cast<QComboBox *>(&field))
            edit = combo->lineEdit();
        if (edit)
            edit->setSelection(0, static_cast<int>(edit->text().size()));
    }

    void selectOnFocus(QWidget &field, Qt::FocusReason reason)
    {
        selectAllText(field);
        // The click that gave the focus goes on to place the cursor; select again after it.
        if (reason == Qt::MouseFocusReason)
            QTimer::singleShot(0, &field, [&field] { selectAllText(field); });
    }
}

bool MainWindow::isNumberField(const QObject *watched) const
{
    const std::array<const QObject *, 5> fields{startEdit, endEdit, digitsEdit, thumbSizeEdit, columnsEdit};
    return std::find(fields.begin(), fields.end(), watched) != fields.end();
}

// The field that selects its whole text when `watched` takes the focus; a combo box may pass the
// focus on to its line edit.
QWidget *MainWindow::selectingField(QObject *watched) const
{
    if (isNumberField(watched))
        return qobject_cast<QWidget *>(watched);
    for (QComboBox *box : {baseAddressBox, headBox, tailBox, checkFolderBox}) {
        if (watched == box || watched == box->lineEdit())
            return box;
    }
    return nullptr;
}

// What the number fields keep of a typed or committed text, one character at a time.
QString MainWindow::keptNumberText(QStringView text)
{
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        // A character outside the basic plane is refused once, not once for each half.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        if (acceptNumberKey(c) != 0)
            kept.append(QChar(c));
    }
    return kept;
}

char16_t MainWindow::acceptNumberKey(char16_t &key)
{
    if (const auto accepted = core::KeyFilter::numberKey(key)) {
        key = *accepted;
    } else {
        m_desktop.notifier.beep();
        key = 0;
    }
    return key;
}

void MainWindow::installFieldRules()
{
    for (QLineEdit *field : {startEdit, endEdit, digitsEdit, thumbSizeEdit, columnsEdit})
        field->installEventFilter(this);
    for (QComboBox *box : {baseAddressBox, headBox, tailBox, checkFolderBox}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (QWidget *field = selectingField(watched))
            selectOnFocus(*field, static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::KeyPress: {
        if (!isNumberField(watched))
            break;
        // Keys without text pass untouched, Delete (whose text is DEL) among them, and so do Ctrl
        // shortcuts (Ctrl+V pastes unfiltered). Ctrl+Alt and Super still type characters, so they are filtered.
        const auto &key = *static_cast<QKeyEvent *>(event);
        const bool shortcut = (key.modifiers() & Qt::ControlModifier) && !(key.modifiers() & Qt::AltModifier);
        if (key.text().isEmpty() || key.text() == QChar(0x7f) || shortcut)
            return false;
        const QString kept = keptNumberText(key.text());
        if (kept == key.text())
            return false;
        if (!kept.isEmpty()) {
            QKeyEvent mapped(QEvent::KeyPress, key.key(), key.modifiers(), kept, key.isAutoRepeat(),
                             static_cast<quint16>(key.count()));
            QCoreApplication::sendEvent(watched, &mapped);
        }
        return true;
    }
    case QEvent::InputMethod: {
        // An input method commits its text without key presses.
        const auto &input = *static_cast<QInputMethodEvent *>(event);
        if (!isNumberField(watched) || input.commitString().isEmpty())
            break;
        const QString kept = keptNumberText(input.commitString());
        if (kept == input.commitString())
            return false;
        // Sent even when nothing is kept, so that the composition still ends.
        QInputMethodEvent mapped(input.preeditString(), input.attributes());
        mapped.setCommitString(kept, input.replacementStart(), input.replacementLength());
        QCoreApplication::sendEvent(watched, &mapped);
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::updateNumberPreview()
{
    const QString preview = core::numberPreview(startEdit->text(), digitsEdit->text());
    numberPreview->setText(preview);
    // The label announces a new name only while it has none of its own; its name is fixed.
    QAccessibleValueChangeEvent changed(numberPreview, preview);
    QAccessible::updateAccessibility(&changed);
}
}
