#include "ui/ProgramRun.h"

#include "platform/TerminationSignals.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QSessionManager>

namespace quorel::ui
{
int runProgram(platform::Desktop &desktop, const std::function<void(Form1 &)> &whenShown)
{
    Form1 form(desktop);

    // The end of the desktop session and the termination signals close the window as the user
    // would, so that the settings are saved on the way out; a download under way stops first. A
    // signal that comes during start-up waits for the event loop; one that comes while a refused
    // copy shows its message ends it.
    auto closeWindow = [&form] {
        form.close();
        // exit, not quit: quit is ignored while the main loop has not started, as in a message box
        // shown by the start-up. exit also ends a loop that a running download waits in.
        QCoreApplication::exit(0);
    };
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &form,
                     [closeWindow](QSessionManager &) { closeWindow(); });
    platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &platform::TerminationSignals::received, &form, closeWindow);

    if (!form.Form_Load())
        return 0;
    form.show();
    if (whenShown)
        whenShown(form);
    return QApplication::exec();
}
}
