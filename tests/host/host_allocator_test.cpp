// The reference host's allocator: fresh records, what it reports as left, what it frees, its copies.
#include <algorithm>
#include <set>

#include "host/library/printer.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

using Host = host::HostAllocator;
class ReferenceHost : public HostTest {};

TEST_F(ReferenceHost, RecordsAreFilledFreshBelowFourGiBAndReused) {
  std::set<void*> seen;
  for (int k = 0; k < 2000; ++k) {
    aApply* apply = nullptr;
    allocator->AllocApply(&apply);
    ASSERT_LE(std::uint64_t{reinterpret_cast<std::uintptr_t>(apply)} + Host::kRecordBytes, std::uint64_t{1} << 32);
    for (std::size_t offset = 0; offset < Host::kRecordBytes; offset += 4)
      ASSERT_EQ(word_at(apply, offset), Host::kFillWord) << offset;
    std::memset(apply, 0, Host::kRecordBytes);  // a reused block shows whether it was filled again
    seen.insert(apply);
    if (k % 2) host.release(reinterpret_cast<Anyval*>(apply));
  }
  EXPECT_LT(seen.size(), 2000u);
  EXPECT_EQ(host.calls(6), 2000u);
}

// What was neither kept nor released is reported; a matrix's arrays go once no record holds them.
TEST_F(ReferenceHost, ReportsAndFreesWhatIsLeft) {
  std::vector<double> cells{make_nested_cell(aString::mk(allocator, "label")),
                            make_nested_cell(host::make_matrix(allocator, {1, 1, std::vector<double>{3}, {}, 0}))};
  host.keep(host::make_matrix(allocator, {2, 1, cells, {}, 0}));
  host.keep(aError::mk(allocator, aString::mk(allocator, "bad"), 0, 1, aString::mk(allocator, "value")));
  expect_nothing_left();
  std::int64_t const before = faults::live_blocks();
  auto* shared = static_cast<double*>(::operator new(4 * sizeof(double)));
  aMatrix* a = aMatrix::mk(allocator, 2, 2, shared, nullptr, 0);
  aMatrix* b = aMatrix::mk(allocator, 2, 2, shared, shared, 0);
  aMatrix* grown = aMatrix::mk(allocator, 2, 1, nullptr, nullptr, 0);
  set_elem_grow(&grown->imag, 2, 1, 0, grown->size, 1.0);
  aString* lost = aString::mk(allocator, "lost");
  EXPECT_EQ(std::pair(host.live_records(), host.live_arrays()), std::pair(std::size_t{4}, std::size_t{1}));
  for (char const* line : {"from AllocString (tag String)", "from AllocMatrix (tag Matrix)", "part array"})
    EXPECT_NE(host.leak_report().find(line), std::string::npos) << host.leak_report();
  EXPECT_EQ(std::ranges::count(host.leak_report(), '\n'), 5) << host.leak_report();
  for (auto [record, left] : {std::pair<Anyval*, int>{a, 2}, {grown, 1}, {b, 0}, {lost, 0}}) {
    host.release(record);
    EXPECT_EQ(faults::live_blocks(), before + left);
  }
  expect_nothing_left();
}

// Copies keep or compact the layout, with arrays of their own; only the deep one copies nested records.
TEST_F(ReferenceHost, CopiesKeepOrCompactTheLayoutAndShareOrCopyNestedRecords) {
  Anyval* nested[] = {aString::mk(allocator, "s"), host::make_matrix(allocator, {2, 1, {}, std::vector{5.0, 6.0}, 0})};
  std::vector<double> cells{1, make_nested_cell(nested[0]), make_nested_cell(nested[1]), 4};
  aMatrix* source = host::make_matrix(allocator, {2, 2, cells, std::vector<double>{-1, 0, 0, 2}, 3});
  for (bool deep : {false, true})
    for (bool compact : {false, true}) {
      aMatrix* copy = deep ? aMatrix::deep_cp(allocator, source, compact) : aMatrix::cp(allocator, source, compact);
      EXPECT_EQ(std::pair(copy->ld, copy->size), compact ? std::pair(2, 32u) : std::pair(3, 48u));
      EXPECT_TRUE(copy->real != source->real && copy->imag != source->imag);
      EXPECT_EQ(host::format_value(copy), "[1 - 1i, [5i; 6i]; \"s\", 4 + 2i]");
      Anyval* copied[] = {nested_value(copy->real[1]), nested_value(copy->real[copy->ld])};
      EXPECT_EQ(std::pair(copied[0] == nested[0], copied[1] == nested[1]), std::pair(!deep, !deep)) << deep << compact;
      EXPECT_EQ(static_cast<aMatrix*>(copied[1])->real, nullptr) << "an absent array stays absent";
    }
  EXPECT_EQ(std::pair(host.calls(52), host.calls(53)), std::pair(std::size_t{2}, std::size_t{2}));
  EXPECT_NE(host.leak_report().find("from DeepCopyMatrix (tag String)"), std::string::npos) << host.leak_report();
}

}  // namespace
}  // namespace vellum::test
