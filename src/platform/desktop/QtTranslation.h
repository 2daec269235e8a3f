#pragma once

#include <QString>

// Loads Qt's own texts (the buttons of message boxes, context menus, scroll bars) in Chinese: the
// system's Chinese variant where it is one, Simplified Chinese otherwise, since everything else the
// learner reads is Chinese. Returns the translation's name ("qtbase_zh_CN"), or an empty text when
// none could be found (Qt's texts then stay English).
QString InstallQtTranslation();
