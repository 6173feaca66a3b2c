// build_fullpath and check_extension with arbitrary names, directory values and extensions: no
// fault, and the shape of every result.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include <vellum/numerics/paths.h>
#include <vellum/values/error_texts.h>

#include "fuzz/fuzz_check.h"

namespace {

// Texts drawn mostly from the characters that mean something in a path, so that separators,
// doubled separators, colons and periods turn up often.
std::string path_text(FuzzedDataProvider& in) {
  static char const alphabet[] = "\\\\\\::..abcXYZ/ %\x80\xff";
  std::string text;
  std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, 40);
  for (std::size_t k = 0; k < length && in.remaining_bytes() > 0; ++k) {
    auto byte = in.ConsumeIntegral<std::uint8_t>();
    char c = byte < 200 ? alphabet[byte % (sizeof alphabet - 1)] : static_cast<char>(byte - 199);
    text += c;
  }
  return text;
}

// A record to stand for a directory value: a string record, or a record of another kind whose
// fields after the tag may even look like a text pointer.
struct Directory {
  aString record{};
  std::string text;
};

void check_fullpath(FuzzedDataProvider& in) {
  std::string name_text = path_text(in);
  aString name{};
  name.tag = ValueTag::String;
  name.text = name_text.c_str();
  name.size = static_cast<std::uint32_t>(name_text.size() + 1);

  Directory dir;
  dir.text = path_text(in);
  auto tag = in.ConsumeBool() ? 3 : in.ConsumeIntegralInRange<std::int32_t>(-1, 40);
  dir.record.tag = static_cast<ValueTag>(tag);
  // Another kind of record never has its text read: point it nowhere useful.
  dir.record.text = tag == 3 ? dir.text.c_str() : reinterpret_cast<char const*>(std::uintptr_t{16});
  dir.record.size = static_cast<std::uint32_t>(dir.text.size() + 1);

  std::string path = path_text(in);  // whatever it held before is discarded
  build_fullpath(&name, static_cast<Anyval const*>(&dir.record), path);
  std::string again = "previous";
  build_fullpath(&name, &dir.record, again);
  CHECK(again == path, name_text);

  bool absolute = name_text.find("\\\\") != std::string::npos || name_text.find(':') != std::string::npos;
  if (absolute || tag != 3) {
    CHECK(path == name_text, name_text);
    return;
  }
  // Relative name under a string directory: the directory, one separator unless the directory
  // already ends in one, then the name; nothing else.
  bool ends_in_separator = !dir.text.empty() && dir.text.back() == '\\';
  CHECK(path.size() == dir.text.size() + name_text.size() + (ends_in_separator ? 0 : 1), path);
  CHECK(path.compare(0, dir.text.size(), dir.text) == 0, path);
  CHECK(path.compare(path.size() - name_text.size(), name_text.size(), name_text) == 0, path);
  CHECK(path[dir.text.size() + (ends_in_separator ? 0 : 1) - 1] == '\\', path);
}

void check_extension_of(FuzzedDataProvider& in) {
  std::string path = path_text(in);
  std::string extension = path_text(in);
  std::string const before = path;
  char const* result = check_extension(path, extension.c_str());
  if (before.find('.') == std::string::npos) {
    CHECK(result == nullptr, before);
    CHECK(path == before + extension, path);
  } else {
    CHECK(path == before, path);
    bool present = before.find(extension) != std::string::npos;
    CHECK(present ? result == nullptr : result == vellum::error_text::file_extension_error, before);
    if (result) CHECK(std::string(result) == "file extension error", result);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  check_fullpath(in);
  check_extension_of(in);
  return 0;
}
