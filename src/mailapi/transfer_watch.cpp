#include "mailapi/transfer_watch.h"

#include <algorithm>
#include <utility>

namespace parupo {

void TransferWatch::requestStop() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  if (cut_) cut_(true);
}

void TransferWatch::clear() {
  std::lock_guard lock(mutex_);
  stopped_ = false;
  size_ = 0;
  sent_ = 0;
  handedOver_ = false;
  if (cut_) cut_(false);
}

void TransferWatch::onStop(std::function<void(bool stopping)> cut) {
  std::lock_guard lock(mutex_);
  cut_ = std::move(cut);
  if (cut_) cut_(stopped_);
}

std::optional<int> TransferWatch::percent() const {
  const std::uint64_t size = size_;
  const std::uint64_t sent = sent_;
  // The upload has begun with its first byte, not with the greeting before it.
  if (size == 0 || sent == 0) return std::nullopt;
  // Dot-stuffing sends a few bytes more than the message holds.
  return static_cast<int>(std::min(sent, size) * 100 / size);
}

void TransferWatch::uploadBegins(std::uint64_t size) {
  sent_ = 0;
  handedOver_ = false;
  size_ = std::max<std::uint64_t>(size, 1);
}

void TransferWatch::uploaded(std::uint64_t bytes) { sent_ = bytes; }

void TransferWatch::uploadEnds() {
  size_ = 0;
  handedOver_ = false;
}

}  // namespace parupo
