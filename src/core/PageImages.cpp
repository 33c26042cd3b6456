#include "core/PageImages.h"

#include "core/PageGenerator.h"

namespace quorel::core
{
QString PageImages::address(qsizetype i) const
{
    return m_patterned ? m_baseAddress + fileName(i) : m_addresses.at(i);
}

QString PageImages::fileName(qsizetype i) const
{
    return m_patterned ? m_head + numberText(m_numbers.at(i), m_digits) + m_tail : m_fileNames.at(i);
}

QStringList PageImages::addresses() const
{
    if (!m_patterned)
        return m_addresses;
    QStringList list;
    list.reserve(count());
    for (qsizetype i = 0; i < count(); ++i)
        list.append(address(i));
    return list;
}

QStringList PageImages::fileNames() const
{
    if (!m_patterned)
        return m_fileNames;
    QStringList list;
    list.reserve(count());
    for (qsizetype i = 0; i < count(); ++i)
        list.append(fileName(i));
    return list;
}

PageImages PageImages::subset(const QList<qsizetype> &places) const
{
    PageImages chosen = *this;
    chosen.m_numbers.clear();
    chosen.m_addresses.clear();
    chosen.m_fileNames.clear();
    for (const qsizetype i : places) {
        if (m_patterned) {
            chosen.m_numbers.append(m_numbers.at(i));
        } else {
            chosen.m_addresses.append(m_addresses.at(i));
            chosen.m_fileNames.append(m_fileNames.at(i));
        }
    }
    return chosen;
}

void PageImages::append(QString address, QString fileName)
{
    // An image named apart from the pattern turns the list into one named one by one.
    if (m_patterned) {
        m_addresses = addresses();
        m_fileNames = fileNames();
        m_numbers.clear();
        m_patterned = false;
    }
    m_addresses.append(std::move(address));
    m_fileNames.append(std::move(fileName));
}
}
