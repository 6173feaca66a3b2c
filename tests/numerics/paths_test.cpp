// Full paths from a directory value and a name, and the extension check.
#include <string>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

using Paths = NumericsTest;

TEST_F(Paths, RelativeNamesJoinAStringDirectoryAndAbsoluteOnesStandAlone) {
  aString* work = aString::mk(allocator, "C:\\work");
  aString* work_slash = aString::mk(allocator, "C:\\work\\");
  aString* nothing = aString::mk(allocator, "");
  aString* unix_like = aString::mk(allocator, "/tmp");
  aComplex number = complex_record(1, 0);
  aMatrix* one = matrix(1, 1, V{1});
  struct Case {
    char const* name;
    Anyval const* directory;
    char const* expected;
  };
  Case const cases[] = {
      {"data.txt", work, "C:\\work\\data.txt"},
      {"data.txt", work_slash, "C:\\work\\data.txt"},
      {"data.txt", nothing, "\\data.txt"},
      {"sub/data.txt", unix_like, "/tmp\\sub/data.txt"},  // forward slashes mark nothing
      {"D:\\x.txt", work, "D:\\x.txt"},
      {"\\\\server\\share\\x.txt", work, "\\\\server\\share\\x.txt"},
      {"a\\\\b", work, "a\\\\b"},     // two backslashes anywhere
      {"odd:name", work, "odd:name"},  // a colon anywhere
      {"\\rooted.txt", work, "C:\\work\\\\rooted.txt"},
      {"data.txt", &number, "data.txt"},
      {"data.txt", one, "data.txt"},
  };
  for (Case const& c : cases) {
    aString* name = aString::mk(allocator, c.name);
    std::string path = "previous content";
    build_fullpath(name, c.directory, path);
    EXPECT_EQ(path, c.expected) << c.name;
  }
  // The overload for a string directory says the same.
  std::string path = "x";
  build_fullpath(aString::mk(allocator, "data.txt"), work, path);
  EXPECT_EQ(path, "C:\\work\\data.txt");
}

TEST(CheckExtension, AddsAMissingExtensionAndOtherwiseLooksForIt) {
  struct Case {
    char const* path;
    char const* extension;
    char const* error;
    char const* after;
  };
  char const* const failed = et::file_extension_error;
  Case const cases[] = {
      {"data", ".dat", nullptr, "data.dat"},
      {"", ".dat", nullptr, ".dat"},
      {"data.txt", ".dat", failed, "data.txt"},
      {"my.dat.txt", ".dat", nullptr, "my.dat.txt"},
      {"C:\\dir.old\\data", ".dat", failed, "C:\\dir.old\\data"},
      {"data.DAT", ".dat", failed, "data.DAT"},
      {"data.txt", "", nullptr, "data.txt"},
  };
  for (Case const& c : cases) {
    std::string path = c.path;
    char const* error = check_extension(path, c.extension);
    if (c.error)
      EXPECT_STREQ(error, c.error) << c.path;
    else
      EXPECT_EQ(error, nullptr) << c.path;
    EXPECT_EQ(path, c.after) << c.path;
  }
}

}  // namespace
}  // namespace vellum::test
