// The program as built, with one difference: once its window shows it downloads the addresses
// given after the folder on its command line, as a press of the download button would.
// Usage: quorel_downloading <folder> <address>...
#include "desktop/QtDesktop.h"
#include "ui/MainWindow.h"
#include "ui/ProgramRun.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorel"));
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() < 2)
        return 2;
    quorel::desktop::QtDesktop desktop;
    return quorel::ui::runProgram(desktop.roles(), [&arguments](quorel::ui::MainWindow &window) {
        QStringList names;
        for (qsizetype k = 1; k < arguments.size(); ++k)
            names.append(QStringLiteral("img%1.jpg").arg(k, 2, 10, QChar(u'0')));
        window.findChild<QComboBox *>(QStringLiteral("downloadFolderBox"))->setEditText(arguments.first());
        window.setPage({}, {arguments.mid(1), names});
        QTimer::singleShot(0, window.findChild<QPushButton *>(QStringLiteral("downloadButton")), &QPushButton::click);
    });
}
