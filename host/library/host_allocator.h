// The reference host's allocator: every IvlAllocator operation the library calls, with the
// bookkeeping that tests need to see what the library did.
//
// - Records lie below 4 GiB (LowArena), so any of them can stand in a nested cell.
// - Every fresh record is filled with kFillByte, so a field a constructor leaves "as allocated"
//   reads as 0xA5A5A5A5.
// - Calls are counted per position and logged in order.
// - Every record and every matrix part array the host receives is tracked until the host is
//   told the record was handed back to it (keep) or that it is done with it (release).
//   leak_report() lists what is left; the destructor prints it when it is not empty, then frees
//   everything.
//
// Ownership rules of this host: a matrix record owns its part arrays (from operator new) and
// releasing it deletes them; nested records are records of their own. Global, GlobalList and
// GlobalsDEQ come from operator new, because the library releases them with operator delete;
// the host does not track them.
//
// The copies (positions 52 and 53):
// - CopyMatrix makes a new record with the source's shape and fields and new part arrays; a
//   part array that is absent in the source stays absent. Nested cells are copied as they are,
//   so the copy shares the nested records. Flag 1 makes the copy compact (leading dimension =
//   rows, size = rows * cols * 8); flag 0 keeps the source's leading dimension and size and
//   copies the arrays byte for byte.
// - DeepCopyMatrix does the same and then replaces every nested matrix by its deep copy (with
//   the same flag) and every nested string by a new string record; other nested records are
//   shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <vellum/values/allocator.h>
#include <vellum/values/allocator_slots.h>
#include <vellum/values/matrix.h>

#include "host/library/low_memory.h"
#include "host/library/untracked_allocator.h"

namespace vellum::host {

class HostAllocator final : public IvlAllocator {
 public:
  static constexpr unsigned char kFillByte = 0xA5;
  static constexpr std::uint32_t kFillWord = 0xA5A5A5A5u;
  // Room for the largest record of either data model.
  static constexpr std::size_t kRecordBytes = 128;
  static constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001u);

  HostAllocator();
  ~HostAllocator();
  HostAllocator(HostAllocator const&) = delete;
  HostAllocator& operator=(HostAllocator const&) = delete;

#define VELLUM_HOST_SLOT(position) std::int32_t VELLUM_COM HostOperation##position() override;
#define VELLUM_HOST_MAKE(position, name, Record) std::int32_t VELLUM_COM name(Record** out) override;
#define VELLUM_HOST_CALL(position, name, params) std::int32_t VELLUM_COM name params override;
  VELLUM_ALLOCATOR_SLOTS(VELLUM_HOST_SLOT, VELLUM_HOST_MAKE, VELLUM_HOST_CALL)
#undef VELLUM_HOST_SLOT
#undef VELLUM_HOST_MAKE
#undef VELLUM_HOST_CALL

  // The call context this host hands to a pack call.
  EfiCallContext* context() noexcept { return &context_; }

  // The record was handed back to the host (a pack's result): it, and the records it refers to
  // (nested cells, an error's message and value), are no longer leaks.
  void keep(Anyval const* record);
  // The host is done with the record: it and (for a matrix) its part arrays are freed.
  void release(Anyval* record);
  // Releases every tracked record.
  void release_all();
  // Releases every record neither kept nor released: what a call that ended by throwing made.
  void release_unkept();

  // Calls of the operation at `position` so far, and every call's position in order.
  std::size_t calls(int position) const { return calls_.at(static_cast<std::size_t>(position)); }
  std::vector<int, UntrackedAllocator<int>> const& call_log() const noexcept { return call_log_; }
  void clear_calls();

  bool is_record(void const* address) const { return records_.count(const_cast<void*>(address)) != 0; }
  std::size_t live_records() const;  // neither kept nor released
  std::size_t live_arrays() const;   // received, not freed, and not held by a kept record
  // One line per record and array left; empty when nothing is.
  std::string leak_report() const;
  void set_report_on_destroy(bool on) noexcept { report_on_destroy_ = on; }

  // The arguments of the latest AllocMatrix call.
  struct MatrixRequest {
    double* real = nullptr;
    double* imag = nullptr;
    int rows = 0;
    int cols = 0;
    unsigned size = 0;
  };
  MatrixRequest const& last_matrix_request() const noexcept { return last_matrix_request_; }

  // The handle of the latest AllocGraphicHandle call.
  int last_graphic_handle() const noexcept { return last_graphic_handle_; }

  static constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);

  // Refusal by count, for out-of-memory sweeps. From now on the host counts the records it is
  // asked for - one per allocator call, and one more per nested matrix or string a deep copy
  // copies - and refuses the nth of them (Once), or the nth and every later one (Persistent).
  // nth 0 only counts.
  //   EndCall   the refusal ends the pack's call: std::bad_alloc leaves the operation, as when
  //             the host's arena runs out. This is how this host runs out of records.
  //   NoRecord  the operation returns kOutOfMemory and leaves the result location as it was.
  //             Only aComponent::mk is written to survive that. A nested record of a deep copy
  //             cannot be left out, so there the refusal ends the call either way.
  // The part arrays handed over with AllocMatrix are the host's from that call on, and a refused
  // AllocMatrix frees them.
  enum class Repeat { Once, Persistent };
  enum class Refusal { EndCall, NoRecord };
  void refuse_nth(std::size_t nth, Repeat repeat, Refusal how = Refusal::EndCall) noexcept;
  void stop_refusing() noexcept { counting_ = false; }
  std::size_t records_asked() const noexcept { return asked_; }  // since refuse_nth, refusals included
  std::size_t refusals() const noexcept { return refusals_; }

  // The name of the operation at a position ("AllocMatrix"), or "HostOperationN".
  static std::string operation_name(int position);

 private:
  struct Record {
    int position;
    std::size_t bytes;
    bool kept = false;
    void* text = nullptr;  // a string record's copy of its text
    std::size_t text_bytes = 0;
  };

  void log_call(int position);
  // Whether the request for a record is refused without one; throws std::bad_alloc when the
  // refusal ends the call (always so when `may_decline` is false).
  bool refused(bool may_decline = true);
  void* make_record(int position);
  void* make_heap_record();
  aMatrix* copy_matrix(aMatrix const* source, bool compact, bool deep);
  Anyval* deep_copy_nested(Anyval* value, bool compact);
  aString* copy_string(char const* text, int position);
  void track_array(double* array);
  void drop_array(double* array);
  bool kept_holds(double const* array) const;

  EfiCallContext context_{this};
  LowArena arena_;
  template <class K, class V>
  using Map = std::map<K, V, std::less<K>, UntrackedAllocator<std::pair<K const, V>>>;
  template <class T>
  using Vector = std::vector<T, UntrackedAllocator<T>>;

  Map<void*, Record> records_;
  Map<double*, int> array_refs_;  // arrays received and how many records hold each
  Vector<std::size_t> calls_;
  Vector<int> call_log_;
  MatrixRequest last_matrix_request_;
  int last_graphic_handle_ = 0;
  bool counting_ = false;
  std::size_t refuse_at_ = 0;
  Repeat repeat_ = Repeat::Once;
  Refusal how_ = Refusal::EndCall;
  std::size_t asked_ = 0;
  std::size_t refusals_ = 0;
  bool report_on_destroy_ = true;
};

}  // namespace vellum::host

#undef VELLUM_ALLOCATOR_SLOTS
