#include "desktop/QtDesktop.h"
#include "desktop/ToolkitTranslation.h"
#include "ui/ProgramRun.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));
    quorel::desktop::installJapaneseToolkitTranslation(app);
    quorel::desktop::QtDesktop desktop;
    return quorel::ui::runProgram(desktop.roles());
}
