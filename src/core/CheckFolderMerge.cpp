#include "core/CheckFolderMerge.h"

#include <algorithm>

namespace quorel::core
{
CheckFolderMerge::CheckFolderMerge(const QStringList &listedNames, const QString &startName)
{
    if (listedNames.isEmpty())
        return;
    // Only the start name is lower-cased here; the listed names are compared as they stand.
    const QString lowerStart = startName.toLower();
    for (const QString &name : listedNames) {
        if (lowerStart <= name)
            m_checkList.append(name);
    }
    std::sort(m_checkList.begin(), m_checkList.end());
    m_lowered.reserve(m_checkList.size());
    for (const QString &name : std::as_const(m_checkList))
        m_lowered.append(name.toLower());
    m_on = true;
}

bool CheckFolderMerge::leavesOut(const QString &fileName)
{
    if (!m_on)
        return false;
    const QString current = m_position < m_lowered.size() ? m_lowered.at(m_position) : QString();
    if (fileName.toLower() != current)
        return false;
    ++m_position;
    if (m_position >= m_lowered.size())
        m_on = false;
    return true;
}
}
