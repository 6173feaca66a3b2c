// The family of host value records: a 32-bit tag at offset 0, then the record's own words.
#pragma once

#include <vellum/library/api.h>
#include <vellum/values/value_tags_table.h>


enum class ValueTag : std::int32_t {
#define VELLUM_TAG_ENUMERATOR(number, name) name = number,
  VELLUM_VALUE_TAGS(VELLUM_TAG_ENUMERATOR)
#undef VELLUM_TAG_ENUMERATOR
};

// Any host value. A receiver looks at the tag to know the rest of the layout; every record
// type of the library derives from Anyval, so a record pointer converts to Anyval* implicitly.
struct Anyval {
  ValueTag tag;
};
VELLUM_LAYOUT_SIZE(Anyval, 4);

// The name of a tag ("Matrix"), or null for a number that names no record kind.
constexpr char const* value_tag_name(ValueTag tag) {
  switch (tag) {
#define VELLUM_TAG_NAME(number, name) \
  case ValueTag::name:                \
    return #name;
    VELLUM_VALUE_TAGS(VELLUM_TAG_NAME)
#undef VELLUM_TAG_NAME
  }
  return nullptr;
}

#undef VELLUM_VALUE_TAGS
