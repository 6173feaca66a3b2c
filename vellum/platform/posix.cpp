// The platform services on systems without the Windows interface.
#if !defined(_WIN32)

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include <vellum/platform/module_file.h>
#include <vellum/platform/performance_counter.h>
#include <vellum/platform/registry.h>

namespace vellum::platform {

// --- Performance counter ------------------------------------------------------------------------

namespace {
std::atomic<CounterSource> g_counter_source{nullptr};

std::int64_t monotonic_nanoseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
}  // namespace

std::int64_t counter_frequency() { return 1000000000; }
std::int64_t counter_value() {
  CounterSource source = g_counter_source.load();
  return source ? source() : monotonic_nanoseconds();
}
void set_counter_source(CounterSource source) { g_counter_source.store(source); }

// --- Module file name ---------------------------------------------------------------------------

namespace {
std::uint32_t copy_module_file_name(void* module, char* buffer, std::uint32_t size) {
  std::string name;
  if (module) {
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) return 0;
    name = map->l_name ? map->l_name : "";
  }
  if (name.empty()) {
    // The program itself, as for a null module.
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof self) return 0;
    name.assign(self, static_cast<std::size_t>(length));
  } else if (name[0] != '/') {
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) return 0;
    name = std::string(cwd) + "/" + name;
    std::free(cwd);
  }
  if (name.size() < size) {
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return static_cast<std::uint32_t>(name.size());
  }
  std::memcpy(buffer, name.data(), size - 1);
  buffer[size - 1] = '\0';
  return size;
}
}  // namespace

// The system's functions report failures and never throw; neither do these stand-ins.
std::uint32_t module_file_name(void* module, char* buffer, std::uint32_t size) {
  if (!buffer || size == 0) return 0;
  try {
    return copy_module_file_name(module, buffer, size);
  } catch (...) {
    return 0;
  }
}

// --- Registry store -----------------------------------------------------------------------------
//
// A value file holds "VLMV", the type (4 bytes, little-endian), the data length (4 bytes) and the
// data. Value names are kept in file names with every byte outside [A-Za-z0-9{}-_] written as %XX,
// so that no name can step out of its key; files whose names begin with '.' are temporaries.

