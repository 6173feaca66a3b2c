// Identifiers (tag 10): a name and how it is bound.
#pragma once

#include <vellum/values/environment.h>
#include <vellum/values/string.h>

// A reference to a local definition, 16 bits, the host's own encoding.
struct sLocalDef {
  std::uint16_t bits;
};
static_assert(sizeof(sLocalDef) == 2);

struct aIdentifier : Anyval {
  enum Binding : std::int32_t { kLocal = 0, kGlobal = 1, kUnbound = 2 };

  std::int32_t integer;
  aString* name;
  std::int32_t binding;
  // A GlobalList for global bindings; for local ones only the low 16 bits (the sLocalDef) are
  // written; zero when unbound.
  union {
    GlobalList* global_list;
    std::uint16_t local_def;
  };
  Defn* defn;
  Defn* second_defn;

  // Unbound; offset 4 zero, or the integer.
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, aString const* name);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, aString const* name, int integer);
  // Global when the definition is there, else unbound (the list is dropped); the second
  // definition is kept either way.
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, aString const* name, GlobalList* list, Defn* defn,
                                    Defn* second_defn, int integer);
  // Always global, even with a null definition.
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, aString const* name, GlobalList* list, Defn* defn,
                                    int integer);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, aString const* name, sLocalDef local);
  // The same five with a text, of which one aString is made first.
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, char const* name);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, char const* name, int integer);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, char const* name, GlobalList* list, Defn* defn,
                                    Defn* second_defn, int integer);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, char const* name, GlobalList* list, Defn* defn,
                                    int integer);
  VELLUM_API static aIdentifier* mk(IvlAllocator* allocator, char const* name, sLocalDef local);
};
VELLUM_LAYOUT(aIdentifier, integer, 4);
VELLUM_LAYOUT(aIdentifier, name, 8);
VELLUM_LAYOUT(aIdentifier, binding, 12);
VELLUM_LAYOUT(aIdentifier, global_list, 16);
VELLUM_LAYOUT(aIdentifier, defn, 20);
VELLUM_LAYOUT(aIdentifier, second_defn, 24);
VELLUM_LAYOUT_SIZE(aIdentifier, 28);
