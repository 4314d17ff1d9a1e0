// Tests of the millisecond tick count and the local date and time text.
#include "platform/os/Clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

using tarncore::platform::os::LocalDateTimeText;
using tarncore::platform::os::TickCountMilliseconds;

TEST(Clock, TicksMoveForwardAndTheDateTextIsTheCConversion) {
    const std::uint32_t first = TickCountMilliseconds();
    const std::uint32_t second = TickCountMilliseconds();
    EXPECT_LT(static_cast<std::uint32_t>(second - first), 60000u);  // never backwards

    // In the C locale "%c" reads like "Tue Mar  4 09:05:06 2025": 24 characters ending
    // in the year.
    const std::string text = LocalDateTimeText();
    ASSERT_EQ(text.size(), 24u) << text;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    const std::string shown = text.substr(20);
    EXPECT_TRUE(shown == std::to_string(year) || shown == std::to_string(year - 1)) << text;
}
