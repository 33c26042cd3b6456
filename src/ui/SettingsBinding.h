#pragma once

#include "core/Result.h"

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

// Writes the window's fields whole, or leaves the old file and says why; createdAt goes into the header.
core::Result<> writeFile(Form1 &form, const QString &path, const QString &createdAt);
}
