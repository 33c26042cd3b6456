#pragma once

#include <QString>
#include <QStringList>

namespace quorel::core
{
// A string array whose first entry has index 1; readers go by a count kept beside it.
class OneBasedStrings
{
public:
    OneBasedStrings() = default;
    explicit OneBasedStrings(QStringList entries)
        : m_entries(std::move(entries))
    {
        if (m_entries.isEmpty())
            m_entries.append(QString());
    }

    // Entry k, 1 <= k <= size().
    const QString &at(qsizetype k) const { return m_entries.at(k - 1); }
    qsizetype size() const { return m_entries.size(); }

private:
    QStringList m_entries{QString()};
};
}
