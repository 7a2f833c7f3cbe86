#include "tests/support/wait.h"

#include <chrono>
#include <thread>

namespace plugkit::test {

namespace detail {

::testing::AssertionResult WaitedInVain(const std::string& what, uint32_t limitMs) {
  return ::testing::AssertionFailure() << "waited " << limitMs << " ms for " << what << ", in vain";
}

uint64_t SteadyMilliseconds() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

} // namespace detail

::testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& done, uint32_t limitMs) {
  const uint64_t start = detail::SteadyMilliseconds();
  while (!done()) {
    // The condition gets one last look after the limit: a thread that was
    // not scheduled for the whole wait still sees what happened meanwhile.
    if (detail::SteadyMilliseconds() - start >= limitMs)
      return done() ? ::testing::AssertionSuccess() : detail::WaitedInVain(what, limitMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return ::testing::AssertionSuccess();
}

} // namespace plugkit::test
