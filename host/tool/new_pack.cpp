#include "host/tool/new_pack.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "host/library/pack.h"
// The project's files (host/tool/templates/), in which @NAME@ stands for the pack's name and
// @MACRO@ for the macro that holds the module's path in the test.
#include "new_pack_templates.h"

namespace vellum::host {

namespace {

bool is_identifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

std::string fill(std::string_view text, std::string const& name) {
  std::string macro;
  for (char c : name) macro += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  macro += "_PACK";
  std::string out(text);
  for (auto [key, value] : {std::pair<std::string_view, std::string const&>{"@NAME@", name}, {"@MACRO@", macro}})
    for (std::size_t at = out.find(key); at != std::string::npos; at = out.find(key, at + value.size()))
      out.replace(at, key.size(), value);
  return out;
}

}  // namespace

int run_new(std::string const& name, std::string const& dir) {
  namespace fs = std::filesystem;
  if (!is_identifier(name))
    throw HostError("a pack's name is a letter or '_' followed by letters, digits and '_', not \"" + name + "\"");
  fs::path const root = dir.empty() ? fs::path(name) : fs::path(dir);
  std::pair<fs::path, std::string_view> const files[] = {
      {root / (name + ".cpp"), kPackSource}, {root / (name + "_test.cpp"), kTestSource}, {root / "CMakeLists.txt", kCMakeLists}};
  for (auto const& [path, text] : files)
    if (fs::exists(path)) throw HostError(path.string() + " exists already; nothing was written");
  std::error_code failed;
  fs::create_directories(root, failed);
  for (auto const& [path, text] : files) {
    std::ofstream out(path, std::ios::binary);
    out << fill(text, name);
    if (!out.flush()) throw HostError("cannot write " + path.string());
  }
  std::printf("wrote %s: build it with\n  cmake -S %s -B %s -DCMAKE_PREFIX_PATH=<vellum's prefix>\n"
              "  cmake --build %s && ctest --test-dir %s\n",
              root.string().c_str(), root.string().c_str(), (root / "build").string().c_str(),
              (root / "build").string().c_str(), (root / "build").string().c_str());
  return 0;
}

}  // namespace vellum::host
