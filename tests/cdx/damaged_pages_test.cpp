#include <gtest/gtest.h>
TEST(Placeholder, Y) {}
