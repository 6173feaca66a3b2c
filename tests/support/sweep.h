// The one out-of-memory sweep of the test programs, in the manner of a fault simulator: the
// call's 1st, 2nd, ... operator new allocation fails (once, and from then on) until the call
// completes without a failure. Given a reference host, the host also refuses its 1st, 2nd, ...
// record (once, and from then on), and at every such point operator new fails as well.
//
// After every step the sweep checks what holds for any call: a refusal that ends the call leaves
// it with std::bad_alloc at the first refusal; once the host has reclaimed what the call made
// (release_unkept) no record and no operator new block is left; and every record a completed call
// asks for was a point of refusal. What the call answered is for the caller's `check`, which
// also releases whatever a completed call made outside the host.
#pragma once

#include <functional>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/testing/fault_injection.h"
#include "host/library/host_allocator.h"

namespace vellum::test {

// One call under one setting, and what it met.
struct Step {
  std::size_t refuse_at = 0;  // the host refuses its nth record; 0: never
  std::size_t fail_at = 0;    // operator new fails its nth allocation; 0: never
  std::size_t refusals = 0;
  std::size_t failures = 0;
  std::size_t records_asked = 0;
  bool ended = false;  // std::bad_alloc left the call
  std::vector<faults::Event> journal;  // the blocks allocated and released, in order
  bool completed() const { return refusals == 0 && failures == 0; }
  // Blocks released in the reverse of the order they were allocated, and every one of them.
  bool unwound_in_reverse() const;
};

struct SweepOptions {
  host::HostAllocator* host = nullptr;  // null: operator new alone
  host::HostAllocator::Refusal how = host::HostAllocator::Refusal::EndCall;
  std::function<void()> prepare = nullptr;  // before every step, outside its counts
  std::size_t limit = 16;                   // a call that meets more faults never completes
};

// The points swept: host refusals alone, operator new failures alone, and both at once.
struct SweepPoints {
  std::size_t host = 0;
  std::size_t memory = 0;
  std::size_t combined = 0;
};

SweepPoints sweep(std::string const& name, std::function<void()> const& call,
                  std::function<void(Step const&)> const& check, SweepOptions const& options = {});

}  // namespace vellum::test
