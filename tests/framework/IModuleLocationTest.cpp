// Finding the loaded object behind an address, as a plug-in module finds itself.
#include "framework/IModuleLocation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
int LocalFunction() { return 7; }
}  // namespace

TEST(IModuleLocation, FindsTheObjectHoldingAnAddress) {
  IModuleLocation here;
  ASSERT_TRUE(LocateModule(reinterpret_cast<const void*>(&LocalFunction), &here));
  EXPECT_EQ(here.path, "") << "the executable itself has no path of its own";
  EXPECT_LT(reinterpret_cast<uintptr_t>(here.base), reinterpret_cast<uintptr_t>(&LocalFunction));
  EXPECT_EQ(std::memcmp(here.base, "\x7f" "ELF", 4), 0) << "the base is where the file starts";

  double (*tanhInLibm)(double) = &std::tanh;
  IModuleLocation library;
  ASSERT_TRUE(LocateModule(reinterpret_cast<const void*>(tanhInLibm), &library));
  EXPECT_NE(library.path.find("libm"), std::string::npos) << library.path;
  EXPECT_EQ(std::memcmp(library.base, "\x7f" "ELF", 4), 0);

  EXPECT_FALSE(LocateModule(reinterpret_cast<const void*>(16), &library));
}
