#include "tests/support/test_support.h"

namespace {

using vellum::test::HostTest;
using vellum::test::word_at;

class TextRecords : public HostTest {};

TEST_F(TextRecords, StringsAndSymbolicExpressionsShareOneOperationAndDifferByTag) {
  struct Case {
    char const* text;
    bool symbolic;
  };
  for (Case c : {Case{"hello", false}, Case{"", false}, Case{"x + y", true}, Case{"", true}}) {
    host.clear_calls();
    aString* s = c.symbolic ? aSymbolicExpression::mk(allocator, c.text) : aString::mk(allocator, c.text);
    EXPECT_EQ(word_at(s, 0), c.symbolic ? 21u : 3u) << c.text;
    EXPECT_STREQ(s->text, c.text);
    EXPECT_EQ(s->size, std::strlen(c.text) + 1);
    EXPECT_EQ(host.call_log(), (std::vector<int, vellum::host::UntrackedAllocator<int>>{36}));
    host.release(s);
  }
}

}  // namespace
