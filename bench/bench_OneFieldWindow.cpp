// The bare window with one text field holding a few characters: the least a window that shows any
// text costs, as the toolkit then reads the font configuration and loads a font.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(372, 328);
    auto *field = new QLineEdit(&window);
    field->setText(QStringLiteral("http://www."));
    window.show();
    return QApplication::exec();
}
