#include "util/Notifier.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace oxalis {
namespace {

TEST(Notifier, ListenersThatUnsubscribeDuringANotificationAreNotCalledAgain) {
  Notifier notifier;
  std::vector<int> calls;
  // A window that closes on a model change drops its own subscription and
  // the one of a window it owns, in the middle of the notification.
  std::optional<Subscription> first, second, third;
  first = notifier.subscribe([&] {
    calls.push_back(1);
    first.reset();
    third.reset();
  });
  second = notifier.subscribe([&] { calls.push_back(2); });
  third = notifier.subscribe([&] { calls.push_back(3); });

  notifier.notify();
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  calls.clear();
  notifier.notify();
  EXPECT_EQ(calls, (std::vector<int>{2}));
}

TEST(Notifier, ListenerSubscribedDuringANotificationHearsTheNextOne) {
  Notifier notifier;
  int late = 0;
  std::vector<Subscription> added;
  Subscription opener = notifier.subscribe([&] {
    if (added.empty()) added.push_back(notifier.subscribe([&] { ++late; }));
  });
  notifier.notify();
  EXPECT_EQ(late, 0);
  notifier.notify();
  EXPECT_EQ(late, 1);
}

TEST(Notifier, ListenerThatDestroysItsOwnerWhileRunningIsSafe) {
  Notifier notifier;
  struct Window {
    Subscription subscription;
    std::vector<int> data{1, 2, 3};
  };
  auto window = std::make_unique<Window>();
  int sum = 0;
  window->subscription = notifier.subscribe([&] {
    window.reset();  // the window closes, its subscription with it
    sum += 6;
  });
  notifier.notify();
  EXPECT_EQ(sum, 6);
  notifier.notify();  // nothing left to call
  EXPECT_EQ(sum, 6);
}

}  // namespace
}  // namespace oxalis
