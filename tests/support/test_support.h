// Shared by the test programs: bit patterns, record words, and a fixture with a reference host
// whose leaks and the program's operator new balance are checked after every test.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include "host/testing/fault_injection.h"
#include "host/library/host_allocator.h"
#include "host/library/values.h"

// The library's tables, which the public headers keep from packs: tests walk them.
#include <vellum/memory/nr_arrays_table.h>
#include <vellum/numerics/cell_predicates_table.h>
#include <vellum/packdesc/type_tables.h>
#include <vellum/packdesc/type_words_table.h>
#include <vellum/values/allocator_slots.h>
#include <vellum/values/error_texts_table.h>
#include <vellum/values/names_table.h>
#include <vellum/values/value_tags_table.h>
#include <vellum/vectorize/overload_tables.h>

namespace vellum::test {

inline std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// The 32-bit word at a byte offset of a record.
inline std::uint32_t word_at(void const* record, std::size_t offset) {
  std::uint32_t word;
  std::memcpy(&word, static_cast<unsigned char const*>(record) + offset, sizeof word);
  return word;
}

// The text a call threw as the library throws element faults (char*), or null when it threw nothing.
template <class Call>
char const* thrown_text(Call&& call) {
  try {
    call();
  } catch (char* text) {
    return text;
  }
  return nullptr;
}

// Distinct values that constructors only store.
inline Anyval* fake(std::uintptr_t k) { return reinterpret_cast<Anyval*>(0x1000 + 0x10 * k); }
template <class T>
T* fake_as(std::uintptr_t k) {
  return reinterpret_cast<T*>(fake(k));
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { live_blocks_before_ = faults::live_blocks(); }
  // Once the host has released every record, no operator new block made during the test may be
  // left: whatever the library allocated went into a record or was freed.
  void TearDown() override {
    faults::disarm();
    host.release_all();
    EXPECT_EQ(faults::live_blocks(), live_blocks_before_) << "operator new blocks left";
  }
  // Every record the test made was handed back (keep) or released, and every array received.
  void expect_nothing_left() { EXPECT_EQ(host.leak_report(), ""); }

  host::HostAllocator host;
  EfiCallContext* context = host.context();
  IvlAllocator* allocator = host.context()->allocator;

 private:
  std::int64_t live_blocks_before_ = 0;
};

// A complex number record of the test's own (not from the host).
aComplex complex_record(double real, double imag);

}  // namespace vellum::test
