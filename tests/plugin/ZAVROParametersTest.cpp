#include "plugin/ZAVRO.h"

#include <gtest/gtest.h>

TEST(ZAVROParameters, Placeholder) { ZAVRO z{IPlugInstanceInfo{}}; EXPECT_EQ(z.NParams(), 27); }