namespace {
constexpr char kMagic[4] = {'V', 'L', 'M', 'V'};
constexpr off_t kLargestValueFile = off_t{1} << 26;

std::string store_root() {
  if (char const* root = std::getenv("VELLUM_REGISTRY_ROOT"); root && *root) return root;
  if (char const* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return std::string(config) + "/vellum/registry";
  char const* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/vellum/registry";
}

std::string key_folder(char const* path) {
  std::string folder = store_root() + "/HKEY_CLASSES_ROOT";
  for (std::string part; ; ++path) {
    if (*path == '\\' || *path == '\0') {
      if (!part.empty()) folder += "/" + part;
      part.clear();
      if (*path == '\0') break;
    } else {
      part += *path;
    }
  }
  return folder;
}

bool plain(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '{' || c == '}' ||
         c == '-' || c == '_';
}

std::string file_name_of(char const* value_name) {
  static char const hex[] = "0123456789ABCDEF";
  std::string file;
  for (auto const* c = reinterpret_cast<unsigned char const*>(value_name); *c; ++c) {
    if (plain(*c)) {
      file += static_cast<char>(*c);
    } else {
      file += '%';
      file += hex[*c >> 4];
      file += hex[*c & 15];
    }
  }
  return file.empty() ? "%" : file;  // the unnamed (default) value
}

std::optional<std::string> value_name_of(std::string const& file) {
  if (file == "%") return std::string();
  std::string name;
  for (std::size_t k = 0; k < file.size(); ++k) {
    if (file[k] != '%') {
      name += file[k];
      continue;
    }
    if (k + 2 >= file.size()) return std::nullopt;
    char digits[3] = {file[k + 1], file[k + 2], 0};
    char* end = nullptr;
    long byte = std::strtol(digits, &end, 16);
    if (end != digits + 2) return std::nullopt;
    name += static_cast<char>(byte);
    k += 2;
  }
  return name;
}

bool is_folder(std::string const& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool make_folders(std::string const& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    std::string prefix = path.substr(0, at);
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return is_folder(path);
}

bool write_all(int fd, void const* data, std::size_t bytes) {
  auto const* at = static_cast<char const*>(data);
  while (bytes) {
    ssize_t written = write(fd, at, bytes);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    at += written;
    bytes -= static_cast<std::size_t>(written);
  }
  return true;
}

void put_word(unsigned char* at, std::uint32_t word) {
  for (int k = 0; k < 4; ++k) at[k] = static_cast<unsigned char>(word >> (8 * k));
}
std::uint32_t get_word(unsigned char const* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

struct OpenKey {
  std::string folder;
};

template <class Operation>
bool or_false(Operation operation) {
  try {
    return operation();
  } catch (...) {
    return false;
  }
}
}  // namespace

bool create_key_for_write(char const* path, RegistryKey* key) {
  return or_false([&] {
    std::string folder = key_folder(path);
    if (!make_folders(folder)) return false;
    *key = new OpenKey{folder};
    return true;
  });
}

bool open_key_for_write(char const* path, RegistryKey* key) {
  return or_false([&] {
    std::string folder = key_folder(path);
    if (!is_folder(folder) || access(folder.c_str(), W_OK) != 0) return false;
    *key = new OpenKey{folder};
    return true;
  });
}

namespace {
bool write_value_file(RegistryKey key, char const* name, char const* data, std::uint32_t bytes) {
  auto* open = static_cast<OpenKey*>(key);
  std::string final_path = open->folder + "/" + file_name_of(name);
  static std::atomic<unsigned> serial{0};
  std::string temporary = open->folder + "/.tmp-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + "-" +
                          file_name_of(name);
  // No live writer shares this name (pid and serial); one left by a killed writer is overwritten.
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  unsigned char header[12];
  std::memcpy(header, kMagic, 4);
  put_word(header + 4, kRegistryString);
  put_word(header + 8, bytes);
  bool written = write_all(fd, header, sizeof header) && write_all(fd, data, bytes);
  written = (::close(fd) == 0) && written;
  if (!written || rename(temporary.c_str(), final_path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}
}  // namespace

bool set_string_value(RegistryKey key, char const* name, char const* data, std::uint32_t bytes) {
  return or_false([&] { return write_value_file(key, name, data, bytes); });
}

bool delete_value(RegistryKey key, char const* name) {
  return or_false([&] {
    auto* open = static_cast<OpenKey*>(key);
    return unlink((open->folder + "/" + file_name_of(name)).c_str()) == 0;
  });
}

void close_key(RegistryKey key) { delete static_cast<OpenKey*>(key); }

std::optional<std::vector<RegistryValue>> list_values(char const* path) {
  std::string folder = key_folder(path);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return std::nullopt;
  std::vector<RegistryValue> values;
  bool unread = false;
  for (;;) {
    // readdir answers null at the end and on an error alike; only errno tells them apart, and a
    // folder that could not be read to its end is no key with fewer values.
    errno = 0;
    dirent* entry = readdir(dir);
    if (!entry) {
      unread = errno != 0;
      break;
    }
    std::string file = entry->d_name;
    if (file.empty() || file[0] == '.') continue;
    std::optional<std::string> name = value_name_of(file);
    if (!name) continue;
    // Only regular files are values: a pipe or a device in the key's folder would block the reader
    // or never end.
    int fd = ::open((folder + "/" + file).c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kLargestValueFile) {
      ::close(fd);
      continue;
    }
    std::vector<unsigned char> content;
    unsigned char chunk[4096];
    bool failed = false;
    for (;;) {
      ssize_t got = read(fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        failed = got < 0;
        break;
      }
      content.insert(content.end(), chunk, chunk + got);
    }
    ::close(fd);
    if (failed || content.size() < 12 || std::memcmp(content.data(), kMagic, 4) != 0) continue;
    std::uint32_t length = get_word(content.data() + 8);
    if (length != content.size() - 12) continue;
    values.push_back({*name, get_word(content.data() + 4), std::vector<unsigned char>(content.begin() + 12, content.end())});
  }
  closedir(dir);
  if (unread) return std::nullopt;
  return values;
}

}  // namespace vellum::platform

#endif
