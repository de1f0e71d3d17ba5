// The fonts of the windows, by the names the program has always used, mapped to
// the IPA fonts that share their metrics.
#pragma once

#include <QFont>

namespace parupo {

QFont gothicFont();   // "ＭＳ ゴシック" 9 pt: the fixed-pitch font of the compose boxes
QFont pGothicFont();  // "ＭＳ Ｐゴシック" 9 pt: the proportional font of the rest

// Makes pGothicFont the font of the whole application, set once at start: windows,
// menus, popup menus, message and input boxes and tooltips all show it. The compose
// boxes set their own.
void useProgramFont();

}  // namespace parupo
