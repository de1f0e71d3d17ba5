// Qt's own words in Japanese: the buttons of message boxes, the input box and the file
// dialog, the text boxes' right-click menus. Every other word the program shows is
// Japanese, so these must be too, whatever the machine's language.
#pragma once

class QCoreApplication;

namespace parupo {

// Loads Qt's Japanese translation (qtbase_ja.qm, Debian qt6-translations-l10n) from Qt's
// translations folder into `app`. Returns false when it is not installed; Qt then keeps
// its English words and nothing else changes.
[[nodiscard]] bool loadQtJapanese(QCoreApplication& app);

}  // namespace parupo
