// Input as a display delivers it: queued in Qt's window-system queue and handled by the
// event loop that runs next, exactly as a real click, key or close box arrives. (QTest
// hands its events straight to the widget instead, which no event loop can hold back.)
// Qt installs no header for this queue, only its exported functions; these declarations
// name them.
#pragma once

#include <QString>
#include <QWidget>
#include <QWindow>

class QWindowSystemInterface {
 public:
  class AsynchronousDelivery;
  template <typename Delivery>
  static bool handleCloseEvent(QWindow* window);
  template <typename Delivery>
  static bool handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global, Qt::MouseButtons state,
                               Qt::MouseButton button, QEvent::Type type, Qt::KeyboardModifiers mods,
                               Qt::MouseEventSource source);
  template <typename Delivery>
  static bool handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                             const QString& text, bool autorepeat, ushort count);
};

namespace parupo::test {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

// A left click at the middle of `w`, which must be in a shown window.
inline void queueClick(QWidget* w) {
  QWindow* window = w->window()->windowHandle();
  const QPointF local = w->mapTo(w->window(), w->rect().center());
  const QPointF global = w->mapToGlobal(w->rect().center());
  for (const auto& [state, type] : {std::pair{Qt::MouseButtons(Qt::LeftButton), QEvent::MouseButtonPress},
                                    std::pair{Qt::MouseButtons(Qt::NoButton), QEvent::MouseButtonRelease}}) {
    QWindowSystemInterface::handleMouseEvent<Queued>(window, local, global, state, Qt::LeftButton, type,
                                                     Qt::NoModifier, Qt::MouseEventNotSynthesized);
  }
}

// Letters typed into whatever has the focus in `w`'s window.
inline void queueKeys(QWidget* w, const QString& letters) {
  for (QChar c : letters) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QWindowSystemInterface::handleKeyEvent<Queued>(w->window()->windowHandle(), type, c.toUpper().unicode(),
                                                     Qt::NoModifier, QString(c), false, 1);
    }
  }
}

// The window manager's close box.
inline void queueClose(QWidget* w) { QWindowSystemInterface::handleCloseEvent<Queued>(w->window()->windowHandle()); }

}  // namespace parupo::test
