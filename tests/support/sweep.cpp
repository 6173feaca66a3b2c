#include "tests/support/sweep.h"

#include <algorithm>

namespace vellum::test {

using Host = host::HostAllocator;

bool Step::unwound_in_reverse() const {
  std::vector<void const*> live;
  for (faults::Event const& e : journal) {
    if (e.allocated) {
      live.push_back(e.block);
    } else if (live.empty() || live.back() != e.block) {
      return false;
    } else {
      live.pop_back();
    }
  }
  return live.empty();
}

namespace {

Step run(std::function<void()> const& call, SweepOptions const& o, std::size_t h, Host::Repeat repeat,
         std::size_t n, faults::Mode mode) {
  if (o.prepare) o.prepare();
  Step step;
  step.refuse_at = h;
  step.fail_at = n;
  if (o.host) {
    o.host->clear_calls();
    o.host->refuse_nth(h, repeat, o.how);
  }
  faults::arm(n, mode);
  try {
    call();
  } catch (std::bad_alloc const&) {
    step.ended = true;
  }
  step.failures = faults::failures_since_arm();
  faults::disarm();
  auto journal = faults::journal();
  step.journal.assign(journal.begin(), journal.end());
  if (o.host) {
    step.refusals = o.host->refusals();
    step.records_asked = o.host->records_asked();
    o.host->stop_refusing();
  }
  if (step.refusals > 0 && o.how == Host::Refusal::EndCall) {
    EXPECT_TRUE(step.ended) << "a refusal ends the call";
    EXPECT_EQ(step.refusals, 1u) << "at the first refusal";
  }
  return step;
}

}  // namespace

SweepPoints sweep(std::string const& name, std::function<void()> const& call,
                  std::function<void(Step const&)> const& check, SweepOptions const& o) {
  SweepPoints points;
  auto step_at = [&](std::size_t h, Host::Repeat repeat, std::size_t n, faults::Mode mode) {
    SCOPED_TRACE(testing::Message() << name << ": host refuses from record " << h
                                    << (repeat == Host::Repeat::Once ? " (once)" : " (persistent)")
                                    << ", operator new fails from " << n
                                    << (mode == faults::Mode::Once ? " (once)" : " (persistent)"));
    std::int64_t const live = faults::live_blocks();  // before `prepare`, whose arrays the call takes
    Step step = run(call, o, h, repeat, n, mode);
    check(step);
    std::vector<faults::Event>().swap(step.journal);
    if (o.host) {
      o.host->release_unkept();
      EXPECT_EQ(o.host->leak_report(), "");
    }
    EXPECT_EQ(faults::live_blocks(), live) << "operator new blocks left";
    return step;
  };
  std::size_t const hosts = o.host ? o.limit : 0;
  std::vector<Host::Repeat> repeats{Host::Repeat::Once};
  if (o.host) repeats.push_back(Host::Repeat::Persistent);
  std::size_t asked = 0;
  for (Host::Repeat repeat : repeats)
    for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
      std::size_t refusing = 0;
      // Without a refusal the host's repeat makes no difference: swept once.
      for (std::size_t h = repeat == Host::Repeat::Once ? 0 : 1; h <= hosts; ++h) {
        bool past_last_record = false;
        for (std::size_t n = 0;; ++n) {
          if (n > o.limit) {
            ADD_FAILURE() << name << ": never completed";
            return points;
          }
          Step step = step_at(h, repeat, n, mode);
          if (n == 0) {
            if (h == 0) asked = step.records_asked;
            past_last_record = h > 0 && step.refusals == 0;
            if (past_last_record) break;
            if (h > 0) ++refusing;
          } else if (step.failures == 0) {
            break;  // past the call's last allocation
          } else {
            ++(h == 0 ? points.memory : points.combined);
          }
        }
        if (past_last_record || !o.host) break;
        if (h == hosts) ADD_FAILURE() << name << ": never completed";
      }
      EXPECT_EQ(refusing, asked) << name << ": every record a call asks for is a point of refusal";
      points.host += refusing;
    }
  return points;
}

}  // namespace vellum::test
