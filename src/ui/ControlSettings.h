#pragma once

#include "core/SettingsFormat.h"
#include "ui/WindowControls.h"

#include <functional>

// The settings file bound to the controls by the table's column that says where each is kept.
namespace quorel::ui::ControlSettings
{
// The values the settings file keeps: the controls', and the folder of the last saved page.
core::SettingsFormat::Values valuesOf(const Controls &controls, const QString &lastSaveFolder);

// Puts the reader's values in the controls as a user's change would, so that their reactions run.
class Target final : public core::SettingsFormat::Target
{
public:
    // enableCheckFolder: makes the check folder's box and button usable or not.
    Target(const Controls &controls, QString &lastSaveFolder, std::function<void(bool)> enableCheckFolder);

    void readList(core::SettingsFormat::ListField field, const QStringList &entries) override;
    void readText(core::SettingsFormat::TextField field, const QString &text) override;
    void readCheck(core::SettingsFormat::CheckField field, std::optional<core::CheckState> state) override;

private:
    const Controls &m_controls;
    QString &m_lastSaveFolder;
    std::function<void(bool)> m_enableCheckFolder;
};
}
