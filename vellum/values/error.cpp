#include <vellum/values/error.h>
#include <vellum/values/error_texts.h>

#include <cstdarg>
#include <string_view>

aError* aError::mk(IvlAllocator* allocator, aString const* message, int code, int position, Anyval* value) {
  aError* record = nullptr;
  allocator->AllocError(&record);
  record->tag = ValueTag::Error;
  record->code = code;
  record->position = position;
  record->message = const_cast<aString*>(message);
  record->value = value;
  return record;
}

Anyval* mkError(IvlAllocator* allocator, char const* text, int position) {
  return aError::mk(allocator, aString::mk(allocator, text), 0, position, nullptr);
}

Anyval* mkError(EfiCallContext* context, aString const* message, int position) {
  return aError::mk(context->allocator, message, 0, position, nullptr);
}

Anyval* mkError(EfiCallContext* context, char const* text, int position) {
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  if (position == 0 && text && is_digit(*text)) {
    // Unsigned accumulation: an absurdly long prefix wraps instead of overflowing.
    unsigned accumulated = 0;
    for (; is_digit(*text); ++text) accumulated = accumulated * 10u + static_cast<unsigned>(*text - '0');
    if (*text == '.') ++text;
    position = static_cast<int>(accumulated);
  }
  return mkError(context->allocator, text, position);
}

aError* patch_error(EfiCallContext* context, char const* text, Anyval const* value, int position) {
  switch (value->tag) {
    case ValueTag::Lambda:
    case ValueTag::Range:
    case ValueTag::Function:
      text = vellum::error_text::illegal_context;
      break;
    default:
      break;
  }
  IvlAllocator* allocator = context->allocator;
  return aError::mk(allocator, aString::mk(allocator, text), 0, position, nullptr);
}

int ErrorNode(int count, ...) {
  if (count < 1) return 0;
  std::va_list codes;
  va_start(codes, count);
  std::uint32_t packed = 0;
  for (int k = 0; k < count; ++k) {
    auto code = static_cast<std::uint32_t>(va_arg(codes, int));
    // Codes are not masked; a code beyond bit 31 falls off the 32-bit result.
    if (2 * k < 32) packed |= code << (2 * k);
  }
  va_end(codes);
  return static_cast<int>(packed);
}

namespace {
// The records are constants in read-only storage; their sizes come from the texts themselves.
constexpr aString static_message(char const* text) {
  return aString{{ValueTag::String}, text, static_cast<std::uint32_t>(std::string_view(text).size() + 1)};
}

constexpr aString kOutOfMemoryMessage = static_message(vellum::error_text::out_of_memory);
constexpr aString kInvalidMessage = static_message(vellum::error_text::invalid);
constexpr aString kInterruptedMessage = static_message(vellum::error_text::interrupted);

constexpr aError static_error(aString const& message) {
  return aError{{ValueTag::Error}, 0, 0, const_cast<aString*>(&message), nullptr};
}

constexpr aError kOutOfMemory = static_error(kOutOfMemoryMessage);
constexpr aError kInvalid = static_error(kInvalidMessage);
constexpr aError kInterrupted = static_error(kInterruptedMessage);
}  // namespace

constinit aError* const sError_OutOfMemory = const_cast<aError*>(&kOutOfMemory);
constinit aError* const sError_Invalid = const_cast<aError*>(&kInvalid);
constinit aError* const sError_Interrupted = const_cast<aError*>(&kInterrupted);
