#include <vellum/values/identifier.h>

#include <vellum/values/construct.h>

namespace {
aIdentifier* make_identifier(IvlAllocator* allocator, aString const* name, std::int32_t integer,
                             aIdentifier::Binding binding) {
  auto* record = vellum::make_record<aIdentifier>(allocator, &IvlAllocator::AllocIdentifier, ValueTag::Identifier);
  record->integer = integer;
  record->name = const_cast<aString*>(name);
  record->binding = binding;
  return record;
}

aIdentifier* unbound(IvlAllocator* allocator, aString const* name, int integer) {
  aIdentifier* record = make_identifier(allocator, name, integer, aIdentifier::kUnbound);
  record->global_list = nullptr;
  record->defn = nullptr;
  record->second_defn = nullptr;
  return record;
}
}  // namespace

aIdentifier* aIdentifier::mk(IvlAllocator* allocator, aString const* name) { return unbound(allocator, name, 0); }

aIdentifier* aIdentifier::mk(IvlAllocator* allocator, aString const* name, int integer) {
  return unbound(allocator, name, integer);
}

aIdentifier* aIdentifier::mk(IvlAllocator* allocator, aString const* name, GlobalList* list, Defn* defn,
                             Defn* second_defn, int integer) {
  bool bound = defn != nullptr;
  aIdentifier* record = make_identifier(allocator, name, integer, bound ? kGlobal : kUnbound);
  record->global_list = bound ? list : nullptr;
  record->defn = defn;
  record->second_defn = second_defn;
  return record;
}

aIdentifier* aIdentifier::mk(IvlAllocator* allocator, aString const* name, GlobalList* list, Defn* defn,
                             int integer) {
  aIdentifier* record = make_identifier(allocator, name, integer, kGlobal);
  record->global_list = list;
  record->defn = defn;
  record->second_defn = nullptr;
  return record;
}

aIdentifier* aIdentifier::mk(IvlAllocator* allocator, aString const* name, sLocalDef local) {
  aIdentifier* record = make_identifier(allocator, name, 0, kLocal);
  record->local_def = local.bits;  // the rest of the word stays as allocated
  record->defn = nullptr;
  record->second_defn = nullptr;
  return record;
}

// The text forms make one string of the text, then behave as the string forms.
aIdentifier* aIdentifier::mk(IvlAllocator* allocator, char const* name) {
  return mk(allocator, static_cast<aString const*>(aString::mk(allocator, name)));
}
aIdentifier* aIdentifier::mk(IvlAllocator* allocator, char const* name, int integer) {
  return mk(allocator, static_cast<aString const*>(aString::mk(allocator, name)), integer);
}
aIdentifier* aIdentifier::mk(IvlAllocator* allocator, char const* name, GlobalList* list, Defn* defn,
                             Defn* second_defn, int integer) {
  return mk(allocator, static_cast<aString const*>(aString::mk(allocator, name)), list, defn, second_defn, integer);
}
aIdentifier* aIdentifier::mk(IvlAllocator* allocator, char const* name, GlobalList* list, Defn* defn, int integer) {
  return mk(allocator, static_cast<aString const*>(aString::mk(allocator, name)), list, defn, integer);
}
aIdentifier* aIdentifier::mk(IvlAllocator* allocator, char const* name, sLocalDef local) {
  return mk(allocator, static_cast<aString const*>(aString::mk(allocator, name)), local);
}
