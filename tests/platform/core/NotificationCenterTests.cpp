#include "platform/core/NotificationCenter.h"

#include <gtest/gtest.h>

using pf::Notification;
using pf::NotificationCenter;

TEST(NotificationCenter, FiltersByObjectIdentityAndKeepsOrder) {
  NotificationCenter center;
  int a = 0, b = 0;
  QStringList calls;
  auto any = center.addObserver("Changed", nullptr, [&](const Notification&) { calls << "any"; });
  auto onlyA = center.addObserver("Changed", &a, [&](const Notification& n) {
    EXPECT_EQ(n.object, &a);
    calls << "a";
  });
  center.post("Changed", &b);
  center.post("Changed", &a);
  center.post("Other", &a);
  EXPECT_EQ(calls, (QStringList{"any", "any", "a"}));
}

TEST(NotificationCenter, ObserverRemovedDuringDeliveryIsNotCalled) {
  NotificationCenter center;
  pf::ObserverToken second;
  int secondCalls = 0;
  auto first = center.addObserver("N", nullptr, [&](const Notification&) { second.reset(); });
  second = center.addObserver("N", nullptr, [&](const Notification&) { ++secondCalls; });
  center.post("N");
  EXPECT_EQ(secondCalls, 0);
  EXPECT_EQ(center.observerCount(), 1u);
}

TEST(NotificationCenter, TokenRemovesItsObserverWhenDestroyed) {
  NotificationCenter center;
  int calls = 0;
  {
    auto token = center.addObserver("N", nullptr, [&](const Notification&) { ++calls; });
    center.post("N");
  }
  center.post("N");
  EXPECT_EQ(calls, 1);
}
