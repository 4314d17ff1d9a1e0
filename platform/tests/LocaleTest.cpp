// Tests of reading the user's numeric conventions.
#include "platform/os/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using tarncore::platform::os::NumericConventions;
using tarncore::platform::os::QueryUserNumericConventions;

TEST(NumericConventions, ReadFromTheUsersNumericLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    NumericConventions answer;
    EXPECT_TRUE(QueryUserNumericConventions(answer));
    EXPECT_EQ(answer.decimalPoint, U'.');
    EXPECT_EQ(answer.thousandsSeparator, 0u);
    EXPECT_EQ(answer.grouping, "");
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_FALSE(QueryUserNumericConventions(answer));
    if (saved != nullptr)
        setenv("LC_ALL", restore.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
