#include "app/upload_progress.h"

namespace parupo {

namespace {

// Ticks of an upload before its per cent shows: the fifth comes after more than a second.
constexpr int kQuietTicks = static_cast<int>(std::chrono::seconds(1) / UploadProgress::kTick);

}  // namespace

std::optional<int> UploadProgress::tick(std::optional<int> percent) {
  if (!percent) {
    ticksUploading_ = 0;
    return std::nullopt;
  }
  if (++ticksUploading_ <= kQuietTicks || *percent == shown_) return std::nullopt;
  shown_ = *percent;
  return shown_;
}

}  // namespace parupo
