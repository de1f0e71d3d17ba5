// Twips for Qt windows: places and sizes widgets in twips at the screen's dpi, and keeps
// a top-level window's outer size (frame, caption and menu bar included) in twips as the
// window's own number. The Qt window is sized from that number through the frame
// margins the window manager reports once the window is mapped (none without a window
// manager), so starting and closing without touching anything keeps the size exactly.
// Every window of the program (main window, log viewer, address book) uses one.
#pragma once

#include <QObject>
#include <QSize>
#include <functional>
#include <vector>

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

  // The outer size in twips.
  double height() const { return height_; }
  double width() const { return width_; }
  // Sets the outer size and sizes the Qt window to it. A value that is no usable size
  // (see usableWindowSize) is refused, and nothing changes while the window is
  // minimized; returns whether the size was taken.
  bool setHeight(double twips);
  bool setWidth(double twips);

  // Feed every event of the window here (TwipsResizeFilter does). Returns true when the
  // user or the window manager resized the window, so that the outer size changed from
  // outside and the window's resize rules should run.
  bool notice(QEvent* event);

 private:
  void apply();
  void noticeFrameMargins();

  QWidget* window_;
  double height_;
  double width_;
  QSize frameExtra_{0, 0};             // frame and caption around the Qt widget, in pixels
  std::vector<QSize> requestedSizes_;  // Qt sizes this window asked for, newest last
};

// Feeds the window's events to its TwipsWindow and runs the window's resize rules
// (`resized`) when the window was resized from outside. Keep it as a member of the window
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
