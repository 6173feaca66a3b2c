// The reference host's literal parser with arbitrary text: either a HostError naming the text,
// or a value that prints, reads back and prints again as the very same text and the very same
// bits. Either way the parse leaves nothing behind: what a failed parse made is reclaimed by the
// host, a value accounts for every record the parse made, and operator new is balanced.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <vellum/vellum.h>

#include "host/fault_injection.h"
#include "host/host_allocator.h"
#include "host/literal.h"
#include "host/printer.h"
#include "fuzz/fuzz_check.h"

namespace {

using vellum::elem_ptr;
using vellum::is_nested_cell;
using vellum::nested_value;

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Two parsed values hold the same bits: tags, shapes, every part of every cell (an absent
// imaginary array and a present one must agree too), nested values recursively.
bool same(Anyval const* a, Anyval const* b) {
  if (a->tag != b->tag) return false;
  switch (a->tag) {
    case ValueTag::Complex: {
      auto const* x = static_cast<aComplex const*>(a);
      auto const* y = static_cast<aComplex const*>(b);
      return bits(x->real) == bits(y->real) && bits(x->imag) == bits(y->imag);
    }
    case ValueTag::String:
      return std::string_view(static_cast<aString const*>(a)->text) == static_cast<aString const*>(b)->text;
    case ValueTag::Matrix: {
      auto const* x = static_cast<aMatrix const*>(a);
      auto const* y = static_cast<aMatrix const*>(b);
      if (x->rows != y->rows || x->cols != y->cols || (x->imag == nullptr) != (y->imag == nullptr)) return false;
      for (int j = 0; j < x->cols; ++j)
        for (int i = 0; i < x->rows; ++i) {
          double xr = *elem_ptr(x->real, x->ld, i, j), yr = *elem_ptr(y->real, y->ld, i, j);
          if (is_nested_cell(xr) != is_nested_cell(yr)) return false;
          if (is_nested_cell(xr) ? !same(nested_value(xr), nested_value(yr)) : bits(xr) != bits(yr)) return false;
          if (bits(*elem_ptr(x->imag, x->ld, i, j)) != bits(*elem_ptr(y->imag, y->ld, i, j))) return false;
        }
      return true;
    }
    default:
      return false;  // the parser makes nothing else
  }
}

Anyval* parse_or_fail(IvlAllocator* allocator, std::string const& text, char const* what) {
  try {
    return vellum::host::parse_literal(allocator, text);
  } catch (vellum::host::HostError const& e) {
    vellum::fuzz::fail(what, text + " -> " + e.what());
  }
}

void check(std::string_view text) {
  vellum::host::HostAllocator host;
  host.set_report_on_destroy(false);
  IvlAllocator* allocator = host.context()->allocator;

  Anyval* value = nullptr;
  try {
    value = vellum::host::parse_literal(allocator, text);
  } catch (vellum::host::HostError const& e) {
    // The message quotes the text whole, a NUL byte shown as \0.
    std::string shown;
    for (char c : text) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    std::string message = e.what();
    CHECK(message.rfind("malformed literal '" + shown + "' at column ", 0) == 0, message);
    // The cells parsed before the fault are the host's to reclaim, as after any call that throws.
    host.release_unkept();
    CHECK(host.leak_report().empty(), host.leak_report());
    return;
  }
  // Every record the parse made is the value or inside it.
  host.keep(value);
  CHECK(host.leak_report().empty(), host.leak_report());

  std::string printed = vellum::host::format_value(value);
  Anyval* again = parse_or_fail(allocator, printed, "the printed value does not read back");
  host.keep(again);
  CHECK(vellum::host::format_value(again) == printed, printed + " -> " + vellum::host::format_value(again));
  CHECK(same(value, again), printed);

  std::string display = vellum::host::format_display(value);
  Anyval* shown = parse_or_fail(allocator, display, "the displayed value does not read back");
  host.keep(shown);
  CHECK(vellum::host::format_value(shown) == printed, display);
  CHECK(host.leak_report().empty(), host.leak_report());
  host.release_all();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::int64_t live = vellum::faults::live_blocks();
  check(std::string_view(reinterpret_cast<char const*>(data), size));
  CHECK(vellum::faults::live_blocks() == live, "operator new blocks left");
  return 0;
}
