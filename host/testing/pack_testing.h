// Testing a pack without the real host: load it, or link its sources into the test and pass its
// table, call its functions with arguments in the literal syntax, and compare what the host
// would print. Every call checks that the function left nothing behind unless told otherwise:
//
//   vellum::host::PackUnderTest pack(ELEMENTWISE_PACK);          // the module's path
//   vellum::host::PackUnderTest linked(vellum_pack_functions());  // the pack linked in
//   EXPECT_EQ(pack.call("sqrt", {"[4, -9]"}), "[2, 3i]");
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/library/host_allocator.h"
#include "host/library/literal.h"
#include "host/library/pack.h"
#include "host/library/printer.h"

namespace vellum::host {

class PackUnderTest {
 public:
  explicit PackUnderTest(std::string const& path) : pack_(std::make_unique<Pack>(path)) {
    host_.set_report_on_destroy(false);
  }
  explicit PackUnderTest(VellumPackTable const* linked) : pack_(std::make_unique<Pack>(linked)) {
    host_.set_report_on_destroy(false);
  }

  // The result as format_value prints it (an error value included). HostError for bad input, and
  // when leak checking is on and the call left records or arrays neither returned nor released.
  std::string call(std::string_view function, std::initializer_list<std::string_view> args) {
    return format_value(call_value(function, args));
  }

  // The result itself, owned by the host until release_all().
  Anyval* call_value(std::string_view function, std::initializer_list<std::string_view> args) {
    VellumPackEntry const& entry = pack_->find(function);
    std::vector<Anyval*> values;
    for (std::string_view text : args) {
      values.push_back(parse_literal(host_.context()->allocator, text));
      host_.keep(values.back());
    }
    Anyval* result = host::call(host_, entry, values);
    if (check_leaks_)
      if (std::string leaks = host_.leak_report(); !leaks.empty())
        throw HostError(std::string(function) + " left records or arrays behind:\n" + leaks);
    return result;
  }

  void check_leaks(bool on) noexcept { check_leaks_ = on; }
  HostAllocator& host() noexcept { return host_; }
  Pack const& pack() const noexcept { return *pack_; }

 private:
  HostAllocator host_;
  std::unique_ptr<Pack> pack_;
  bool check_leaks_ = true;
};

}  // namespace vellum::host
