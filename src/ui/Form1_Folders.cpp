#include "ui/Form1.h"

#include "platform/Desktop.h"
#include "ui/CheckValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

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

void Form1::Check2_Click()
{
    txt_Out->clear();
    str_Out.clear();
    const bool listsPages = !CheckValue::isTicked(*Check2);
    for (QWidget *control : std::initializer_list<QWidget *>{Check1, Text8, Text9, cmb_Chk_FoN, chk_Chk_FoN})
        control->setEnabled(listsPages);
}

void Form1::chk_Chk_FoN_Click()
{
    chk_fon_Enabled(CheckValue::isTicked(*chk_Chk_FoN));
}
}
