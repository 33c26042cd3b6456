#pragma once

#include <QString>
#include <QStringList>

namespace quorel::core
{
// The images a page shows, in page order: the address each is fetched from and the file name it is
// stored under.
class PageImages
{
public:
    PageImages() = default;
    // Images named one by one; the lists have one entry an image.
    PageImages(QStringList addresses, QStringList fileNames)
        : m_addresses(std::move(addresses))
        , m_fileNames(std::move(fileNames))
    { }

    qsizetype count() const { return m_addresses.size(); }
    // Image i, 0 <= i < count().
    QString address(qsizetype i) const { return m_addresses.at(i); }
    QString fileName(qsizetype i) const { return m_fileNames.at(i); }

    // Every image's address or file name, in order.
    QStringList addresses() const { return m_addresses; }
    QStringList fileNames() const { return m_fileNames; }

    void append(QString address, QString fileName)
    {
        m_addresses.append(std::move(address));
        m_fileNames.append(std::move(fileName));
    }

private:
    QStringList m_addresses;
    QStringList m_fileNames;
};
}
