#include "platform/QtDesktop.h"

#include "platform/UrlFetcher.h"

#include <QApplication>
#include <QMessageBox>

namespace quorel::platform
{
void QtDesktop::messageBox(QWidget *owner, const QString &text, const QString &title, MessageIcon icon)
{
    QMessageBox box(owner);
    box.setWindowTitle(title);
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

std::optional<SaveDialogChoice> QtDesktop::saveDialog(QWidget *, const SaveDialogRequest &)
{
    return std::nullopt;
}

QString QtDesktop::folderDialog(QWidget *, const QString &)
{
    return {};
}

void QtDesktop::openWithAssociatedProgram(const QString &)
{
}

bool QtDesktop::anotherInstanceRunning(const QString &)
{
    return false;
}

std::unique_ptr<UrlFetcher> QtDesktop::createFetcher()
{
    return nullptr;
}
}
