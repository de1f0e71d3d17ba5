#include "platform/twips_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace parupo {

TwipsWindow::TwipsWindow(QWidget* window, double height, double width)
    : window_(window), height_(height), width_(width) {}

double TwipsWindow::dpi() const {
  return window_->logicalDpiY() > 0 ? window_->logicalDpiY() : 96.0;
}

int TwipsWindow::px(double twips) const { return twipsToPixels(twips, dpi()); }

double TwipsWindow::twips(int pixels) const { return pixelsToTwips(pixels, dpi()); }

void TwipsWindow::place(QWidget* w, double left, double top, double width, double height) const {
  w->setGeometry(px(left), px(top), px(width), px(height));
}

void TwipsWindow::setWidth(QWidget* w, double width) const { w->resize(px(width), w->height()); }

void TwipsWindow::setHeight(QWidget* w, double height) const { w->resize(w->width(), px(height)); }

bool TwipsWindow::managedByWindowManager() const {
  return (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

bool TwipsWindow::setHeight(double twips) {
  if (!usableWindowSize(twips) || window_->isMinimized()) return false;
  height_ = twips;
  apply();
  return true;
}

bool TwipsWindow::setWidth(double twips) {
  if (!usableWindowSize(twips) || window_->isMinimized()) return false;
  width_ = twips;
  apply();
  return true;
}

void TwipsWindow::apply() {
  if (managedByWindowManager()) {
    pendingSize_ = true;
    return;
  }
  const QSize inner(std::max(1, px(width_) - frameExtra_.width()),
                    std::max(1, px(height_) - frameExtra_.height()));
  requestedSizes_.push_back(inner);
  if (requestedSizes_.size() > 4) requestedSizes_.erase(requestedSizes_.begin());
  window_->resize(inner);
}

void TwipsWindow::setDesignFrame(double height, double width, const QWidget* menuBar) {
  designFrame_ = QSizeF(width, height);
  menuBar_ = menuBar;
}

double TwipsWindow::ruleHeight() const {
  const int menu = menuBar_ && !menuBar_->isHidden() ? menuBar_->heightForWidth(window_->width()) : 0;
  return twips(window_->height() - std::max(0, menu)) + designFrame_.height();
}

double TwipsWindow::ruleWidth() const { return twips(window_->width()) + designFrame_.width(); }

ScreenRect TwipsWindow::frame() const {
  const QRect f = window_->frameGeometry();
  if (managedByWindowManager() || window_->isMinimized()) return {f.x(), f.y(), f.width(), f.height()};
  return {f.x(), f.y(), px(width_), px(height_)};
}

ScreenRect TwipsWindow::availableArea(const QWidget* w) {
  const QScreen* screen = w ? QGuiApplication::screenAt(w->frameGeometry().center()) : nullptr;
  if (!screen && w) screen = w->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
  return {a.x(), a.y(), a.width(), a.height()};
}

void TwipsWindow::placeFrame(const ScreenRect& where) {
  if (where.height < px(height_)) setHeight(twips(where.height));
  if (where.width < px(width_)) setWidth(twips(where.width));
  window_->move(where.x, where.y);
}

void TwipsWindow::showAt(const QPoint& framePos) {
  placeAfterShow_ = framePos;
  window_->show();
}

bool TwipsWindow::notice(QEvent* e) {
  bool resized = false;
  if (e->type() == QEvent::Resize && !window_->isMinimized()) {
    // The controls follow the client area, whoever resized it.
    resized = true;
    const QSize size = static_cast<QResizeEvent*>(e)->size();
    // Maximised or full screen, the normal size stays.
    const bool asked = std::find(requestedSizes_.begin(), requestedSizes_.end(), size) != requestedSizes_.end();
    const bool kept = size + frameExtra_ == QSize(px(width_), px(height_));
    managedSize_ = managedByWindowManager() ? size : QSize(-1, -1);
    if (managedByWindowManager() || kept) {
      staleReplies_ = 0;
    } else if (!asked) {
      beforeOutside_ = QSizeF(width_, height_);
      outsideSize_ = size;
      height_ = twips(size.height() + frameExtra_.height());
      width_ = twips(size.width() + frameExtra_.width());
      requestedSizes_.assign(1, size);
    } else if (size != requestedSizes_.back() && staleReplies_++ < 2) {
      // The window manager answered an older request last (a restore that crossed the
      // frame's new margins): ask for the size that holds now once more.
      apply();
    }
  }
  switch (e->type()) {
    case QEvent::WindowStateChange:
      noticeStateChange();
      resized = true;
      [[fallthrough]];
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Expose:
      noticeFrameMargins();
      // Placed by the window manager: Qt now knows the frame, and a move is passed on.
      if (e->type() == QEvent::Move && placeAfterShow_ && window_->isVisible()) {
        if (!managedByWindowManager()) window_->move(*placeAfterShow_);
        placeAfterShow_.reset();
      }
      break;
    default:
      break;
  }
  return resized;
}

void TwipsWindow::noticeStateChange() {
  if (managedByWindowManager()) {
    // Resized to the screen just before it said so: that was no size of the user's.
    if (outsideSize_ == window_->size()) {
      width_ = beforeOutside_.width();
      height_ = beforeOutside_.height();
    }
    outsideSize_ = QSize(-1, -1);
  } else if (!window_->isMinimized() && pendingSize_) {
    pendingSize_ = false;
    apply();
  }
}

void TwipsWindow::noticeFrameMargins() {
  if (!window_->isVisible() || window_->isMinimized() || managedByWindowManager()) return;
  // Just restored, the window still has the maximised size and may still report the frame
  // it had then: its own frame comes with the size the window manager gives back.
  if (window_->size() == managedSize_) return;
  const QSize extra = window_->frameGeometry().size() - window_->geometry().size();
  if (extra.width() < 0 || extra.height() < 0 || extra == frameExtra_) return;
  // The window manager has put its frame around the window: keep the outer size.
  frameExtra_ = extra;
  apply();
}

TwipsResizeFilter::TwipsResizeFilter(QWidget* window, TwipsWindow& twips, std::function<void()> resized)
    : twips_(twips), resized_(std::move(resized)) {
  window->installEventFilter(this);
}

bool TwipsResizeFilter::eventFilter(QObject* watched, QEvent* event) {
  if (twips_.notice(event)) resized_();
  return QObject::eventFilter(watched, event);
}

}  // namespace parupo
