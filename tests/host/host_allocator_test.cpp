#include <set>

#include "tests/support/test_support.h"

namespace {

using vellum::test::HostTest;
using vellum::test::word_at;
using Host = vellum::host::HostAllocator;

class ReferenceHost : public HostTest {};

TEST_F(ReferenceHost, RecordsAreFilledFreshAndLieBelowFourGiB) {
  std::set<void*> seen;
  for (int k = 0; k < 2000; ++k) {
    aApply* apply = nullptr;
    allocator->AllocApply(&apply);
    ASSERT_LE(std::uint64_t{reinterpret_cast<std::uintptr_t>(apply)} + Host::kRecordBytes, std::uint64_t{1} << 32);
    for (std::size_t offset = 0; offset < Host::kRecordBytes; offset += 4)
      ASSERT_EQ(word_at(apply, offset), Host::kFillWord) << offset;
    seen.insert(apply);
    // Dirty it, so that a recycled block shows whether it was filled again.
    std::memset(apply, 0, Host::kRecordBytes);
    if (k % 2) host.release(reinterpret_cast<Anyval*>(apply));
  }
  EXPECT_LT(seen.size(), 2000u) << "released blocks are reused";
  EXPECT_EQ(host.calls(6), 2000u);
}

// The counts and the log of calls by position are read by every constructor test and sweep.
TEST_F(ReferenceHost, NamesOperationsAndRefusesItsOwn) {
  EXPECT_EQ(allocator->HostOperation0(), Host::kNotImplemented);
  EXPECT_EQ(Host::operation_name(30), "AllocMatrix");
  EXPECT_EQ(Host::operation_name(9), "HostOperation9");
}

TEST_F(ReferenceHost, ReportsWhatWasNeitherHandedBackNorReleased) {
  aString* kept = aString::mk(allocator, "kept");
  aString* released = aString::mk(allocator, "released");
  aString* lost = aString::mk(allocator, "lost");
  auto* array = static_cast<double*>(::operator new(2 * sizeof(double)));
  aMatrix* lost_matrix = aMatrix::mk(allocator, 2, 1, array, nullptr, 0);
  host.keep(kept);
  host.release(released);
  EXPECT_EQ(host.live_records(), 2u);
  EXPECT_EQ(host.live_arrays(), 1u);
  std::string report = host.leak_report();
  EXPECT_NE(report.find("from AllocString (tag String)"), std::string::npos) << report;
  EXPECT_NE(report.find("from AllocMatrix (tag Matrix)"), std::string::npos) << report;
  EXPECT_NE(report.find("part array"), std::string::npos) << report;
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 3) << report;
  host.release(lost);
  host.release(lost_matrix);
  EXPECT_EQ(host.leak_report(), "");
  host.release(kept);
}

TEST_F(ReferenceHost, KeepingARecordKeepsWhatItRefersTo) {
  aString* label = aString::mk(allocator, "label");
  aMatrix* inner = vellum::host::make_matrix(allocator, {1, 1, std::vector<double>{3}, std::nullopt, 0});
  aMatrix* outer = vellum::host::make_matrix(
      allocator,
      {2, 1, std::vector<double>{vellum::make_nested_cell(label), vellum::make_nested_cell(inner)}, std::nullopt, 0});
  Anyval* error = mkError(context, "1.bad", 0);
  host.keep(outer);
  host.keep(error);
  EXPECT_EQ(host.leak_report(), "");
}

TEST_F(ReferenceHost, ReleasingAMatrixFreesItsArraysOnce) {
  std::int64_t before = vellum::faults::live_blocks();
  auto* shared = static_cast<double*>(::operator new(4 * sizeof(double)));
  aMatrix* a = aMatrix::mk(allocator, 2, 2, shared, nullptr, 0);
  aMatrix* b = aMatrix::mk(allocator, 2, 2, shared, shared, 0);  // one array in three slots
  host.release(a);
  EXPECT_EQ(vellum::faults::live_blocks(), before + 1);
  host.release(b);
  EXPECT_EQ(vellum::faults::live_blocks(), before);

  // An array the write rule created after the record was made belongs to the record as well.
  aMatrix* grown = aMatrix::mk(allocator, 2, 1, nullptr, nullptr, 0);
  vellum::set_elem_grow(&grown->imag, grown->ld, 1, 0, grown->size, 1.0);
  host.release(grown);
  EXPECT_EQ(vellum::faults::live_blocks(), before);
}

TEST_F(ReferenceHost, CopyKeepsOrCompactsTheLayoutAndSharesNestedRecords) {
  aString* label = aString::mk(allocator, "label");
  double nested = vellum::make_nested_cell(label);
  aMatrix* source = vellum::host::make_matrix(
      allocator, {2, 2, std::vector<double>{1, nested, 3, 4}, std::vector<double>{-1, 0, 0, 2}, 3});
  aMatrix* same_layout = aMatrix::cp(allocator, source, false);
  aMatrix* compact = aMatrix::cp(allocator, source, true);

  EXPECT_EQ(same_layout->ld, 3);
  EXPECT_EQ(same_layout->size, 48u);
  EXPECT_EQ(compact->ld, 2);
  EXPECT_EQ(compact->size, 32u);
  for (aMatrix* copy : {same_layout, compact}) {
    EXPECT_NE(copy->real, source->real);
    EXPECT_NE(copy->imag, source->imag);
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(vellum::test::bits(*vellum::elem_ptr(copy->real, copy->ld, i, j)),
                  vellum::test::bits(*vellum::elem_ptr(source->real, source->ld, i, j)));
        EXPECT_EQ(*vellum::elem_ptr(copy->imag, copy->ld, i, j), *vellum::elem_ptr(source->imag, source->ld, i, j));
      }
  }
  EXPECT_EQ(vellum::nested_value(compact->real[1]), static_cast<Anyval*>(label)) << "a shallow copy shares";
  for (bool flag : {false, true})
    EXPECT_EQ(aMatrix::deep_cp(allocator, source, flag)->ld, flag ? 2 : 3) << "the flag passes as 0 or 1";
  EXPECT_EQ(host.calls(52), 2u);
  EXPECT_EQ(host.calls(53), 2u);
}

TEST_F(ReferenceHost, DeepCopyCopiesNestedMatricesAndStrings) {
  aString* label = aString::mk(allocator, "label");
  aMatrix* inner = vellum::host::make_matrix(allocator, {2, 1, std::nullopt, std::vector<double>{5, 6}, 0});
  aMatrix* source = vellum::host::make_matrix(
      allocator,
      {1, 3, std::vector<double>{vellum::make_nested_cell(label), vellum::make_nested_cell(inner), 7}, std::nullopt, 0});
  aMatrix* copy = aMatrix::deep_cp(allocator, source, true);
  auto* label_copy = static_cast<aString*>(vellum::nested_value(copy->real[0]));
  auto* inner_copy = static_cast<aMatrix*>(vellum::nested_value(copy->real[1]));
  EXPECT_NE(label_copy, label);
  EXPECT_EQ(label_copy->tag, ValueTag::String);
  EXPECT_STREQ(label_copy->text, "label");
  EXPECT_NE(label_copy->text, label->text);
  EXPECT_NE(inner_copy, inner);
  EXPECT_EQ(inner_copy->real, nullptr);
  EXPECT_NE(inner_copy->imag, inner->imag);
  EXPECT_EQ(inner_copy->imag[1], 6.0);
  EXPECT_EQ(copy->real[2], 7.0);
}

}  // namespace
