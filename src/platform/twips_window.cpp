#include "platform/twips_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace parupo {

TwipsWindow::TwipsWindow(QWidget* window, double height, double width) : window_(window), keeper_(height, width) {}

double TwipsWindow::dpi() const { return window_->logicalDpiY() > 0 ? window_->logicalDpiY() : 96.0; }

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

WindowFacts TwipsWindow::facts() const {
  const QSize margins = window_->frameGeometry().size() - window_->geometry().size();
  return {{window_->width(), window_->height()},
          {margins.width(), margins.height()},
          window_->isVisible(),
          window_->isMinimized(),
          managedByWindowManager(),
          dpi()};
}

bool TwipsWindow::carryOut(const std::optional<SizeAnswer>& answer) {
  if (!answer) return false;
  if (answer->resizeTo) window_->resize(answer->resizeTo->width, answer->resizeTo->height);
  if (answer->moveTo) window_->move(answer->moveTo->x, answer->moveTo->y);
  return true;
}

bool TwipsWindow::setHeight(double twips) { return carryOut(keeper_.setHeight(twips, facts())); }

bool TwipsWindow::setWidth(double twips) { return carryOut(keeper_.setWidth(twips, facts())); }

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
  return {f.x(), f.y(), px(width()), px(height())};
}

ScreenRect TwipsWindow::availableArea(const QWidget* w) {
  const QScreen* screen = w ? QGuiApplication::screenAt(w->frameGeometry().center()) : nullptr;
  if (!screen && w) screen = w->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
  return {a.x(), a.y(), a.width(), a.height()};
}

void TwipsWindow::placeFrame(const ScreenRect& where) {
  if (where.height < px(height())) setHeight(twips(where.height));
  if (where.width < px(width())) setWidth(twips(where.width));
  window_->move(where.x, where.y);
}

void TwipsWindow::showAt(const QPoint& framePos) {
  keeper_.placeAfterShow({framePos.x(), framePos.y()});
  window_->show();
}

bool TwipsWindow::notice(QEvent* e) {
  WindowEventKind kind = WindowEventKind::Other;
  switch (e->type()) {
    case QEvent::Resize: kind = WindowEventKind::Resize; break;
    case QEvent::WindowStateChange: kind = WindowEventKind::StateChange; break;
    case QEvent::Show: kind = WindowEventKind::Show; break;
    case QEvent::Move: kind = WindowEventKind::Move; break;
    case QEvent::Expose: kind = WindowEventKind::Expose; break;
    default: return false;
  }
  WindowFacts now = facts();
  if (kind == WindowEventKind::Resize) {
    const QSize reported = static_cast<QResizeEvent*>(e)->size();
    now.size = {reported.width(), reported.height()};
  }
  const SizeAnswer answer = keeper_.notice(kind, now);
  carryOut(answer);
  return answer.runRules;
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
