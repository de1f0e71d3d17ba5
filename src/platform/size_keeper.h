// What a top-level window does about its outer size in twips while the window manager
// frames, resizes, maximises and restores it. The keeper is fed the window's events as
// they arrive (the kind, the client size, the frame's margins, the window's state) and
// answers whether the window's resize rules run and which client size or frame place to
// ask the window system for; TwipsWindow carries the answers out over Qt. Nothing here
// knows Qt, so what a window manager did once can be replayed event by event.
//
// The window managers' ways that it copes with:
// - the frame comes after the window is mapped: the client area shrinks by the frame so
//   that the outer size stays, and a size the window asked for, or one that is the kept
//   size to the pixel, never becomes the outer size again (no creep from one start to the
//   next at a dpi whose pixels are not whole twips);
// - a resize to the screen may come before the window is said to be maximised: the size
//   before it stays the normal size;
// - a maximised or full-screen window is the window manager's: a size set meanwhile is
//   asked for when it is restored;
// - an answer to an older request may come after the newer one's: the newer is asked for
//   again (twice at most, so that a window manager that insists wins);
// - just restored, the window keeps the maximised size a moment and may still report the
//   maximised frame: that frame is not taken, the restored size brings the real one.
#pragma once

#include <optional>
#include <vector>

namespace parupo {

// Logical pixels, as Qt gives them.
struct PixelSize {
  int width = 0, height = 0;
  bool operator==(const PixelSize&) const = default;
};

struct PixelPoint {
  int x = 0, y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// The window as an event arrives.
struct WindowFacts {
  PixelSize size;     // the client area; for a resize, the size Qt reports
  PixelSize margins;  // the frame and caption around it: frame size less client size
  bool visible = true;
  bool minimized = false;
  bool managed = false;  // maximised or full screen
  double dpi = 96;       // the screen's logical dots per inch
};

enum class WindowEventKind { Resize, StateChange, Show, Move, Expose, Other };

struct SizeAnswer {
  bool runRules = false;              // the size or state changed: the resize rules run
  std::optional<PixelSize> resizeTo;  // the client size to ask for
  std::optional<PixelPoint> moveTo;   // where the frame goes
};

class SizeKeeper {
 public:
  SizeKeeper(double height, double width) : height_(height), width_(width) {}

  // The outer size in twips; while maximised or full screen, the normal size.
  double height() const { return height_; }
  double width() const { return width_; }

  SizeAnswer notice(WindowEventKind kind, const WindowFacts& now);
  // Takes a new outer size. Refused (nullopt) for a value that is no usable size (see
  // usableWindowSize) and while the window is minimised; while it is maximised or full
  // screen the size waits for the restore, and the answer asks for nothing.
  std::optional<SizeAnswer> setHeight(double twips, const WindowFacts& now);
  std::optional<SizeAnswer> setWidth(double twips, const WindowFacts& now);
  // The hidden window is shown again: once the window manager has placed it (its first
  // move while visible), its frame goes to `framePos`.
  void placeAfterShow(PixelPoint framePos) { placeAfterShow_ = framePos; }

 private:
  void apply(const WindowFacts& now, SizeAnswer& answer);
  void noticeSize(const WindowFacts& now, SizeAnswer& answer);
  void noticeStateChange(const WindowFacts& now, SizeAnswer& answer);
  void noticeFrameMargins(const WindowFacts& now, SizeAnswer& answer);
  PixelSize outer(double dpi) const;

  double height_;
  double width_;
  PixelSize frameExtra_;                   // frame and caption around the client area
  std::vector<PixelSize> requestedSizes_;  // client sizes asked for, newest last
  std::optional<PixelPoint> placeAfterShow_;
  bool pendingSize_ = false;  // set while maximised: asked for on restore
  // The size before the last resize from outside, and that resize's client size: a
  // window manager may resize before it says the window is maximised.
  double heightBeforeOutside_ = 0;
  double widthBeforeOutside_ = 0;
  std::optional<PixelSize> outsideSize_;
  int staleReplies_ = 0;                  // sizes asked for again since the window last had its own
  std::optional<PixelSize> managedSize_;  // the size the window manager gave the maximised window
};

}  // namespace parupo
