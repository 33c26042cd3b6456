#include "platform/QtDesktop.h"
#include "platform/TerminationSignals.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));

    quorel::platform::QtDesktop desktop;
    quorel::ui::Form1 form(desktop);

    // The end of the desktop session and the termination signals close the window as the user
    // would, so that the settings are saved on the way out. A signal that comes during start-up
    // waits for the event loop; one that comes while a refused copy shows its message ends it.
    auto closeWindow = [&form] {
        form.close();
        // exit, not quit: quit is ignored while the main loop has not started, as in a message box
        // shown by the start-up.
        QCoreApplication::exit(0);
    };
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [closeWindow](QSessionManager &) { closeWindow(); });
    quorel::platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &quorel::platform::TerminationSignals::received, &form, closeWindow);

    if (!form.Form_Load())
        return 0;
    form.show();
    return QApplication::exec();
}
