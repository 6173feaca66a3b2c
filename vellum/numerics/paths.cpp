#include <vellum/numerics/paths.h>

#include <vellum/values/error_texts.h>

namespace {
constexpr char kSeparator = '\\';
}  // namespace

void build_fullpath(aString const* name, Anyval const* directory, std::string& path) {
  std::string file(name->text);
  bool const absolute = file.find("\\\\") != std::string::npos || file.find(':') != std::string::npos;
  if (absolute || directory->tag != ValueTag::String) {
    path = file;
    return;
  }
  path = static_cast<aString const*>(directory)->text;
  if (path.empty() || path.back() != kSeparator) path += kSeparator;
  path += file;
}

void build_fullpath(aString const* name, aString* directory, std::string& path) {
  build_fullpath(name, static_cast<Anyval const*>(directory), path);
}

char const* check_extension(std::string& path, char const* extension) {
  if (path.find('.') == std::string::npos) {
    path += extension;
    return nullptr;
  }
  if (path.find(extension) != std::string::npos) return nullptr;
  return vellum::error_text::file_extension_error;
}
