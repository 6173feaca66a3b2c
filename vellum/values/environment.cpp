#include <vellum/values/environment.h>

#include <cstring>
#include <new>

#include <vellum/values/construct.h>

using vellum::allocate_record;
using vellum::make_record;

namespace {
// The identity numbers of globals: one process-wide counter, for use from one thread at a time.
std::int32_t g_last_identity = 0;

template <class Cell, class Item>
Cell* make_cell(IvlAllocator* allocator, Item* item, Cell* next) {
  auto* cell = allocate_record<Cell>(allocator, &IvlAllocator::AllocCons);
  cell->item = item;
  cell->next = next;
  return cell;
}

// Global, GlobalList and GlobalsDEQ records come from the process heap.
void release(void* record) { ::operator delete(record); }
}  // namespace

Cons* Cons::mk(IvlAllocator* allocator, Anyval* item, Cons* next) { return make_cell(allocator, item, next); }
Defns* Defns::mk(IvlAllocator* allocator, Defn* item, Defns* next) { return make_cell(allocator, item, next); }
GlobalListList* GlobalListList::mk(IvlAllocator* allocator, GlobalList* item, GlobalListList* next) {
  return make_cell(allocator, item, next);
}

Defn* Defn::mk(IvlAllocator* allocator, Anyval* first, Anyval* second) {
  auto* record = make_record<Defn>(allocator, &IvlAllocator::AllocDefn, ValueTag::Defn);
  record->first = first;
  record->reserved1 = 0;
  record->reserved2 = 0;
  record->second = second;
  return record;
}

namespace {
Global* fresh_global(IvlAllocator* allocator, Global::State state, Anyval* value) {
  auto* record = make_record<Global>(allocator, &IvlAllocator::AllocGlobal, ValueTag::Global);
  record->id = -1;
  std::memset(record->reserved1, 0, sizeof record->reserved1);
  record->state = state;
  record->value = value;
  std::memset(record->reserved2, 0, sizeof record->reserved2);
  return record;
}
}  // namespace

Global* Global::mk(IvlAllocator* allocator) { return fresh_global(allocator, kEmpty, nullptr); }
Global* Global::mk(IvlAllocator* allocator, Anyval* value) { return fresh_global(allocator, kHoldsValue, value); }
Global* Global::mk(IvlAllocator* allocator, Global const* original) {
  auto* record = allocate_record<Global>(allocator, &IvlAllocator::AllocGlobal);
  std::memcpy(static_cast<void*>(record), original, sizeof(Global));
  return record;
}

void Global::set_id_no(GlobalList*, GlobalList*) { id = ++g_last_identity; }
void Global::del(IvlAllocator*) { release(this); }

GlobalList* GlobalList::mk(IvlAllocator* allocator, GlobalList* previous, Global* global, GlobalList* next) {
  auto* record = make_record<GlobalList>(allocator, &IvlAllocator::AllocGlobalList, ValueTag::GlobalList);
  record->previous = previous;
  record->next = next;
  record->global = global;
  if (previous) previous->next = record;
  if (next) next->previous = record;
  global->set_id_no(previous, next);
  return record;
}
void GlobalList::del(IvlAllocator*) { release(this); }

GlobalsDEQ* GlobalsDEQ::mk(IvlAllocator* allocator) {
  auto* record = allocate_record<GlobalsDEQ>(allocator, &IvlAllocator::AllocGlobalsDEQ);
  record->first = nullptr;
  record->second = nullptr;
  return record;
}
void GlobalsDEQ::del(IvlAllocator*) { release(this); }

EfiFrame* EfiFrame::mk(IvlAllocator* allocator, Anyval** slots, EfiFrame* parent) {
  auto* record = allocate_record<EfiFrame>(allocator, &IvlAllocator::AllocEfiFrame);
  record->slots = slots;
  std::memset(record->reserved, 0, sizeof record->reserved);
  record->parent = parent;
  return record;
}

aFrame* aFrame::mk(IvlAllocator* allocator, Anyval** values, int count, aFrame* first, aFrame* second,
                   int first_integer, int second_integer) {
  auto* record = make_record<aFrame>(allocator, &IvlAllocator::AllocFrame, ValueTag::Frame);
  record->count = count;
  record->first_integer = first_integer;
  record->second_integer = second_integer;
  record->second = second;
  record->first = first;
  record->values = values;
  return record;
}
