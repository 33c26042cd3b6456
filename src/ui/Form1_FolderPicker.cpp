#include "ui/Form1.h"

#include "platform/Desktop.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace quorel::ui
{
namespace
{
    // Cancel leaves the box as it was; a chosen path replaces its text, enabled or not.
    void putChosenFolder(QComboBox &box, const QString &path)
    {
        if (!path.isEmpty())
            box.setEditText(path);
    }
}

QString Form1::get_Folder()
{
    return desktop().folderDialog(this, u"ﾌｫﾙﾀﾞを選択してください"_s);
}

void Form1::cmd_Chk_FoN_Click()
{
    putChosenFolder(*cmb_Chk_FoN, get_Folder());
}

void Form1::cmd_Fld_Click()
{
    putChosenFolder(*cmb_Fld, get_Folder());
}
}
