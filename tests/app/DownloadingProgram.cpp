// The program as built, with one difference: once its window shows it downloads the addresses
// given after the folder on its command line, as a press of the download button would.
// Usage: quorel_downloading <folder> <address>...
#include "platform/QtDesktop.h"
#include "ui/Form1.h"
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
    quorel::platform::QtDesktop desktop;
    return quorel::ui::runProgram(desktop, [&arguments](quorel::ui::Form1 &form) {
        QStringList names;
        for (qsizetype k = 1; k < arguments.size(); ++k)
            names.append(QStringLiteral("img%1.jpg").arg(k, 2, 10, QChar(u'0')));
        form.cmb_Fld->setEditText(arguments.first());
        form.str_UrlList = quorel::core::OneBasedStrings(arguments.mid(1));
        form.str_FileList = quorel::core::OneBasedStrings(names);
        form.int_FileCnt = qint16(names.size());
        QTimer::singleShot(0, form.cmd_Get, &QPushButton::click);
    });
}
