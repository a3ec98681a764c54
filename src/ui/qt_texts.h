#pragma once
// Qt's own texts (the colour chooser, the print dialog, the text boxes'
// right-click menus, the Yes/No buttons of message boxes) in Japanese, whatever
// the user's locale: the program's interface is Japanese throughout.

class QCoreApplication;

namespace tz {

// Installs Qt's Japanese translations (qtbase_ja from Qt's translations folder;
// Debian's qt6-translations-l10n). False when they are not installed: Qt's
// texts then stay English.
bool install_japanese_qt_texts(QCoreApplication* app);

}  // namespace tz
