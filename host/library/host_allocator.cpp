#include "host/library/host_allocator.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <sstream>

#include <vellum/values/error.h>
#include <vellum/values/matrix_cells.h>
#include <vellum/values/string.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/values/allocator_slots.h>

namespace vellum::host {

namespace {

// The count of a malformed record (vellum::cell_count) may be one no allocation can satisfy.
double* new_doubles(std::size_t count) {
  if (count > SIZE_MAX / sizeof(double)) throw std::bad_alloc();
  return static_cast<double*>(::operator new(count * sizeof(double)));
}

double* copy_doubles(double const* source, std::size_t count) {
  double* copy = new_doubles(count);
  if (count) std::memcpy(copy, source, count * sizeof(double));
  return copy;
}
}  // namespace

HostAllocator::HostAllocator() : calls_(kAllocatorSlots, 0) {}

HostAllocator::~HostAllocator() {
  if (report_on_destroy_) {
    std::string report = leak_report();
    if (!report.empty()) std::fprintf(stderr, "vellum host: left at exit:\n%s", report.c_str());
  }
  release_all();
  for (auto& [array, refs] : array_refs_) ::operator delete(array);
}

std::string HostAllocator::operation_name(int position) {
  switch (position) {
#define VELLUM_NAME_MAKE(position, name, Record) \
  case position:                                 \
    return #name;
#define VELLUM_NAME_CALL(position, name, params) \
  case position:                                 \
    return #name;
#define VELLUM_NAME_SLOT(position)
    VELLUM_ALLOCATOR_SLOTS(VELLUM_NAME_SLOT, VELLUM_NAME_MAKE, VELLUM_NAME_CALL)
#undef VELLUM_NAME_MAKE
#undef VELLUM_NAME_CALL
#undef VELLUM_NAME_SLOT
    default:
      return "HostOperation" + std::to_string(position);
  }
}

void HostAllocator::log_call(int position) {
  ++calls_.at(static_cast<std::size_t>(position));
  call_log_.push_back(position);
}

void HostAllocator::refuse_nth(std::size_t nth, Repeat repeat, Refusal how) noexcept {
  refuse_at_ = nth;
  repeat_ = repeat;
  how_ = how;
  asked_ = 0;
  refusals_ = 0;
  counting_ = true;
}

bool HostAllocator::refused(bool may_decline) {
  if (!counting_) return false;
  std::size_t n = ++asked_;
  if (refuse_at_ == 0 || n < refuse_at_ || (n > refuse_at_ && repeat_ == Repeat::Once)) return false;
  ++refusals_;
  if (how_ == Refusal::EndCall || !may_decline) throw std::bad_alloc();
  return true;
}

void HostAllocator::clear_calls() {
  std::fill(calls_.begin(), calls_.end(), 0);
  call_log_.clear();
}

void* HostAllocator::make_record(int position) {
  void* block = arena_.allocate(kRecordBytes);
  std::memset(block, kFillByte, kRecordBytes);
  records_.emplace(block, Record{position, kRecordBytes});
  return block;
}

void* HostAllocator::make_heap_record() {
  void* block = ::operator new(kRecordBytes);
  std::memset(block, kFillByte, kRecordBytes);
  return block;
}

// Operations the library never calls.
#define VELLUM_DEFINE_HOST_SLOT(position) \
  std::int32_t VELLUM_COM HostAllocator::HostOperation##position() { return kNotImplemented; }
// Plain record makers: a filled, tracked record, except the three kinds the library frees itself.
#define VELLUM_DEFINE_HOST_MAKE(position, name, Record)                                          \
  std::int32_t VELLUM_COM HostAllocator::name(Record** out) {                                    \
    log_call(position);                                                                          \
    if (refused()) return kOutOfMemory;                                                          \
    bool on_heap = position == slot::AllocGlobal || position == slot::AllocGlobalsDEQ ||        \
                   position == slot::AllocGlobalList;                                            \
    *out = reinterpret_cast<Record*>(on_heap ? make_heap_record() : make_record(position));      \
    return 0;                                                                                    \
  }
#define VELLUM_DEFINE_HOST_CALL(position, name, params)
VELLUM_ALLOCATOR_SLOTS(VELLUM_DEFINE_HOST_SLOT, VELLUM_DEFINE_HOST_MAKE, VELLUM_DEFINE_HOST_CALL)
#undef VELLUM_DEFINE_HOST_SLOT
#undef VELLUM_DEFINE_HOST_MAKE
#undef VELLUM_DEFINE_HOST_CALL

std::int32_t VELLUM_COM HostAllocator::AllocMatrix(aMatrix** out, double* real, double* imag, int rows,
                                                   int cols, unsigned size) {
  log_call(slot::AllocMatrix);
  last_matrix_request_ = {real, imag, rows, cols, size};
  // The arrays are the host's from here on, whether or not a record comes of the call.
  track_array(real);
  track_array(imag);
  try {
    if (!refused()) {
      *out = static_cast<aMatrix*>(make_record(slot::AllocMatrix));
      return 0;
    }
  } catch (...) {
    drop_array(real);
    drop_array(imag);
    throw;
  }
  drop_array(real);
  drop_array(imag);
  return kOutOfMemory;
}

aString* HostAllocator::copy_string(char const* text, int position) {
  auto* record = static_cast<aString*>(make_record(position));
  if (text) {
    std::size_t bytes = std::strlen(text) + 1;
    void* copy = arena_.allocate(bytes);
    std::memcpy(copy, text, bytes);
    Record& entry = records_.at(record);
    entry.text = copy;
    entry.text_bytes = bytes;
    record->text = static_cast<char const*>(copy);
    record->size = static_cast<std::uint32_t>(bytes);
  } else {
    record->text = nullptr;
    record->size = 0;
  }
  return record;
}

std::int32_t VELLUM_COM HostAllocator::AllocString(aString** out, char const* text) {
  log_call(slot::AllocString);
  if (refused()) return kOutOfMemory;
  *out = copy_string(text, slot::AllocString);
  return 0;
}

std::int32_t VELLUM_COM HostAllocator::AllocGraphicHandle(aGraphicHandle** out, int handle) {
  log_call(slot::AllocGraphicHandle);
  last_graphic_handle_ = handle;
  if (refused()) return kOutOfMemory;
  *out = reinterpret_cast<aGraphicHandle*>(make_record(slot::AllocGraphicHandle));
  return 0;
}

std::int32_t VELLUM_COM HostAllocator::CopyMatrix(aMatrix const* source, aMatrix** out, int flag) {
  log_call(slot::CopyMatrix);
  if (refused()) return kOutOfMemory;
  *out = copy_matrix(source, flag != 0, false);
  return 0;
}

std::int32_t VELLUM_COM HostAllocator::DeepCopyMatrix(aMatrix const* source, aMatrix** out, int flag) {
  log_call(slot::DeepCopyMatrix);
  if (refused()) return kOutOfMemory;
  *out = copy_matrix(source, flag != 0, true);
  return 0;
}

aMatrix* HostAllocator::copy_matrix(aMatrix const* source, bool compact, bool deep) {
  auto* copy = static_cast<aMatrix*>(make_record(deep ? slot::DeepCopyMatrix : slot::CopyMatrix));
  std::memcpy(copy, source, sizeof(aMatrix));
  // Until its own arrays are in, the copy holds none: should making them fail, releasing the
  // unfinished copy must not take the source's arrays with it.
  copy->real = nullptr;
  copy->imag = nullptr;
  std::size_t count = compact ? cell_count(source->rows, source->cols) : source->size / sizeof(double);
  double const* parts[2] = {source->real, source->imag};
  double** copies[2] = {&copy->real, &copy->imag};
  for (int p = 0; p < 2; ++p) {
    if (!parts[p]) continue;
    if (!compact) {
      *copies[p] = copy_doubles(parts[p], count);
    } else {
      *copies[p] = new_doubles(count);
      for (std::int32_t j = 0; j < source->cols && count; ++j)
        for (std::int32_t i = 0; i < source->rows; ++i)
          (*copies[p])[cell_index(source->rows, i, j)] = parts[p][cell_index(source->ld, i, j)];
    }
    track_array(*copies[p]);
  }
  if (compact) {
    copy->ld = source->rows;
    copy->size = static_cast<std::uint32_t>(count * sizeof(double));
  }
  if (deep && copy->real) {
    for (std::size_t k = 0; k < count; ++k)
      if (is_nested_cell(copy->real[k]))
        copy->real[k] = make_nested_cell(deep_copy_nested(nested_value(copy->real[k]), compact));
  }
  return copy;
}

Anyval* HostAllocator::deep_copy_nested(Anyval* value, bool compact) {
  if (!value) return value;
  switch (value->tag) {
    case ValueTag::Matrix:
      refused(false);
      return copy_matrix(static_cast<aMatrix*>(value), compact, true);
    case ValueTag::String: {
      refused(false);
      aString* copy = copy_string(static_cast<aString*>(value)->text, slot::DeepCopyMatrix);
      copy->tag = ValueTag::String;
      return copy;
    }
    default:
      return value;
  }
}

void HostAllocator::track_array(double* array) {
  if (array) ++array_refs_[array];
}

void HostAllocator::drop_array(double* array) {
  if (!array) return;
  auto it = array_refs_.find(array);
  if (it == array_refs_.end()) {
    // Made after the record was (the write rule grew an absent array): the record owned it.
    ::operator delete(array);
    return;
  }
  if (--it->second == 0) {
    ::operator delete(array);
    array_refs_.erase(it);
  }
}

void HostAllocator::keep(Anyval const* record) {
  auto it = records_.find(const_cast<Anyval*>(record));
  if (it == records_.end() || it->second.kept) return;
  it->second.kept = true;
  // What the record refers to is handed back with it.
  if (record->tag == ValueTag::Matrix) {
    auto const* m = static_cast<aMatrix const*>(record);
    if (!m->real) return;
    for (std::int32_t j = 0; j < m->cols; ++j)
      for (std::int32_t i = 0; i < m->rows; ++i)
        if (double cell = m->real[cell_index(m->ld, i, j)]; is_nested_cell(cell)) keep(nested_value(cell));
  } else if (record->tag == ValueTag::Error) {
    auto const* e = static_cast<aError const*>(record);
    keep(e->message);
    keep(e->value);
  }
}

void HostAllocator::release(Anyval* value) {
  auto it = records_.find(value);
  if (it == records_.end()) return;
  Record entry = it->second;
  records_.erase(it);
  if (value->tag == ValueTag::Matrix && (entry.position == slot::AllocMatrix || entry.position == slot::CopyMatrix ||
                                          entry.position == slot::DeepCopyMatrix)) {
    auto* m = static_cast<aMatrix*>(value);
    double* real = m->real;
    double* imag = m->imag;
    drop_array(real);
    drop_array(imag);
  }
  if (entry.text) arena_.free(entry.text, entry.text_bytes);
  arena_.free(value, entry.bytes);
}

void HostAllocator::release_all() {
  while (!records_.empty()) release(static_cast<Anyval*>(records_.begin()->first));
}

void HostAllocator::release_unkept() {
  Vector<Anyval*> garbage;
  for (auto const& [address, entry] : records_)
    if (!entry.kept) garbage.push_back(static_cast<Anyval*>(address));
  for (Anyval* record : garbage) release(record);
}

bool HostAllocator::kept_holds(double const* array) const {
  for (auto const& [address, entry] : records_) {
    if (!entry.kept) continue;
    auto const* m = static_cast<aMatrix const*>(address);
    if (m->tag == ValueTag::Matrix && (m->real == array || m->imag == array)) return true;
  }
  return false;
}

std::size_t HostAllocator::live_records() const {
  std::size_t live = 0;
  for (auto const& [address, entry] : records_) live += entry.kept ? 0 : 1;
  return live;
}

std::size_t HostAllocator::live_arrays() const {
  std::size_t live = 0;
  for (auto const& [array, refs] : array_refs_) live += kept_holds(array) ? 0 : 1;
  return live;
}

std::string HostAllocator::leak_report() const {
  std::ostringstream out;
  for (auto const& [address, entry] : records_) {
    if (entry.kept) continue;
    char const* tag = value_tag_name(static_cast<Anyval const*>(address)->tag);
    out << "record " << address << " from " << operation_name(entry.position) << " (tag "
        << (tag ? tag : "not written") << ") neither handed back nor released\n";
  }
  for (auto const& [array, refs] : array_refs_)
    if (!kept_holds(array)) out << "part array " << static_cast<void*>(array) << " not released\n";
  return out.str();
}

}  // namespace vellum::host
