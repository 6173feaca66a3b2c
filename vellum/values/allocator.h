// The host's allocator interface, the call context that carries it, and Replacer.
#pragma once

#include <vellum/values/anyval.h>

// Every record kind the allocator makes. Their layouts are in the headers of this folder.
struct aApply;
struct aBreak;
struct aComplex;
struct aComponent;
struct ceComputeRequest;
struct Cons;
struct aContinue;
struct Defn;
struct EfiFrame;
struct aError;
struct aEvalLiteral;
struct aFor;
struct aFrame;
struct aFunction;
struct Global;
struct GlobalsDEQ;
struct GlobalList;
struct aIdentifier;
struct aIfBlock;
struct aLambda;
struct aLet;
struct aList;
struct aLocalAssign;
struct aMatrix;
struct aOnError;
struct aPair;
struct aRange;
struct aReturn;
struct aSequence;
struct aString;
struct aSubscript;
struct aSymbolicEval;
struct aNumericEval;
struct aVectorize;
struct aWhile;
struct aUnit;
struct aGraphicsList;
struct aGraphicHandle;
struct aRedef;
struct aUnitedValue;

// The operation table of IvlAllocator in slot order, one row per position:
//   HOST(position)               an operation of the host's that the library never calls;
//   MAKE(position, name, Record) makes one record and stores its address through `out`;
//   CALL(position, name, params) any other operation, with its parameter list.
// Generating the interface from this table keeps every operation in its COM slot.
#define VELLUM_ALLOCATOR_SLOTS(HOST, MAKE, CALL)                                                 \
  HOST(0) HOST(1) HOST(2) HOST(3) HOST(4) HOST(5)                                                \
  MAKE(6, AllocApply, aApply)                                                                    \
  MAKE(7, AllocBreak, aBreak)                                                                    \
  MAKE(8, AllocComplex, aComplex)                                                                \
  HOST(9)                                                                                        \
  MAKE(10, AllocComponent, aComponent)                                                           \
  MAKE(11, AllocComputeRequest, ceComputeRequest)                                                \
  MAKE(12, AllocCons, Cons)                                                                      \
  MAKE(13, AllocContinue, aContinue)                                                             \
  MAKE(14, AllocDefn, Defn)                                                                      \
  MAKE(15, AllocEfiFrame, EfiFrame)                                                              \
  MAKE(16, AllocError, aError)                                                                   \
  MAKE(17, AllocEvalLiteral, aEvalLiteral)                                                       \
  MAKE(18, AllocFor, aFor)                                                                       \
  MAKE(19, AllocFrame, aFrame)                                                                   \
  MAKE(20, AllocFunction, aFunction)                                                             \
  MAKE(21, AllocGlobal, Global)                                                                  \
  MAKE(22, AllocGlobalsDEQ, GlobalsDEQ)                                                          \
  MAKE(23, AllocGlobalList, GlobalList)                                                          \
  MAKE(24, AllocIdentifier, aIdentifier)                                                         \
  MAKE(25, AllocIfBlock, aIfBlock)                                                               \
  MAKE(26, AllocLambda, aLambda)                                                                 \
  MAKE(27, AllocLet, aLet)                                                                       \
  MAKE(28, AllocList, aList)                                                                     \
  MAKE(29, AllocLocalAssign, aLocalAssign)                                                       \
  CALL(30, AllocMatrix, (aMatrix** out, double* real, double* imag, int rows, int cols, unsigned size)) \
  MAKE(31, AllocOnError, aOnError)                                                               \
  MAKE(32, AllocPair, aPair)                                                                     \
  MAKE(33, AllocRange, aRange)                                                                   \
  MAKE(34, AllocReturn, aReturn)                                                                 \
  MAKE(35, AllocSequence, aSequence)                                                             \
  CALL(36, AllocString, (aString** out, char const* text))                                       \
  MAKE(37, AllocSubscript, aSubscript)                                                           \
  HOST(38)                                                                                       \
  MAKE(39, AllocSymbolicEval, aSymbolicEval)                                                     \
  MAKE(40, AllocNumericEval, aNumericEval)                                                       \
  HOST(41)                                                                                       \
  MAKE(42, AllocVectorize, aVectorize)                                                           \
  MAKE(43, AllocWhile, aWhile)                                                                   \
  MAKE(44, AllocUnit, aUnit)                                                                     \
  HOST(45)                                                                                       \
  MAKE(46, AllocGraphicsList, aGraphicsList)                                                     \
  CALL(47, AllocGraphicHandle, (aGraphicHandle** out, int handle))                               \
  HOST(48) HOST(49) HOST(50) HOST(51)                                                            \
  CALL(52, CopyMatrix, (aMatrix const* source, aMatrix** out, int flag))                         \
  CALL(53, DeepCopyMatrix, (aMatrix const* source, aMatrix** out, int flag))                     \
  MAKE(54, AllocRedef, aRedef)                                                                   \
  MAKE(55, AllocUnitedValue, aUnitedValue)

