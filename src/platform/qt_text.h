// What every window of the program shares in words: the program's title on its message
// and input boxes, and the step from the plain C++ parts' UTF-8 strings to Qt's.
#pragma once

#include <QString>
#include <string>

namespace parupo {

inline constexpr const char* kTitle = "ぱるぽ";

inline QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace parupo
