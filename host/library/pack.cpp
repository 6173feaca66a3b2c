#include "host/library/pack.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include <vellum/packdesc/type_codes.h>
#include <vellum/values/error.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/packdesc/type_words_table.h>

namespace vellum::host {

namespace {

#if defined(_WIN32)
// Windows says only that "the module" was not found (error 126), also when the pack is there
// and a DLL it imports is not. The pack's image, mapped without its imports, names them; each is
// looked for beside the pack and then where the system looks.
std::string missing_imports(std::string const& path) {
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!image) return "";
  auto const* base = reinterpret_cast<unsigned char const*>(image);
  auto const* headers = reinterpret_cast<IMAGE_NT_HEADERS const*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER const*>(base)->e_lfanew);
  IMAGE_DATA_DIRECTORY const& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::string const folder = path.substr(0, path.find_last_of("\\/") + 1);
  std::string missing;
  if (imports.VirtualAddress)
    for (auto const* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR const*>(base + imports.VirtualAddress); d->Name; ++d) {
      std::string const name = reinterpret_cast<char const*>(base + d->Name);
      HMODULE found = LoadLibraryExA((folder + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
      if (!found) found = LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
      if (found)
        FreeLibrary(found);
      else
        missing += (missing.empty() ? "" : ", ") + name;
    }
  FreeLibrary(image);
  return missing;
}

void* open_module(std::string const& path, std::string& why) {
  // The altered search path lets a pack find the DLLs beside it (vellum.dll).
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module) return reinterpret_cast<void*>(module);
  DWORD const error = GetLastError();
  why = "Windows error " + std::to_string(error);
  if (error == ERROR_MOD_NOT_FOUND)
    if (std::string const missing = missing_imports(path); !missing.empty())
      why += ": it imports " + missing + ", found neither beside it nor where the system looks for DLLs";
  return nullptr;
}
void* find_symbol(void* handle, char const* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void close_module(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* open_module(std::string const& path, std::string& why) {
  // A bare name would be searched for on the library path; a pack is always named by its file.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    char const* text = dlerror();
    why = text ? text : "unknown reason";
  }
  return handle;
}
void* find_symbol(void* handle, char const* name) { return dlsym(handle, name); }
void close_module(void* handle) { dlclose(handle); }
#endif

std::string plural(std::size_t n, char const* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

std::string type_word(std::int32_t code) {
  switch (code) {
#define VELLUM_HOST_TYPE_WORD(word, number) \
  case number:                              \
    return #word;
    VELLUM_TYPE_WORDS(VELLUM_HOST_TYPE_WORD)
#undef VELLUM_HOST_TYPE_WORD
  }
  return "type " + std::to_string(code);
}

std::string signature_words(sFunctionInfo const* signature) {
  std::string out;
  std::int32_t count = signature->args ? signature->args->count : 0;
  for (std::int32_t k = 0; k < count; ++k) out += (k ? ", " : "") + type_word(signature->args->types[k].code);
  return out + (count ? " -> " : "-> ") + type_word(signature->result.code);
}

Pack::Pack(std::string const& path) : path_(path) {
  std::string why;
  handle_ = open_module(path, why);
  if (!handle_) throw HostError("cannot load pack " + path + ": " + why);
  auto entry = reinterpret_cast<VellumPackEntryFunction>(find_symbol(handle_, VELLUM_PACK_ENTRY_SYMBOL));
  try {
    check_table(entry ? entry() : nullptr);
  } catch (...) {
    close_module(handle_);
    throw;
  }
}

Pack::Pack(VellumPackTable const* linked) : path_("(linked pack)") { check_table(linked); }

void Pack::check_table(VellumPackTable const* table) {
  if (!table || table->count < 0 || (table->count > 0 && !table->entries))
    throw HostError(path_ + " is not a pack: it has no usable " VELLUM_PACK_ENTRY_SYMBOL "()");
  table_ = table;
  auto const list = entries();
  for (std::size_t k = 0; k < list.size(); ++k) {
    VellumPackEntry const& e = list[k];
    if (!e.name || !e.function || !e.info.signature)
      throw HostError(path_ + " is not a pack: an entry of its table lacks a name, a signature or a function");
    // A user calls a function by its name: a blank one cannot be called, and of two alike only one.
    std::string_view const name = e.name;
    if (std::ranges::all_of(name, [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }))
      throw HostError(path_ + " is not a pack: entry " + std::to_string(k + 1) + " of its table has a blank name");
    for (std::size_t j = 0; j < k; ++j)
      if (name == list[j].name)
        throw HostError(path_ + " is not a pack: entries " + std::to_string(j + 1) + " and " +
                        std::to_string(k + 1) + " of its table are both named " + std::string(name));
  }
}

Pack::~Pack() {
  if (handle_) close_module(handle_);
}

void* Pack::symbol(char const* name) const { return handle_ ? find_symbol(handle_, name) : nullptr; }

VellumPackEntry const& Pack::find(std::string_view name) const {
  for (VellumPackEntry const& e : entries())
    if (name == e.name) return e;
  throw HostError(path_ + " has no function " + std::string(name));
}

Anyval* call(HostAllocator& host, VellumPackEntry const& entry, std::vector<Anyval*> const& args) {
  sTypelist const* list = entry.info.signature->args;
  std::size_t expected = list ? static_cast<std::size_t>(list->count) : 0;
  if (args.size() != expected)
    throw HostError(std::string(entry.name) + "(" + (entry.params ? entry.params : "") + ") takes " +
                    plural(expected, "argument") + ", given " + std::to_string(args.size()));
  for (std::size_t k = 0; k < expected; ++k) {
    std::int32_t code = list->types[k].code;
    auto tag = static_cast<std::int32_t>(args[k]->tag);
    if (code != type_code::Any && code != tag)
      throw HostError("argument " + std::to_string(k + 1) + " of " + entry.name + " must be " + type_word(code) +
                      ", not " + type_word(tag));
  }
  for (Anyval* a : args) host.keep(a);

  Anyval* result = nullptr;
  try {
    entry.function(host.context(), &result, args.data());
  } catch (char const* text) {
    // The pack cannot hand back what the call made before the throw; the host reclaims it.
    host.release_unkept();
    result = mkError(host.context(), text, 0);
  }
  if (!result) throw PackFault("returned no value");
  host.keep(result);
  return result;
}

}  // namespace vellum::host
