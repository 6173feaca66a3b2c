// The host's environment records: list cells, definitions, global definitions and their
// lists, and the frames of a pack call.
#pragma once

#include <vellum/values/allocator.h>

// The untagged list cell: item, then the next cell; a null pointer is the empty list.
struct Cons {
  Anyval* item;
  Cons* next;
  VELLUM_API static Cons* mk(IvlAllocator* allocator, Anyval* item, Cons* next);
};
VELLUM_LAYOUT(Cons, next, 4);
VELLUM_LAYOUT_SIZE(Cons, 8);

// A definition (tag 40).
struct Defn : Anyval {
  Anyval* first;
  std::uint32_t reserved1;  // 0
  std::uint32_t reserved2;  // 0
  Anyval* second;
  VELLUM_API static Defn* mk(IvlAllocator* allocator, Anyval* first, Anyval* second);
};
VELLUM_LAYOUT(Defn, first, 4);
VELLUM_LAYOUT(Defn, reserved1, 8);
VELLUM_LAYOUT(Defn, reserved2, 12);
VELLUM_LAYOUT(Defn, second, 16);

// The same cell as Cons, holding definitions.
struct Defns {
  Defn* item;
  Defns* next;
  VELLUM_API static Defns* mk(IvlAllocator* allocator, Defn* item, Defns* next);
};
static_assert(sizeof(Defns) == sizeof(Cons));

struct GlobalList;

// A global definition (tag 34), 80 bytes. Its identity number is -1 until a GlobalList node is
// made for it. Global, GlobalList and GlobalsDEQ records come from the process heap and are
// released with del (operator delete); the allocator given to del is not used.
struct Global : Anyval {
  enum State : std::int32_t { kHoldsValue = 1, kEmpty = 2 };

  std::int32_t id;
  std::uint32_t reserved1[6];  // 0
  std::int32_t state;
  Anyval* value;
  std::uint32_t reserved2[7];  // 0
  std::uint32_t host_words[3];  // the host's; left as allocated by the empty and value forms

  VELLUM_API static Global* mk(IvlAllocator* allocator);
  VELLUM_API static Global* mk(IvlAllocator* allocator, Global const* original);
  VELLUM_API static Global* mk(IvlAllocator* allocator, Anyval* value);
  // Takes the next number of the process-wide counter (the first global listed gets 1). The
  // two lists are not used.
  VELLUM_API void set_id_no(GlobalList* previous, GlobalList* next);
  VELLUM_API void del(IvlAllocator* unused);

 private:
  ~Global() = default;
};
VELLUM_LAYOUT(Global, id, 4);
VELLUM_LAYOUT(Global, reserved1, 8);
VELLUM_LAYOUT(Global, state, 32);
VELLUM_LAYOUT(Global, value, 36);
VELLUM_LAYOUT(Global, reserved2, 40);
VELLUM_LAYOUT(Global, host_words, 68);
VELLUM_LAYOUT_SIZE(Global, 80);

// A node of the doubly linked list of globals (tag 31).
struct GlobalList : Anyval {
  GlobalList* previous;
  GlobalList* next;
  Global* global;
  // Links the node between its neighbours and gives the global a fresh identity number.
  VELLUM_API static GlobalList* mk(IvlAllocator* allocator, GlobalList* previous, Global* global, GlobalList* next);
  VELLUM_API void del(IvlAllocator* unused);
};
VELLUM_LAYOUT(GlobalList, previous, 4);
VELLUM_LAYOUT(GlobalList, next, 8);
VELLUM_LAYOUT(GlobalList, global, 12);

// The same cell as Cons, holding GlobalList nodes.
struct GlobalListList {
  GlobalList* item;
  GlobalListList* next;
  VELLUM_API static GlobalListList* mk(IvlAllocator* allocator, GlobalList* item, GlobalListList* next);
};
static_assert(sizeof(GlobalListList) == sizeof(Cons));

// Untagged, two words, both zero when made.
struct GlobalsDEQ {
  void* first;
  void* second;
  VELLUM_API static GlobalsDEQ* mk(IvlAllocator* allocator);
  VELLUM_API void del(IvlAllocator* unused);
};
VELLUM_LAYOUT_SIZE(GlobalsDEQ, 8);

// The untagged frame of a pack call, 48 bytes: its slots, ten zero words, its parent.
struct EfiFrame {
  Anyval** slots;
  std::uint32_t reserved[10];  // 0
  EfiFrame* parent;
  VELLUM_API static EfiFrame* mk(IvlAllocator* allocator, Anyval** slots, EfiFrame* parent);
};
VELLUM_LAYOUT(EfiFrame, reserved, 4);
VELLUM_LAYOUT(EfiFrame, parent, 44);
VELLUM_LAYOUT_SIZE(EfiFrame, 48);

// A frame node (tag 15).
struct aFrame : Anyval {
  std::int32_t count;
  std::int32_t first_integer;
  std::int32_t second_integer;
  aFrame* second;
  aFrame* first;
  Anyval** values;
  VELLUM_API static aFrame* mk(IvlAllocator* allocator, Anyval** values, int count, aFrame* first, aFrame* second,
                               int first_integer, int second_integer);
};
VELLUM_LAYOUT(aFrame, count, 4);
VELLUM_LAYOUT(aFrame, first_integer, 8);
VELLUM_LAYOUT(aFrame, second_integer, 12);
VELLUM_LAYOUT(aFrame, second, 16);
VELLUM_LAYOUT(aFrame, first, 20);
VELLUM_LAYOUT(aFrame, values, 24);
