#include "platform/fonts.h"

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

}  // namespace parupo
