#include <vellum/values/string.h>

namespace {
template <class Record>
Record* make_text_record(IvlAllocator* allocator, char const* text, ValueTag tag) {
  aString* record = nullptr;
  allocator->AllocString(&record, text);
  record->tag = tag;
  return static_cast<Record*>(record);
}
}  // namespace

aString* aString::mk(IvlAllocator* allocator, char const* text) {
  return make_text_record<aString>(allocator, text, ValueTag::String);
}

aSymbolicExpression* aSymbolicExpression::mk(IvlAllocator* allocator, char const* text) {
  return make_text_record<aSymbolicExpression>(allocator, text, ValueTag::SymbolicExpression);
}
