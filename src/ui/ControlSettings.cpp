#include "ui/ControlSettings.h"

#include "ui/CheckValue.h"
#include "ui/ComboHistory.h"

#include <QComboBox>
#include <QLineEdit>

namespace quorel::ui::ControlSettings
{
using namespace core::SettingsFormat;

namespace
{
    // The control whose value the settings file keeps under field.
    template<typename Field> QWidget &keptIn(const Controls &controls, Field field)
    {
        for (const ControlRow &row : controlTable()) {
            const Field *kept = std::get_if<Field>(&row.kept);
            if (kept && *kept == field)
                return *controlOf(controls, row);
        }
        qFatal("No control keeps settings field %d", int(field));
    }

    // A kept text lies in a line edit or in a combo box's edit field.
    void setText(QWidget &control, const QString &text)
    {
        if (auto *box = qobject_cast<QComboBox *>(&control))
            box->setEditText(text);
        else
            static_cast<QLineEdit &>(control).setText(text);
    }

    QString textOf(const QWidget &control)
    {
        if (auto *box = qobject_cast<const QComboBox *>(&control))
            return box->currentText();
        return static_cast<const QLineEdit &>(control).text();
    }
}

Values valuesOf(const Controls &controls, const QString &lastSaveFolder)
{
    Values values;
    for (const ControlRow &row : controlTable()) {
        QWidget *control = controlOf(controls, row);
        if (const auto *list = std::get_if<ListField>(&row.kept))
            values[*list] = ComboHistory::entriesToSave(static_cast<QComboBox &>(*control));
        else if (const auto *text = std::get_if<TextField>(&row.kept))
            values[*text] = textOf(*control);
        else if (const auto *check = std::get_if<CheckField>(&row.kept))
            values[*check] = CheckValue::value(static_cast<const QCheckBox &>(*control));
    }
    values.lastSaveFolder = lastSaveFolder;
    return values;
}

Target::Target(const Controls &controls, QString &lastSaveFolder, std::function<void(bool)> enableCheckFolder)
    : m_controls(controls)
    , m_lastSaveFolder(lastSaveFolder)
    , m_enableCheckFolder(std::move(enableCheckFolder))
{ }

void Target::readList(ListField field, const QStringList &entries)
{
    ComboHistory::appendRead(static_cast<QComboBox &>(keptIn(m_controls, field)), entries);
}

void Target::readText(TextField field, const QString &text)
{
    if (field == TextField::LastSaveFolder)
        m_lastSaveFolder = text;
    else
        setText(keptIn(m_controls, field), text);
}

void Target::readCheck(CheckField field, std::optional<core::CheckState> state)
{
    if (state)
        CheckValue::setValue(static_cast<QCheckBox &>(keptIn(m_controls, field)), *state);
    // The folder's box and button are usable only while the file says its box is ticked.
    if (field == CheckField::CheckFolder)
        m_enableCheckFolder(state == core::CheckState::Ticked);
}
}
