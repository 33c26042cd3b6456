// A window with nothing in it, built with the program's flags: what a start costs at the least.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(372, 328);
    window.show();
    return QApplication::exec();
}
