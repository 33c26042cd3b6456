#pragma once

#include <QString>

namespace quorel::ui
{
class Form1;
}

// quorel.ini and the window's fields.
namespace quorel::ui::SettingsBinding
{
// Applies the file to the window; a missing or unreadable file changes nothing.
void readFile(Form1 &form, const QString &path);

// Writes the window's fields whole, or leaves the old file; createdAt goes into the header.
// False when the file could not be written.
bool writeFile(Form1 &form, const QString &path, const QString &createdAt);
}
