// The host's allocator interface, the call context that carries it, and Replacer.
#pragma once

#include <vellum/values/allocator_slots.h>
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

#undef VELLUM_ALLOCATOR_SLOTS
