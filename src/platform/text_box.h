// Text the program puts into a one-line box: the caret goes to the start, so the box
// shows the text's beginning and typing starts in front of it (a name typed before the
// default "@domain" gives name@domain). What the user types or pastes is left alone.
#pragma once

#include <QLineEdit>

namespace parupo {

inline void setBoxText(QLineEdit* box, const QString& text) {
  box->setText(text);
  box->setCursorPosition(0);
}

}  // namespace parupo
