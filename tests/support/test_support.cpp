#include "tests/support/test_support.h"

namespace vellum::test {

aComplex complex_record(double real, double imag) { return aComplex{{ValueTag::Complex}, 0, real, imag}; }

namespace {
// GoogleTest keeps the storage of its trace stack once it has grown. Growing it before the
// first test keeps SCOPED_TRACE out of the operator new balance that HostTest checks.
class PrimeTraceStack : public ::testing::Environment {
 public:
  void SetUp() override {
    SCOPED_TRACE("outer");
    SCOPED_TRACE("inner");
  }
};
[[maybe_unused]] ::testing::Environment* const g_prime = ::testing::AddGlobalTestEnvironment(new PrimeTraceStack);
}  // namespace

}  // namespace vellum::test
