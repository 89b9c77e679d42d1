#include "navigation/uNavSteps.h"
#include <gtest/gtest.h>
TEST(NavMan, Placeholder) { EXPECT_EQ(navsteps::ClampSeek(5, 0, 100, 10), 5); }
