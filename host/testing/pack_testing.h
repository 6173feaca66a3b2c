// Testing a pack with GoogleTest, without the real host: load it, or link its sources into the
// test and pass its table, call its functions with arguments in the literal syntax, and compare
// what the host would print. Every call checks that the function left nothing behind unless told
// otherwise:
//
//   vellum::host::PackUnderTest pack(ELEMENTWISE_PACK);          // the module's path
//   vellum::host::PackUnderTest linked(vellum_pack_functions());  // the pack linked in
//   EXPECT_EQ(pack.call("sqrt", {"[4, -9]"}), "[2, 3i]");
//
// What goes wrong around a call (a pack that does not load, a misspelt function, a bad literal, a
// leak, a function that returns nothing) is a failure of the test at the line that made or called
// the pack, and the test goes on.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <source_location>
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
  explicit PackUnderTest(std::string const& path, std::source_location where = std::source_location::current()) {
    load([&] { return std::make_unique<Pack>(path); }, where);
  }
  explicit PackUnderTest(VellumPackTable const* linked, std::source_location where = std::source_location::current()) {
    load([&] { return std::make_unique<Pack>(linked); }, where);
  }

  // The result as format_value prints it (an error value included). When the call cannot be made
  // or leaves records or arrays behind, the test fails at the caller's line and the text returned
  // is "failed: " and the reason.
  std::string call(std::string_view function, std::initializer_list<std::string_view> args,
                   std::source_location where = std::source_location::current()) {
    try {
      return format_value(call_value(function, args));
    } catch (HostError const& e) {
      return fail(e.what(), where);
    } catch (PackFault const& e) {
      return fail(std::string(function) + " " + e.what(), where);
    }
  }

  // The result itself, owned by the host until release_all(); HostError or PackFault where call()
  // fails.
  Anyval* call_value(std::string_view function, std::initializer_list<std::string_view> args) {
    if (!pack_) throw HostError("no pack was loaded");
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
  bool loaded() const noexcept { return pack_ != nullptr; }
  Pack const& pack() const noexcept { return *pack_; }  // only once loaded()

 private:
  void load(auto make, std::source_location where) {
    host_.set_report_on_destroy(false);
    try {
      pack_ = make();
    } catch (HostError const& e) {
      fail(e.what(), where);
    }
  }
  static std::string fail(std::string const& why, std::source_location where) {
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << why;
    return "failed: " + why;
  }

  HostAllocator host_;
  std::unique_ptr<Pack> pack_;
  bool check_leaks_ = true;
};

}  // namespace vellum::host
