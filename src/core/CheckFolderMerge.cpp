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
    // With every listed name dropped the list is empty, and an empty name must not match "nothing".
    if (!m_on || m_position >= m_lowered.size())
        return false;
    if (fileName.toLower() != m_lowered.at(m_position))
        return false;
    ++m_position;
    if (m_position >= m_lowered.size())
        m_on = false;
    return true;
}
}
