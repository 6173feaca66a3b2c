// The allocator interface keeps every operation in the COM slot the host implements it at.
#include "tests/support/test_support.h"

namespace {

// The slot of a virtual member function, read from its pointer-to-member representation in the
// Itanium C++ ABI (used by GCC and Clang on every target we build): the vtable offset in bytes,
// plus one.
template <class Method>
std::ptrdiff_t slot_of(Method method) {
  static_assert(sizeof(Method) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t words[2];
  std::memcpy(words, &method, sizeof words);
  return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(IvlAllocator, EveryOperationSitsAtItsPosition) {
  struct Row {
    std::ptrdiff_t position;
    std::ptrdiff_t slot;
    char const* name;
  };
#define ROW(position, name) Row{position, slot_of(&IvlAllocator::name), #name}
  Row const rows[] = {
      ROW(6, AllocApply),          ROW(7, AllocBreak),          ROW(8, AllocComplex),
      ROW(10, AllocComponent),     ROW(11, AllocComputeRequest), ROW(12, AllocCons),
      ROW(13, AllocContinue),      ROW(14, AllocDefn),          ROW(15, AllocEfiFrame),
      ROW(16, AllocError),         ROW(17, AllocEvalLiteral),   ROW(18, AllocFor),
      ROW(19, AllocFrame),         ROW(20, AllocFunction),      ROW(21, AllocGlobal),
      ROW(22, AllocGlobalsDEQ),    ROW(23, AllocGlobalList),    ROW(24, AllocIdentifier),
      ROW(25, AllocIfBlock),       ROW(26, AllocLambda),        ROW(27, AllocLet),
      ROW(28, AllocList),          ROW(29, AllocLocalAssign),   ROW(30, AllocMatrix),
      ROW(31, AllocOnError),       ROW(32, AllocPair),          ROW(33, AllocRange),
      ROW(34, AllocReturn),        ROW(35, AllocSequence),      ROW(36, AllocString),
      ROW(37, AllocSubscript),     ROW(39, AllocSymbolicEval),  ROW(40, AllocNumericEval),
      ROW(42, AllocVectorize),     ROW(43, AllocWhile),         ROW(44, AllocUnit),
      ROW(46, AllocGraphicsList),  ROW(47, AllocGraphicHandle), ROW(52, CopyMatrix),
      ROW(53, DeepCopyMatrix),     ROW(54, AllocRedef),         ROW(55, AllocUnitedValue),
      // The host's own operations only hold their places; the last of them closes the table.
      ROW(0, HostOperation0),      ROW(9, HostOperation9),      ROW(38, HostOperation38),
      ROW(45, HostOperation45),    ROW(51, HostOperation51),
  };
#undef ROW
  for (Row const& row : rows) EXPECT_EQ(row.slot, row.position) << row.name;
}

}  // namespace
