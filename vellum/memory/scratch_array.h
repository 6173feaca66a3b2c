// The owner of one array of doubles from operator new, released with operator delete unless the
// array was handed on (to a result record) first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace vellum {

class ScratchArray {
 public:
  ScratchArray() noexcept : data_(nullptr) {}
  // Null when the memory cannot be had; a count too large for the address space cannot be had.
  explicit ScratchArray(std::size_t count) noexcept
      : data_(count > SIZE_MAX / sizeof(double)
                  ? nullptr
                  : static_cast<double*>(::operator new(count * sizeof(double), std::nothrow))) {}
  ~ScratchArray() { ::operator delete(data_); }
  ScratchArray(ScratchArray const&) = delete;
  ScratchArray& operator=(ScratchArray const&) = delete;

  double* get() const noexcept { return data_; }
  explicit operator bool() const noexcept { return data_ != nullptr; }

  // Gives up ownership: the caller (or the record it is stored in) frees the array now.
  double* release() noexcept {
    double* data = data_;
    data_ = nullptr;
    return data;
  }
  // Frees the array at once.
  void reset() noexcept { ::operator delete(release()); }

 private:
  double* data_;
};

}  // namespace vellum
