#include "platform/fonts.h"

#include <QApplication>

namespace parupo {

namespace {

const char* const kGothic = "ＭＳ ゴシック";
const char* const kPGothic = "ＭＳ Ｐゴシック";

QFont mapped(const char* name) {
  static const bool registered = [] {
    QFont::insertSubstitution(QString::fromUtf8(kGothic), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QString::fromUtf8(kPGothic), QStringLiteral("IPAPGothic"));
    return true;
  }();
  (void)registered;
  return QFont(QString::fromUtf8(name), 9);
}

}  // namespace

QFont gothicFont() { return mapped(kGothic); }
QFont pGothicFont() { return mapped(kPGothic); }

// Without a class name this also drops the fonts the desktop's theme set for menus and
// tooltips, so that every one of them follows.
void useProgramFont() { QApplication::setFont(pGothicFont()); }

}  // namespace parupo
