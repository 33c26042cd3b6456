#include "ui/SettingsBinding.h"

#include "core/SettingsFormat.h"
#include "platform/FileIO.h"
#include "ui/CheckValue.h"
#include "ui/Form1.h"
#include "ui/Module1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace quorel::ui::SettingsBinding
{
namespace
{
    using namespace core::SettingsFormat;

    QComboBox &listBox(Form1 &form, ListField field)
    {
        switch (field) {
        case ListField::BaseAddress:
            return *form.cmb_Name;
        case ListField::CheckFolder:
            return *form.cmb_Chk_FoN;
        case ListField::Head:
            return *form.cmb_Head;
        case ListField::Tail:
            break;
        }
        return *form.cmb_Ext;
    }

    // The text box a field is kept in; the two folders are not.
    QLineEdit *textBox(Form1 &form, TextField field)
    {
        switch (field) {
        case TextField::Columns:
            return form.Text9;
        case TextField::Size:
            return form.Text8;
        case TextField::Start:
            return form.Text3;
        case TextField::End:
            return form.Text4;
        case TextField::Digits:
            return form.txt_Keta;
        case TextField::OutFolder:
        case TextField::ImageFolder:
            break;
        }
        return nullptr;
    }

    // The reader's changes, made on the controls as a user's would, so their reactions run.
    class FormTarget final : public Target
    {
    public:
        explicit FormTarget(Form1 &form)
            : m_form(form)
        { }

        void readList(ListField field, const QStringList &entries) override
        {
            Module1::cmb_ReadList(listBox(m_form, field), entries);
        }

        void setText(TextField field, const QString &text) override
        {
            if (field == TextField::OutFolder)
                Module1::str_OutFolder = text;
            else if (field == TextField::ImageFolder)
                m_form.cmb_Fld->setEditText(text);
            else
                textBox(m_form, field)->setText(text);
        }

        void setCheckValue(CheckField field, int value) override
        {
            CheckValue::setValue(field == CheckField::Thumbnail ? *m_form.Check1 : *m_form.chk_Chk_FoN, value);
        }

        void enableCheckFolder(bool enabled) override { m_form.chk_fon_Enabled(enabled); }

    private:
        Form1 &m_form;
    };

    Values valuesOf(Form1 &form)
    {
        Values values;
        values.baseAddresses = Module1::cmb_WriteList(*form.cmb_Name);
        values.checkFolders = Module1::cmb_WriteList(*form.cmb_Chk_FoN);
        values.thumbnail = CheckValue::value(*form.Check1);
        values.folderCheck = CheckValue::value(*form.chk_Chk_FoN);
        values.columns = form.Text9->text();
        values.size = form.Text8->text();
        values.heads = Module1::cmb_WriteList(*form.cmb_Head);
        values.tails = Module1::cmb_WriteList(*form.cmb_Ext);
        values.start = form.Text3->text();
        values.end = form.Text4->text();
        values.digits = form.txt_Keta->text();
        values.outFolder = Module1::str_OutFolder;
        values.imageFolder = form.cmb_Fld->currentText();
        return values;
    }
}

void readFile(Form1 &form, const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    const core::Result<QStringList> lines = platform::FileIO::readTextLines(path);
    if (!lines) {
        // The window opens with its own values all the same; only the log can say why.
        qWarning().noquote() << lines.error();
        return;
    }
    FormTarget target(form);
    read(*lines, target);
}

core::Result<> writeFile(Form1 &form, const QString &path, const QString &createdAt)
{
    const QString text = write(valuesOf(form), createdAt);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return core::fail(QStringLiteral("フォルダ「%1」を作れませんでした。").arg(QDir::toNativeSeparators(folder)));
    return platform::FileIO::writeText(path, text);
}
}
