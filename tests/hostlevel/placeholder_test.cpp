#include <gtest/gtest.h>
#include "tests/support/HostHarness.h"
TEST(Placeholder, Loads) { LoadedPlugin p; EXPECT_TRUE(p.loaded()); }
