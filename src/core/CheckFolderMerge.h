#pragma once

#include <QString>
#include <QStringList>

namespace quorel::core
{
// Leaves out the numbers whose file already lies in the check folder: a merge of the ascending
// file names with the ascending check list that moves on only at a match, so a listed name that
// no number produces stops it there.
class CheckFolderMerge
{
public:
    // Leaves nothing out.
    CheckFolderMerge() = default;

    // listedNames: the folder's files matching the tail; startName: the head followed by the number
    // text of the start. Names sorting before the lower-cased start name are dropped.
    CheckFolderMerge(const QStringList &listedNames, const QString &startName);

    // Whether the image with this file name is left out; a match moves the merge on.
    bool leavesOut(const QString &fileName);

    bool isOn() const { return m_on; }
    const QStringList &checkList() const { return m_checkList; }

private:
    bool m_on = false;
    QStringList m_checkList;
    QStringList m_lowered;
    qsizetype m_position = 0;
};
}
