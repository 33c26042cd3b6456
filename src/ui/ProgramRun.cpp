#include "ui/ProgramRun.h"

#include "desktop/TerminationSignals.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QSessionManager>

namespace quorel::ui
{
int runProgram(const desktop::Desktop &desktop, const std::function<void(MainWindow &)> &whenShown)
{
    MainWindow window(desktop);

    // The end of the desktop session and the termination signals close the window as the user
    // would, so that the settings are saved on the way out; a download under way stops first. A
    // signal that comes during start-up waits for the event loop; one that comes while a refused
    // copy shows its message ends it.
    auto closeWindow = [&window] {
        window.close();
        // exit, not quit: quit is ignored while the main loop has not started, as in a message box
        // shown by the start-up. exit also ends a loop that a running download waits in.
        QCoreApplication::exit(0);
    };
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [closeWindow](QSessionManager &) { closeWindow(); });
    desktop::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &desktop::TerminationSignals::received, &window, closeWindow);

    if (!window.start())
        return 0;
    window.show();
    if (whenShown)
        whenShown(window);
    return QApplication::exec();
}
}
