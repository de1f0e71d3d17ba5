#include "platform/key_actions.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace parupo {

namespace {

class KeyAction final : public QObject {
 public:
  KeyAction(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, std::function<void()> action)
      : QObject(widget), key_(key), modifiers_(modifiers), action_(std::move(action)) {
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ContextMenu) {
      // The Menu key, as the window system reports it; a right click stays the widget's.
      if (key_ != Qt::Key_Menu || static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse)
        return false;
      action_();
      return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int pressed = key->key() == Qt::Key_Enter ? Qt::Key_Return : key->key();
    if (pressed != key_ || (key->modifiers() & ~Qt::KeypadModifier) != modifiers_) return false;
    // Claimed before any shortcut of the window sees it, then handled as the key itself.
    if (event->type() == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    if (!key->isAutoRepeat()) action_();
    return true;
  }

 private:
  Qt::Key key_;
  Qt::KeyboardModifiers modifiers_;
  std::function<void()> action_;
};

}  // namespace

void onKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, std::function<void()> action) {
  new KeyAction(widget, key, modifiers, std::move(action));
}

void clickOnEnter(QPushButton* button) {
  onKey(button, Qt::Key_Return, Qt::NoModifier, [button] { button->click(); });
}

void onMenuKey(QWidget* widget, std::function<void()> open) {
  new KeyAction(widget, Qt::Key_Menu, Qt::NoModifier, open);
  onKey(widget, Qt::Key_F10, Qt::ShiftModifier, std::move(open));
}

}  // namespace parupo
