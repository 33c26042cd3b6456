#include "platform/QtDesktop.h"

#include <QApplication>
#include <QMessageBox>

namespace quorel::platform
{
void QtDesktop::messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon)
{
    QMessageBox box(owner);
    box.setWindowTitle(title);
    // Messages carry paths and addresses as typed; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDesktop::beep()
{
    QApplication::beep();
}
}
