#pragma once

class QCoreApplication;

namespace quorel::desktop
{
// Makes the toolkit's own words (file dialogs, the fields' context menus, dialog buttons) Japanese
// like the rest of the window, whatever the user's locale. Without Qt's Japanese translation
// installed they stay as the toolkit has them; false then.
bool installJapaneseToolkitTranslation(QCoreApplication &application);
}
