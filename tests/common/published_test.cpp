#include "common/published.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace pylonix {
namespace {

TEST(PublishedTest, EveryAssignmentNotifiesEvenWhenUnchanged) {
    Published<int> field(3);
    std::vector<int> seen;
    const Subscription subscription =
        field.observe([&](const int& value) { seen.push_back(value); });
    field.set(3);
    field.set(4);
    EXPECT_EQ(seen, (std::vector<int>{3, 4}));
    EXPECT_EQ(field.get(), 4);
}

TEST(PublishedTest, EndedSubscriptionHearsNothingAndMayOutliveTheField) {
    std::vector<int> seen;
    Subscription outliving;
    {
        Published<int> field;
        Subscription subscription = field.observe([&](const int& value) { seen.push_back(value); });
        outliving = field.observe([&](const int& value) { seen.push_back(100 + value); });
        field.set(1);
        subscription.reset();
        field.set(2);
    }
    outliving.reset();  // the field is gone; ending the observation must still be safe
    EXPECT_EQ(seen, (std::vector<int>{1, 101, 102}));
}

TEST(PublishedTest, ObserverMayEndAnotherObservationDuringNotification) {
    Published<int> field;
    std::vector<int> seen;
    std::optional<Subscription> second;
    const Subscription first = field.observe([&](const int&) { second.reset(); });
    second = field.observe([&](const int& value) { seen.push_back(value); });
    field.set(1);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(field.observerCount(), 1U);
}

}  // namespace
}  // namespace pylonix
