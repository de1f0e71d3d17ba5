#include "platform/size_keeper.h"

#include <algorithm>

#include "platform/twips.h"

namespace parupo {

namespace {

PixelSize operator+(PixelSize a, PixelSize b) { return {a.width + b.width, a.height + b.height}; }

}  // namespace

PixelSize SizeKeeper::outer(double dpi) const { return {twipsToPixels(width_, dpi), twipsToPixels(height_, dpi)}; }

std::optional<SizeAnswer> SizeKeeper::setHeight(double twips, const WindowFacts& now) {
  if (!usableWindowSize(twips) || now.minimized) return std::nullopt;
  height_ = twips;
  SizeAnswer answer;
  apply(now, answer);
  return answer;
}

std::optional<SizeAnswer> SizeKeeper::setWidth(double twips, const WindowFacts& now) {
  if (!usableWindowSize(twips) || now.minimized) return std::nullopt;
  width_ = twips;
  SizeAnswer answer;
  apply(now, answer);
  return answer;
}

void SizeKeeper::apply(const WindowFacts& now, SizeAnswer& answer) {
  if (now.managed) {
    pendingSize_ = true;
    return;
  }
  const PixelSize kept = outer(now.dpi);
  const PixelSize inner{std::max(1, kept.width - frameExtra_.width), std::max(1, kept.height - frameExtra_.height)};
  requestedSizes_.push_back(inner);
  if (requestedSizes_.size() > 4) requestedSizes_.erase(requestedSizes_.begin());
  answer.resizeTo = inner;
}

SizeAnswer SizeKeeper::notice(WindowEventKind kind, const WindowFacts& now) {
  SizeAnswer answer;
  if (kind == WindowEventKind::Resize && !now.minimized) {
    // The controls follow the client area, whoever resized it.
    answer.runRules = true;
    noticeSize(now, answer);
  }
  switch (kind) {
    case WindowEventKind::StateChange:
      noticeStateChange(now, answer);
      answer.runRules = true;
      [[fallthrough]];
    case WindowEventKind::Show:
    case WindowEventKind::Move:
    case WindowEventKind::Resize:
    case WindowEventKind::Expose:
      noticeFrameMargins(now, answer);
      // Placed by the window manager: the frame is known now, and a move is passed on.
      if (kind == WindowEventKind::Move && placeAfterShow_ && now.visible) {
        if (!now.managed) answer.moveTo = placeAfterShow_;
        placeAfterShow_.reset();
      }
      break;
    case WindowEventKind::Other: break;
  }
  return answer;
}

void SizeKeeper::noticeSize(const WindowFacts& now, SizeAnswer& answer) {
  const PixelSize size = now.size;
  // Maximised or full screen, the normal size stays.
  const bool asked = std::find(requestedSizes_.begin(), requestedSizes_.end(), size) != requestedSizes_.end();
  const bool kept = size + frameExtra_ == outer(now.dpi);
  managedSize_.reset();
  if (now.managed) managedSize_ = size;
  if (now.managed || kept) {
    staleReplies_ = 0;
  } else if (!asked) {
    heightBeforeOutside_ = height_;
    widthBeforeOutside_ = width_;
    outsideSize_ = size;
    height_ = pixelsToTwips(size.height + frameExtra_.height, now.dpi);
    width_ = pixelsToTwips(size.width + frameExtra_.width, now.dpi);
    requestedSizes_.assign(1, size);
  } else if (size != requestedSizes_.back() && staleReplies_++ < 2) {
    // The window manager answered an older request last (a restore that crossed the
    // frame's new margins): ask for the size that holds now once more.
    apply(now, answer);
  }
}

void SizeKeeper::noticeStateChange(const WindowFacts& now, SizeAnswer& answer) {
  if (now.managed) {
    // Resized to the screen just before it said so: that was no size of the user's.
    if (outsideSize_ == now.size) {
      width_ = widthBeforeOutside_;
      height_ = heightBeforeOutside_;
    }
    outsideSize_.reset();
  } else if (!now.minimized && pendingSize_) {
    pendingSize_ = false;
    apply(now, answer);
  }
}

void SizeKeeper::noticeFrameMargins(const WindowFacts& now, SizeAnswer& answer) {
  if (!now.visible || now.minimized || now.managed) return;
  // Just restored, the window still has the maximised size and may still report the frame
  // it had then: its own frame comes with the size the window manager gives back.
  if (now.size == managedSize_) return;
  const PixelSize extra = now.margins;
  if (extra.width < 0 || extra.height < 0 || extra == frameExtra_) return;
  // The window manager has put its frame around the window: keep the outer size.
  frameExtra_ = extra;
  apply(now, answer);
}

}  // namespace parupo
