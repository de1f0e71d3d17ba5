// When the caption shows how far an upload is. The window reads the transfer watch four
// times a second while a mail call runs; a per cent appears once the upload has run for
// more than a second, so that a short send never shows one, and then only when it changed.
#pragma once

#include <chrono>
#include <optional>

namespace parupo {

class UploadProgress {
 public:
  static constexpr std::chrono::milliseconds kTick{250};

  // The watch's per cent at this tick (nothing: no upload under way). Returns the per
  // cent the caption is to show from now on, or nothing when the caption stays.
  std::optional<int> tick(std::optional<int> percent);
  // Whether a per cent has been shown, so that the caption has to be put back.
  bool shown() const { return shown_ >= 0; }

 private:
  int ticksUploading_ = 0;
  int shown_ = -1;
};

}  // namespace parupo
