// The walk from host buffers to the channels, for what a binding with buses
// hands it: flat pointer arrays of any length, pieces at an offset, calls of no
// frames. (The VST 2.4 binding's suite covers conversion, accumulation, missing
// buffers and piecing at the block size.)
#include "framework/IChannelWalk.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/support/IPlugTest.h"

namespace {
// Copies its inputs to its outputs (the base's default) and counts its blocks.
class Plug : public IPlugTest {
public:
  // No parameters, the given channel pairs.
  explicit Plug(const char* channelIO = "2-2") : IPlugTest(IPlugInstanceInfo{}, IPlugConfig{0, channelIO}) {}
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override {
    blocks.push_back(nFrames);
    IPlugBase::ProcessBlock(inputs, outputs, nFrames);
  }
  std::vector<int> blocks;
};
}  // namespace

TEST(IChannelWalk, ShortPointerArraysReadSilenceAndPiecesKeepToTheirFrames) {
  Plug plug;
  IChannelWalk walk(plug);
  std::vector<float> in0(8, 0.5f), in1(8, 0.25f), out0(8, 9.0f), out1(8, 9.0f);
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};

  // One buffer each way: the second input is silent, the second output unwritten.
  plug.InputChannel(1).scratch.assign(plug.InputChannel(1).scratch.size(), 7.0);
  walk.ProcessFloat({ins, 1}, {outs, 1}, 8, false);
  EXPECT_EQ(out0[7], 0.5f);
  EXPECT_EQ(out1[0], 9.0f);
  EXPECT_EQ(plug.OutputChannel(1).scratch[0], 0.0);

  // A piece at an offset reads and adds to only its own frames.
  in1[5] = -1.0f;
  walk.ProcessFloatPiece({ins, 2}, {outs, 2}, 5, 2, true);
  EXPECT_EQ(out1[4], 9.0f);
  EXPECT_EQ(out1[5], 8.0f);
  EXPECT_EQ(out1[6], 9.25f);
  EXPECT_EQ(out1[7], 9.0f);
  EXPECT_EQ(plug.blocks, (std::vector<int>{8, 2}));
}

TEST(IChannelWalk, NoFramesStillReachTheProductAndTouchNoBuffer) {
  Plug plug;
  IChannelWalk walk(plug);
  float* junk[2] = {reinterpret_cast<float*>(16), reinterpret_cast<float*>(32)};
  double* djunk[2] = {reinterpret_cast<double*>(16), reinterpret_cast<double*>(32)};
  walk.ProcessFloat({junk, 2}, {junk, 2}, 0, true);
  walk.ProcessFloat({nullptr, 0}, {nullptr, 0}, 0, false);
  walk.ProcessDouble({djunk, 2}, {djunk, 2}, 0);
  walk.ProcessDouble({djunk, 2}, {djunk, 2}, -1);
  EXPECT_EQ(plug.blocks, (std::vector<int>{0, 0, 0}));
  plug.ApplyBlockSize(0);
  walk.ProcessDouble({nullptr, 0}, {nullptr, 0}, 0);
  EXPECT_EQ(plug.blocks.size(), 4u) << "even without scratch buffers";
}

TEST(IChannelWalk, TheLongestCallEndsExactlyAtItsLastFrame) {
  // Outputs only, with no host buffers: nothing is read, so the pieces cost nothing.
  Plug plug("0-1");
  plug.ApplyBlockSize(kMaxBlockSize);
  plug.blocks.reserve(INT_MAX / kMaxBlockSize + 2);
  IChannelWalk(plug).ProcessDouble({nullptr, 0}, {nullptr, 0}, INT_MAX);
  long long frames = 0;
  for (int n : plug.blocks) frames += n;
  EXPECT_EQ(frames, INT_MAX);
  EXPECT_EQ(plug.blocks.size(), static_cast<size_t>(INT_MAX / kMaxBlockSize + 1));
  EXPECT_EQ(plug.blocks.back(), INT_MAX % kMaxBlockSize);
}
