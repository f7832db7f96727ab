#include "framework/IParamDef.h"

#include <gtest/gtest.h>

TEST(IParamDef, Placeholder) { IParamDef p; EXPECT_EQ(p.Max(), 1.0); }
