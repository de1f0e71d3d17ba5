// Keys that reach what the mouse reaches, for the widgets that need them: Enter on a push
// button, a key that does what a right click does, the Menu key and Shift+F10 for a popup
// menu. Each binding lives as long as its widget.
#pragma once

#include <Qt>
#include <functional>

class QPushButton;
class QWidget;

namespace parupo {

// Runs `action` when `key` goes down on `widget` with exactly `modifiers` held (the
// keypad's Enter is Qt::Key_Return here); the key goes no further. A held key that
// repeats does not run it again.
void onKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, std::function<void()> action);

// Enter on a push button clicks it, once, as Space does.
void clickOnEnter(QPushButton* button);

// The Menu key (the window system reports it as a context-menu request from the
// keyboard) and Shift+F10 on `widget` call `open`, which pops up the widget's menu for
// its current row. Right clicks are left to the widget.
void onMenuKey(QWidget* widget, std::function<void()> open);

}  // namespace parupo
