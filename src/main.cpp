#include "platform/QtDesktop.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaly作成"));

    quorel::platform::QtDesktop desktop;
    quorel::ui::Form1 form(desktop);
    if (!form.Form_Load())
        return 0;
    form.show();
    return QApplication::exec();
}
