#include "framework/IPlugBase.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"
#include "tests/support/IPlugTest.h"

namespace {

// Records the order in which things are destroyed, to check the base's teardown.
std::vector<std::string>* gEvents = nullptr;

class RecordingControl : public IControl {
public:
  RecordingControl(IPlugBase* plug, int paramIdx) : IControl(plug, {0, 0, 10, 10}, paramIdx) {}
  ~RecordingControl() override {
    if (gEvents) gEvents->push_back("control");
  }
  bool Paint(IGraphics&) override { return true; }
};

class RecordingEditor : public IGraphics {
public:
  explicit RecordingEditor(IPlugBase* plug) : IGraphics(plug, 100, 50, 25) {}
  ~RecordingEditor() override {
    // The parameters must still exist while the editor goes.
    if (gEvents) gEvents->push_back(Plug()->NParams() > 0 ? "editor with params" : "editor without params");
  }
};

class Plug : public IPlugTest {
public:
  explicit Plug(const char* channelIO = "1-1 2-2", int nParams = 3)
      : IPlugTest(IPlugInstanceInfo{}, Config(channelIO, nParams)) {
    GetParam(0)->InitContinuous("Gain", 0.0, -10.0, 10.0, 0.1);
    GetParam(1)->InitInteger("Switch", 0, 0, 2);
  }
  void OnParameterChanged(int paramIdx) override { changed.push_back(paramIdx); }
  std::vector<int> changed;

private:
  static IPlugConfig Config(const char* channelIO, int nParams) {
    IPlugConfig c;
    c.nParams = nParams;
    c.channelIOText = channelIO;
    c.nPresets = 2;
    c.effectName = "Effect";
    c.vendorName = "Vendor";
    return c;
  }
};

std::vector<IChannelPair> Pairs(const char* text) { return Plug(text, 3).ChannelPairs(); }

}  // namespace

// Found by lookup from std::vector's comparison, so not in the unnamed namespace.
bool operator==(const IChannelPair& a, const IChannelPair& b) {
  return a.inputs == b.inputs && a.outputs == b.outputs;
}

TEST(IPlugBase, ConstructionDefaults) {
  Plug plug;
  EXPECT_EQ(plug.NParams(), 3);
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_EQ(plug.GetHostKind(), HostKind::NotIdentified);
  EXPECT_EQ(plug.HostVersion(), 0);
  EXPECT_EQ(plug.SampleRate(), 44100.0);
  EXPECT_EQ(plug.CurrentPresetIdx(), 0);
  EXPECT_EQ(plug.Editor(), nullptr);
  EXPECT_STREQ(plug.EffectName(), "Effect");
  EXPECT_STREQ(plug.GetPreset(1)->name.c_str(), "empty");
  EXPECT_FALSE(plug.GetPreset(1)->initialised);
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
}

TEST(IPlugBase, ChannelIOTextGivesPairsAndChannelCounts) {
  Plug plug("1-1 2-2");
  EXPECT_EQ(plug.ChannelPairs(), (std::vector<IChannelPair>{{1, 1}, {2, 2}}));
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);

  EXPECT_EQ(Pairs("x-1 2"), (std::vector<IChannelPair>{{0, 0}, {2, 0}}));
  EXPECT_EQ(Pairs(""), (std::vector<IChannelPair>{{0, 0}}));
  EXPECT_EQ(Pairs("2-4 "), (std::vector<IChannelPair>{{2, 4}, {0, 0}}));
  // Negative counts give no channels.
  Plug negative("-3--2");
  EXPECT_EQ(negative.NInChannels(), 0);
  EXPECT_EQ(negative.NOutChannels(), 0);
}

