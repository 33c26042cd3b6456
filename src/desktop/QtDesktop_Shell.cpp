#include "desktop/QtDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

namespace quorel::desktop
{
void QtDesktop::beep()
{
    QApplication::beep();
}

void QtDesktop::openWithAssociatedProgram(const QString &path)
{
    // Whether a program took the file is not reported, as the user sees that for themselves.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
}
