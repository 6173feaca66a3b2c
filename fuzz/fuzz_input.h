// A fuzz input read as a stream of choices: integers in a range, booleans, doubles. Reading past
// the end gives zeros, so every input, however short, is a complete case. The same reader serves
// the libFuzzer build and the replay of the checked-in corpus in every configuration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace vellum::fuzz {

class Input {
 public:
  Input(std::uint8_t const* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t remaining_bytes() const { return size_; }

  template <class T>
  T ConsumeIntegral() {
    return ConsumeIntegralInRange<T>(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
  }

  // lo..hi inclusive, from as many bytes as the range needs.
  template <class T>
  T ConsumeIntegralInRange(T lo, T hi) {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 8);
    auto const span = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo);
    std::uint64_t bits = 0;
    for (std::uint64_t covered = 0; covered < span && size_ > 0; covered = (covered << 8) | 0xFF) {
      bits = (bits << 8) | *data_++;
      --size_;
    }
    if (span != std::numeric_limits<std::uint64_t>::max()) bits %= span + 1;
    return static_cast<T>(static_cast<std::uint64_t>(lo) + bits);
  }

  bool ConsumeBool() { return ConsumeIntegral<std::uint8_t>() & 1; }

  // 0..1.
  template <class T>
  T ConsumeProbability() {
    static_assert(std::is_same_v<T, double>);
    return static_cast<double>(ConsumeIntegral<std::uint32_t>()) / 4294967295.0;
  }

  // lo..hi, spread over the range.
  template <class T>
  T ConsumeFloatingPointInRange(T lo, T hi) {
    return lo + (hi - lo) * ConsumeProbability<T>();
  }

 private:
  std::uint8_t const* data_;
  std::size_t size_;
};

}  // namespace vellum::fuzz
