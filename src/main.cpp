#include "platform/desktop/QtDesktop.h"
#include "platform/desktop/ToolkitTranslation.h"
#include "ui/ProgramRun.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));
    quorel::platform::installJapaneseToolkitTranslation(app);
    quorel::platform::QtDesktop desktop;
    return quorel::ui::runProgram(desktop.roles());
}
