#pragma once

#include <QList>
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
    // Images that follow one pattern, named from their numbers (see appendNumber) when asked: a page
    // of 32,767 images would otherwise hold 65,534 strings besides its text.
    PageImages(QString baseAddress, QString head, QString tail, qint64 digits)
        : m_patterned(true)
        , m_baseAddress(std::move(baseAddress))
        , m_head(std::move(head))
        , m_tail(std::move(tail))
        , m_digits(digits)
    { }

    qsizetype count() const { return m_patterned ? m_numbers.size() : m_addresses.size(); }
    // Image i, 0 <= i < count().
    QString address(qsizetype i) const;
    QString fileName(qsizetype i) const;

    // Every image's address or file name, in order.
    QStringList addresses() const;
    QStringList fileNames() const;

    // The images at these places, in the order given.
    PageImages subset(const QList<qsizetype> &places) const;

    void append(QString address, QString fileName);
    // The image of number n, in a list that follows a pattern.
    void appendNumber(qint64 n) { m_numbers.append(n); }

private:
    bool m_patterned = false;
    QStringList m_addresses;
    QStringList m_fileNames;
    QString m_baseAddress;
    QString m_head;
    QString m_tail;
    qint64 m_digits = 0;
    QList<qint64> m_numbers;
};
}
