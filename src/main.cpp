#include "platform/QtDesktop.h"
#include "platform/TerminationSignals.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaly作成"));

    quorel::platform::QtDesktop desktop;
    quorel::ui::Form1 form(desktop);
    if (!form.Form_Load())
        return 0;

    // The end of the desktop session and the termination signals close the window as the user
    // would, so the settings are saved on the way out.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager &) { form.close(); });
    quorel::platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &quorel::platform::TerminationSignals::received, &form, &QWidget::close);

    form.show();
    return QApplication::exec();
}
