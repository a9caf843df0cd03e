#include "plmn.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <chrono>
#include <cstring>

plmn::plmn(std::string_view mcc, std::string_view mnc, std::string_view act, std::string_view key)
    : key_size(static_cast<uint8_t>(key.size())), mcc_size(static_cast<uint8_t>(mcc.size())) {
  assert(mcc.size() + mnc.size() + act.size() == key.size());
  assert(act.size() == kActSize && key.size() <= kMaxKeySize);
  assert(key.substr(0, mcc.size()) == mcc && key.substr(mcc.size(), mnc.size()) == mnc);
  (void)mnc;
  (void)act;
  std::memcpy(text, key.data(), key.size());
}

bool key_less(const plmn& a, const plmn& b) {
  // The keys are zero-padded, so comparing the full width orders them byte
  // by byte; where the padded texts tie, one key is the other followed by
  // zero bytes, and the shorter one comes first.
  int order = std::memcmp(a.text, b.text, plmn::kMaxKeySize);
  return order < 0 || (order == 0 && a.key_size < b.key_size);
}

namespace {

constexpr size_t kInitialCapacity = 1024;

bool same_key(const plmn& a, const plmn& b) {
  return a.key_size == b.key_size && std::memcmp(a.text, b.text, plmn::kMaxKeySize) == 0;
}

}  // namespace

plmn_table::plmn_table() {
  seed_ = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
          reinterpret_cast<uintptr_t>(this);
  rebuild(kInitialCapacity);
}

size_t plmn_table::slot_of(const plmn& record) const {
  uint64_t low;
  uint16_t high;
  std::memcpy(&low, record.text, sizeof low);
  std::memcpy(&high, record.text + sizeof low, sizeof high);
  uint64_t h = (low ^ seed_) * 0x9E3779B97F4A7C15ULL;
  h ^= (high | uint64_t{record.key_size} << 16) * 0xC2B2AE3D27D4EB4FULL;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ULL;
  return static_cast<size_t>(h >> shift_);
}

void plmn_table::file(const plmn& record) {
  assert(!record.empty());
  if (is_sorted_) rebuild(slots_.size());
  // Grow at three quarters full: linear probing stays short, and the old
  // and new arrays together stay under 48 bytes per key while growing.
  if ((size_ + 1) * 4 > slots_.size() * 3) rebuild(slots_.size() * 2);
  size_t mask = slots_.size() - 1;
  for (size_t i = slot_of(record);; i = (i + 1) & mask) {
    plmn& slot = slots_[i];
    if (slot.empty()) {
      slot = record;
      ++size_;
      return;
    }
    if (same_key(slot, record)) {
      slot = record;  // the later record wins
      return;
    }
  }
}

void plmn_table::rebuild(size_t capacity) {
  std::vector<plmn> old(capacity);
  old.swap(slots_);
  shift_ = 64 - std::countr_zero(capacity);
  is_sorted_ = false;
  size_t mask = capacity - 1;
  for (const plmn& record : old) {
    if (record.empty()) continue;
    size_t i = slot_of(record);
    while (!slots_[i].empty()) i = (i + 1) & mask;
    slots_[i] = record;
  }
}

std::span<const plmn> plmn_table::sorted() {
  if (!is_sorted_) {
    auto end =
        std::remove_if(slots_.begin(), slots_.end(), [](const plmn& r) { return r.empty(); });
    std::fill(end, slots_.end(), plmn{});
    std::sort(slots_.begin(), end, key_less);
    is_sorted_ = true;
  }
  return {slots_.data(), size_};
}