TEST(IPlugBase, LegalIOMatchesAnyPairWithNegativeAsWildcard) {
  Plug plug("1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_FALSE(plug.LegalIO(3, -1));
}

TEST(IPlugBase, DisconnectedChannelsUseTheirScratchBuffers) {
  Plug plug;  // the test binding connects everything and sets 1024 frames
  ASSERT_TRUE(plug.InputChannel(1).connected);
  plug.SetInputConnections(1, 5, false);  // count beyond the channels is cut
  EXPECT_TRUE(plug.InputChannel(0).connected);
  EXPECT_FALSE(plug.InputChannel(1).connected);
  EXPECT_EQ(plug.InputData()[1], plug.InputChannel(1).scratch.data());
  // Resizing moves the scratch buffer; the disconnected slot follows it.
  plug.ApplyBlockSize(4096);
  EXPECT_EQ(plug.InputData()[1], plug.InputChannel(1).scratch.data());
  EXPECT_EQ(plug.InputChannel(1).scratch.size(), 4096u);
  // Out-of-range requests touch nothing.
  plug.SetOutputConnections(-3, 2, false);
  plug.SetOutputConnections(7, 1, false);
  EXPECT_TRUE(plug.OutputChannel(0).connected);
  EXPECT_TRUE(plug.OutputChannel(1).connected);
}

TEST(IPlugBase, ApplyBlockSizeZeroFillsOnlyOnChange) {
  Plug plug;
  plug.ApplyBlockSize(8);
  plug.InputChannel(0).scratch[3] = 5.0;
  plug.ApplyBlockSize(8);
  EXPECT_EQ(plug.InputChannel(0).scratch[3], 5.0);
  plug.ApplyBlockSize(16);
  EXPECT_EQ(plug.InputChannel(0).scratch[3], 0.0);
  EXPECT_EQ(plug.BlockSize(), 16);
  plug.ApplyBlockSize(-5);
  EXPECT_EQ(plug.BlockSize(), 0);
  EXPECT_TRUE(plug.OutputChannel(0).scratch.empty());
}

TEST(IPlugBase, BlockSizesBeyondTheCapSizeTheBuffersForTheCap) {
  Plug plug;
  for (int announced : {kMaxBlockSize + 1, 1 << 24, INT_MAX}) {
    plug.ApplyBlockSize(announced);
    EXPECT_EQ(plug.BlockSize(), kMaxBlockSize);
    EXPECT_EQ(plug.OutputChannel(1).scratch.size(), static_cast<size_t>(kMaxBlockSize));
  }
}

TEST(IPlugBase, DefaultProcessingCopiesInputsAndZeroesTheRest) {
  Plug stereo;
  double in0[3] = {1, 2, 3}, in1[3] = {4, 5, 6}, out0[3] = {9, 9, 9}, out1[3] = {9, 9, 9};
  double* ins[] = {in0, in1};
  double* outs[] = {out0, out1};
  stereo.ProcessBlock(ins, outs, 3);
  EXPECT_EQ(out0[2], 3.0);
  EXPECT_EQ(out1[0], 4.0);

  Plug monoToStereo("1-2");
  ASSERT_EQ(monoToStereo.NInChannels(), 1);
  double o0[3] = {9, 9, 9}, o1[3] = {9, 9, 9};
  double* outs2[] = {o0, o1};
  monoToStereo.ProcessBlock(ins, outs2, 3);
  EXPECT_EQ(o0[1], 2.0);
  EXPECT_EQ(o1[0], 0.0);
  EXPECT_EQ(o1[2], 0.0);
  // In place works too.
  stereo.ProcessBlock(ins, ins, 3);
  EXPECT_EQ(in1[2], 6.0);
}

TEST(IPlugBase, SetParameterFromEditorSendsTheUnsnappedValue) {
  Plug plug;
  plug.SetParameterFromEditor(1, 0.7);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);  // 1.4 snaps to 1
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0], (IPlugTest::HostCall{IPlugTest::HostCall::Automate, 1, 0.7}));
  EXPECT_EQ(plug.changed, std::vector<int>{1});
  plug.SetParameterFromEditor(9, 0.5);  // no such parameter
  EXPECT_EQ(plug.calls.size(), 1u);
}

TEST(IPlugBase, AttachEditorHandsNormalisedValuesToTheControls) {
  Plug plug;
  plug.GetParam(0)->SetClamped(5.0);
  auto* editor = new RecordingEditor(&plug);
  auto* knob = new RecordingControl(&plug, 0);
  auto* follower = new RecordingControl(&plug, 2);
  follower->AddAuxBinding(0);
  editor->AddControl(knob);
  editor->AddControl(follower);
  plug.AttachEditor(editor);
  EXPECT_EQ(plug.Editor(), editor);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.75);
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.75);
  EXPECT_DOUBLE_EQ(follower->AuxBinding(0).value.load(), 0.75);
  plug.AttachEditor(nullptr);  // ignored
  EXPECT_EQ(plug.Editor(), editor);
}

TEST(IPlugBase, RefreshParameterControlsPushesPlainValues) {
  Plug plug;
  auto* editor = new RecordingEditor(&plug);
  auto* knob = new RecordingControl(&plug, 0);
  editor->AddControl(knob);
  plug.AttachEditor(editor);
  knob->ClearDirty();
  ASSERT_FALSE(knob->NeedsRedraw());
  plug.GetParam(0)->SetClamped(-10.0);
  plug.RefreshParameterControls();
  EXPECT_EQ(knob->Value(), 0.0);
  EXPECT_TRUE(knob->NeedsRedraw());
  EXPECT_TRUE(knob->RedrawPending());
}

TEST(IPlugBase, DestructionDestroysTheEditorBeforeTheParameters) {
  std::vector<std::string> events;
  gEvents = &events;
  {
    auto* plug = new Plug;
    auto* editor = new RecordingEditor(plug);
    editor->AddControl(new RecordingControl(plug, 0));
    plug->AttachEditor(editor);
    delete static_cast<IPlugBase*>(plug);
  }
  gEvents = nullptr;
  EXPECT_EQ(events, (std::vector<std::string>{"editor with params", "control"}));
}

TEST(IPlugBase, DefaultHooksAnswerAsDocumented) {
  Plug plug;
  char name[8] = "xxxxxxx";
  EXPECT_FALSE(plug.QueryMidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  EXPECT_FALSE(plug.HostIsOffline());
  EXPECT_FALSE(plug.SendSysExToHost(ISysExMessage{}));
  plug.HandleMidiMessage(IMidiMessage{0, 0x90, 60, 100});
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].kind, IPlugTest::HostCall::Midi);
  const double values[] = {0.0, 0.0, 0.000009};
  EXPECT_TRUE(plug.StateMatches(values, 3));
  const double off[] = {0.0, 0.0, 0.00002};
  EXPECT_FALSE(plug.StateMatches(off, 3));
  EXPECT_FALSE(plug.StateMatches(values, 2));
  plug.SetLatencySamples(64);
  EXPECT_EQ(plug.Latency(), 64);
}

TEST(IPlugBase, SampleRatesThatAreNoPositiveNumberAreIgnored) {
  Plug plug;
  plug.SetSampleRate(96000.0);
  plug.SetSampleRate(0.0);
  plug.SetSampleRate(-48000.0);
  plug.SetSampleRate(std::nan(""));
  plug.SetSampleRate(INFINITY);
  EXPECT_EQ(plug.SampleRate(), 96000.0);
  plug.SetSampleRate(1234.5678);
  EXPECT_EQ(plug.SampleRate(), 1234.5678);
}
