#pragma once

#include <QString>
#include <QStringList>

namespace quorel::core
{
// The images a page shows, in page order: the address each is fetched from and the file name it is
// stored under.
struct PageImages
{
    QStringList addresses;
    QStringList fileNames;

    qsizetype count() const { return addresses.size(); }
};
}
