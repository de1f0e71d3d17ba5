#include "platform/twips_window.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWidget>
#include <algorithm>

#include "platform/twips.h"

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
  const QSize inner(std::max(1, px(width_) - frameExtra_.width()),
                    std::max(1, px(height_) - frameExtra_.height()));
  requestedSizes_.push_back(inner);
  if (requestedSizes_.size() > 4) requestedSizes_.erase(requestedSizes_.begin());
  window_->resize(inner);
}

bool TwipsWindow::notice(QEvent* e) {
  bool resizedFromOutside = false;
  if (e->type() == QEvent::Resize && !window_->isMinimized()) {
    const QSize size = static_cast<QResizeEvent*>(e)->size();
    if (std::find(requestedSizes_.begin(), requestedSizes_.end(), size) == requestedSizes_.end()) {
      height_ = twips(size.height() + frameExtra_.height());
      width_ = twips(size.width() + frameExtra_.width());
      requestedSizes_.assign(1, size);
      resizedFromOutside = true;
    }
  }
  switch (e->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
      noticeFrameMargins();
      break;
    default:
      break;
  }
  return resizedFromOutside;
}

void TwipsWindow::noticeFrameMargins() {
  if (!window_->isVisible() || window_->isMinimized()) return;
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
