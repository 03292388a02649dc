#include <gtest/gtest.h>
TEST(VelmioForm, Placeholder) {}
