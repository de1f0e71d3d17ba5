// Twips for Qt windows: places and sizes widgets in twips at the screen's dpi, and keeps
// a top-level window's outer size (frame, caption and menu bar included) in twips as the
// window's own number. The Qt window is sized from that number through the frame
// margins the window manager reports once the window is mapped (none without a window
// manager), so starting and closing without touching anything keeps the size exactly.
// Every window of the program (main window, log viewer, address book) uses one.
//
// A maximised or full-screen window belongs to the window manager: it is never resized,
// and the twips size stays the normal (restored) size, which is what the settings keep;
// a size the program sets meanwhile is taken when the window is restored.
//
// The size rules of the windows were written for the frame and caption of their original
// system. Their controls are laid out for ruleHeight() and ruleWidth(): the client area
// the window really has, plus that design frame, so that the controls keep their margins
// to the window's edges whatever frame the window manager draws and at any scale.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <functional>
#include <optional>

#include "platform/size_keeper.h"
#include "platform/twips.h"

class QEvent;
class QWidget;

namespace parupo {

class TwipsWindow {
 public:
  // `window` is the top-level window whose outer size this keeps; it must outlive this.
  TwipsWindow(QWidget* window, double height, double width);

  double dpi() const;  // the screen's logical dots per inch
  int px(double twips) const;
  double twips(int pixels) const;
  void place(QWidget* w, double left, double top, double width, double height) const;
  void setWidth(QWidget* w, double width) const;
  void setHeight(QWidget* w, double height) const;

  // The outer size in twips; while maximised or full screen, the normal size.
  double height() const { return keeper_.height(); }
  double width() const { return keeper_.width(); }
  // Sets the outer size and sizes the Qt window to it. A value that is no usable size
  // (see usableWindowSize) is refused, and nothing changes while the window is
  // minimized; returns whether the size was taken. While the window is maximised or full
  // screen the size is kept for the restored window.
  bool setHeight(double twips);
  bool setWidth(double twips);

  // The frame (caption, borders, menu bar) that the window's size rules were written
  // for, in twips; `menuBar`, when given, lies inside the window above its client area.
  void setDesignFrame(double height, double width, const QWidget* menuBar = nullptr);
  // The outer size the window's size rules apply to: the client area plus the design frame.
  double ruleHeight() const;
  double ruleWidth() const;

  // The window's frame on the screen, in pixels (before it is mapped: where it goes).
  ScreenRect frame() const;
  // The available area (panels excluded) of the screen that holds `w`'s middle.
  static ScreenRect availableArea(const QWidget* w);
  // Moves the window so that its frame lies at `where`, taking the size from it when it
  // is smaller than the window's (a screen smaller than the window).
  void placeFrame(const ScreenRect& where);
  // Shows the hidden window with its frame at `framePos` again: a window manager places a
  // window that is shown again as it places a new one.
  void showAt(const QPoint& framePos);

  // Feed every event of the window here (TwipsResizeFilter does): its SizeKeeper decides,
  // and the window is resized or moved as it answers. Returns true when the window's size
  // or state changed, so that its resize rules should run; a size the user or the window
  // manager gave it has become the outer size then.
  bool notice(QEvent* event);

 private:
  WindowFacts facts() const;
  bool carryOut(const std::optional<SizeAnswer>& answer);
  bool managedByWindowManager() const;  // maximised or full screen

  QWidget* window_;
  SizeKeeper keeper_;
  QSizeF designFrame_{0, 0};  // twips: width, height
  const QWidget* menuBar_ = nullptr;
};

// Feeds the window's events to its TwipsWindow and runs the window's resize rules
// (`resized`) when the window's size or state changed. Keep it as a member of the window
// declared after its TwipsWindow, so that it goes before them.
class TwipsResizeFilter final : public QObject {
 public:
  TwipsResizeFilter(QWidget* window, TwipsWindow& twips, std::function<void()> resized);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TwipsWindow& twips_;
  std::function<void()> resized_;
};

}  // namespace parupo
