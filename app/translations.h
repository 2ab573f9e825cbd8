#pragma once

class QCoreApplication;

// Loads Qt's own Japanese texts (file and print dialogs, the questions they ask, the context
// menus of text boxes and scroll bars, message box buttons), whatever the system's language:
// the program speaks Japanese throughout. Without Qt's translations installed nothing changes.
// Qt's own formats follow Japanese as well (the kinds of file the save dialog lists).
void installJapaneseTranslations(QCoreApplication& app);
