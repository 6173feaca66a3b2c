// A pack loaded into the reference host: its table of functions, the signature of each in words,
// and calls with the arguments checked against the signature first.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/library/host_allocator.h"
#include "host/protocol.h"

namespace vellum::host {

// Bad input the host refuses before or instead of a call: one line of text.
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A pack that broke the protocol in a call: what it did ("returned no value"), one line of text.
class PackFault : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Mat" for 5, "Num" for 2, ... ; "type N" for a code without a word.
std::string type_word(std::int32_t code);
// "Mat, Num -> Mat"; "-> Num" without arguments.
std::string signature_words(sFunctionInfo const* signature);

class Pack {
 public:
  // Loads the module at `path` and reads its table (HostError when either fails).
  explicit Pack(std::string const& path);
  // A pack linked into the program: its table, as its vellum_pack_functions() returns it.
  explicit Pack(VellumPackTable const* linked);
  ~Pack();
  Pack(Pack const&) = delete;
  Pack& operator=(Pack const&) = delete;

  std::span<VellumPackEntry const> entries() const noexcept {
    return {table_->entries, static_cast<std::size_t>(table_->count)};
  }
  VellumPackEntry const& find(std::string_view name) const;  // HostError when there is none
  std::string const& path() const noexcept { return path_; }
  // The loaded module (HMODULE or dlopen handle) and one of its exported symbols (null if absent).
  void* handle() const noexcept { return handle_; }  // null for a linked pack
  void* symbol(char const* name) const;

 private:
  void check_table(VellumPackTable const* table);  // HostError for a table no host can use

  std::string path_;
  void* handle_ = nullptr;
  VellumPackTable const* table_ = nullptr;
};

// Checks the argument count and every argument's tag against the signature (HostError naming the
// argument), calls the function, and returns what it stored, a thrown char* text turned into an
// error record; PackFault when it stored nothing. The arguments and the result are marked as the host's own (kept). After a throw,
// every record not kept is released: it can only be the call's unfinished work.
Anyval* call(HostAllocator& host, VellumPackEntry const& entry, std::vector<Anyval*> const& args);

}  // namespace vellum::host