inline constexpr int kAllocatorSlots = 56;

// The position of every operation by its name (vellum::slot::AllocMatrix is 30), and the check
// that the table holds every position once, in order.
namespace vellum::slot {
#define VELLUM_NAME_POSITION(position, name, ...) inline constexpr int name = position;
#define VELLUM_IGNORE_POSITION(position)
VELLUM_ALLOCATOR_SLOTS(VELLUM_IGNORE_POSITION, VELLUM_NAME_POSITION, VELLUM_NAME_POSITION)
#undef VELLUM_NAME_POSITION
#undef VELLUM_IGNORE_POSITION

#define VELLUM_LIST_POSITION(position, ...) position,
inline constexpr int kPositions[] = {
    VELLUM_ALLOCATOR_SLOTS(VELLUM_LIST_POSITION, VELLUM_LIST_POSITION, VELLUM_LIST_POSITION)};
#undef VELLUM_LIST_POSITION
consteval bool every_position_in_order() {
  int expected = 0;
  for (int position : kPositions)
    if (position != expected++) return false;
  return expected == kAllocatorSlots;
}
static_assert(every_position_in_order(), "the slot table must hold positions 0 to kAllocatorSlots - 1 in order");
}  // namespace vellum::slot

// The host's allocator: pure virtual operations only, in slot order, each returning a 32-bit
// status that the library never examines. A MAKE operation stores the new record's address
// through `out`; the library's constructor then writes the tag and the fields. The host keeps
// ownership of the interface, so it has no virtual destructor.
struct IvlAllocator {
#define VELLUM_DECLARE_HOST_SLOT(position) virtual std::int32_t VELLUM_COM HostOperation##position() = 0;
#define VELLUM_DECLARE_MAKE_SLOT(position, name, Record) \
  virtual std::int32_t VELLUM_COM name(Record** out) = 0;
#define VELLUM_DECLARE_CALL_SLOT(position, name, params) virtual std::int32_t VELLUM_COM name params = 0;
  VELLUM_ALLOCATOR_SLOTS(VELLUM_DECLARE_HOST_SLOT, VELLUM_DECLARE_MAKE_SLOT, VELLUM_DECLARE_CALL_SLOT)
#undef VELLUM_DECLARE_HOST_SLOT
#undef VELLUM_DECLARE_MAKE_SLOT
#undef VELLUM_DECLARE_CALL_SLOT

 protected:
  ~IvlAllocator() = default;
};

// The record the host hands to each call of a pack's function. The library reads only the
// allocator in its first field and never writes the record; the host's own fields follow.
struct EfiCallContext {
  IvlAllocator* allocator;
};
VELLUM_LAYOUT(EfiCallContext, allocator, 0);

// Holds the allocator it was made with; assignment copies that one field. The library itself
// makes no use of it: it is there for packs, as part of the interface they program against.
class Replacer {
 public:
  explicit Replacer(IvlAllocator* allocator) noexcept : allocator_(allocator) {}
  Replacer& operator=(Replacer const& other) noexcept {
    allocator_ = other.allocator_;
    return *this;
  }
  Replacer(Replacer const&) = default;
  IvlAllocator* allocator() const noexcept { return allocator_; }

 private:
  IvlAllocator* allocator_;
};
