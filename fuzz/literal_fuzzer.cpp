// Arbitrary text to the literal parser: a HostError naming the text, or a value whose printed and
// displayed texts read back as a value printed the same; nothing left behind either way.
#include "fuzz/fuzz_check.h"
#include "host/testing/fault_injection.h"
#include "host/library/host_allocator.h"
#include "host/library/literal.h"
#include "host/library/printer.h"

namespace {

void check(std::string_view text) {
  vellum::host::HostAllocator host;
  host.set_report_on_destroy(false);
  auto parse = [&](std::string_view literal) {
    Anyval* value = vellum::host::parse_literal(host.context()->allocator, literal);
    host.keep(value);
    CHECK(host.leak_report().empty(), "a record the parse made is not the value's: " + host.leak_report());
    return value;
  };
  Anyval* value = nullptr;
  try {
    value = parse(text);
  } catch (vellum::host::HostError const& e) {
    std::string shown;  // the text's first 60 bytes, a NUL byte shown as \0, and the length of a longer one
    for (char c : text.substr(0, 60)) shown += c ? std::string(1, c) : "\\0";
    if (text.size() > 60) shown += "... (" + std::to_string(text.size()) + " bytes)";
    CHECK(std::string(e.what()).starts_with("malformed literal '" + shown + "' at column "), e.what());
    host.release_unkept();
    CHECK(host.leak_report().empty(), host.leak_report());
    return;
  }
  std::string const printed = vellum::host::format_value(value);
  for (std::string const& again : {printed, vellum::host::format_display(value)}) try {
      CHECK(vellum::host::format_value(parse(again)) == printed, again + " reads back as another value");
    } catch (vellum::host::HostError const& e) {
      vellum::fuzz::fail("the printed value does not read back", again + " -> " + e.what());
    }
  host.release_all();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::int64_t live = vellum::faults::live_blocks();
  check(std::string_view(reinterpret_cast<char const*>(data), size));
  CHECK(vellum::faults::live_blocks() == live, "operator new blocks left");
  return 0;
}
