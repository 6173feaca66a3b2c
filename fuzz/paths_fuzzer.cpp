// build_fullpath and check_extension on arbitrary names, directory values and extensions, against
// results put together by hand.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"

#include <vellum/numerics/paths.h>
#include <vellum/values/error_texts.h>

#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  vellum::fuzz::Input in(data, size);
  auto text = [&] {  // mostly the characters that mean something in a path
    std::string text;
    for (auto k = in.ConsumeIntegralInRange(0, 40); k > 0 && in.remaining_bytes() > 0; --k)
      text += "\\\\::..aZ/ \x80"[in.ConsumeIntegralInRange(0, 10)];
    return text;
  };
  std::string const name = text(), directory = text(), extension = text();
  aString name_record{}, directory_record{};  // a directory of another kind has no text to read
  name_record.tag = ValueTag::String;
  name_record.text = name.c_str();
  directory_record.tag = in.ConsumeBool() ? ValueTag::String : static_cast<ValueTag>(in.ConsumeIntegralInRange(-1, 40));
  directory_record.text = directory_record.tag == ValueTag::String ? directory.c_str() : nullptr;
  bool const absolute = name.find("\\\\") != std::string::npos || name.find(':') != std::string::npos;
  std::string expected = name, path = text();
  if (!absolute && directory_record.tag == ValueTag::String)
    expected = directory + (!directory.empty() && directory.back() == '\\' ? "" : "\\") + name;
  build_fullpath(&name_record, &directory_record, path);
  CHECK(path == expected, name + " | " + directory + " -> " + path);

  std::string checked = path;
  char const* error = check_extension(checked, extension.c_str());
  bool const plain = path.find('.') == std::string::npos, found = path.find(extension) != std::string::npos;
  CHECK(checked == (plain ? path + extension : path), path + " | " + extension);
  CHECK(error == (plain || found ? nullptr : vellum::error_text::file_extension_error), path + " | " + extension);
  return 0;
}
