// The built VST 2.4 module, loaded and driven like a host does: only through its
// exported entry points and the AEffect record they return.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/hosts/Vst2Module.h"
#include "tests/support/TestSignals.h"
#include "tests/support/Vst2TestHost.h"

namespace {
constexpr int kParams = 27;
#ifdef _WIN32
constexpr bool kWindowedEditor = true;
#else
constexpr bool kWindowedEditor = false;
#endif
constexpr int kLowGain = 0;     // continuous, -15..15 dB, step 0.1
constexpr int kLowFreq = 1;     // continuous, 50..400 Hz, default 120
constexpr int kLink = 20;       // switch 0..1, default 1
constexpr int kLowHpf = 25;     // switch 0..2, default 0

Vst2Module& Module() {
  static Vst2Module module(ZAVRO_VST2_MODULE_PATH);
  return module;
}

// One plug-in instance with its own scripted host.
class Instance {
public:
  explicit Instance(const char* entryName = "VSTPluginMain") {
    Vst2Entry entry = Module().Find(entryName);
    if (entry) effect = host.Create(entry);
  }
  ~Instance() {
    if (effect) Dispatch(effect, effClose);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // The order hosts use when inserting a plug-in.
  void Start(float sampleRate, int blockSize) {
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(effect, effSetBlockSize, 0, blockSize);
    Dispatch(effect, effMainsChanged, 0, 1);
  }

  std::string Text(VstInt32 opcode, VstInt32 index) {
    char buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    Dispatch(effect, opcode, index, 0, buffer);
    return buffer;
  }

  Vst2TestHost host;
  AEffect* effect = nullptr;
};

// Stereo blocks of audio as a host hands them over.
using FloatBlock = ChannelBuffers<float>;
using DoubleBlock = ChannelBuffers<double>;

// Sets a few parameters away from their defaults through the host interface.
void SetSomeParameters(AEffect* effect) {
  effect->setParameter(effect, kLowGain, 0.75f);
  effect->setParameter(effect, kLowFreq, 0.2f);
  effect->setParameter(effect, kLink, 0.0f);
  effect->setParameter(effect, kLowHpf, 1.0f);
}
}  // namespace

TEST(Vst2Host, ModuleLoadsAndExportsBothEntryNames) {
  ASSERT_TRUE(Module().Loaded()) << Module().Error();
  EXPECT_NE(Module().Find("VSTPluginMain"), nullptr);
  EXPECT_NE(Module().Find("main"), nullptr);
}

TEST(Vst2Host, EachEntryCallCreatesAFullyFilledRecord) {
  Instance viaMain("main");
  Instance viaPluginMain("VSTPluginMain");
  for (Instance* instance : {&viaMain, &viaPluginMain}) {
    AEffect* e = instance->effect;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);
    // Replacing + double replacing + can-mono, and the editor where it has a window.
    EXPECT_EQ(e->flags, kWindowedEditor ? 4121 : 4120);
    EXPECT_EQ(e->numParams, kParams);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, ('Z' << 24) | ('3' << 16) | ('1' << 8) | '8');
    EXPECT_EQ(e->version, 50000);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_EQ(e->resvd2, 0);
    ASSERT_NE(e->process, nullptr);
    ASSERT_NE(e->processReplacing, nullptr);
    ASSERT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(reinterpret_cast<void*>(e->process), reinterpret_cast<void*>(e->processReplacing));
    for (char byte : e->future) EXPECT_EQ(byte, 0);
  }
  EXPECT_NE(viaMain.effect, viaPluginMain.effect);
  EXPECT_NE(viaMain.effect->object, viaPluginMain.effect->object);
}

TEST(Vst2Host, OpenIdentifiesTheHostOnce) {
  Instance instance;
  instance.host.productString = "Ardour";
  instance.host.vendorVersion = 70300;
  Dispatch(instance.effect, effOpen);
  EXPECT_EQ(instance.host.CallsOf(audioMasterGetProductString).size(), 1u);
  EXPECT_EQ(instance.host.CallsOf(audioMasterGetVendorVersion).size(), 1u);
  Dispatch(instance.effect, effOpen);
  EXPECT_EQ(instance.host.CallsOf(audioMasterGetProductString).size(), 1u);

  Instance silent;
  silent.host.productString = "";
  Dispatch(silent.effect, effOpen);
  EXPECT_EQ(silent.host.CallsOf(audioMasterGetProductString).size(), 1u);
  EXPECT_TRUE(silent.host.CallsOf(audioMasterGetVendorVersion).empty())
      << "no version is asked of a host without a product text";
}

TEST(Vst2Host, AnswersIdentityQueries) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  EXPECT_EQ(Dispatch(e, effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(e, effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(e, effGetVendorVersion), 50000);
  EXPECT_EQ(Dispatch(e, effGetPlugCategory), 1);
  EXPECT_EQ(Dispatch(e, effGetTailSize), 0);
  EXPECT_EQ(instance.Text(effGetEffectName, 0), "Z318ME");
  EXPECT_EQ(instance.Text(effGetVendorString, 0), "Quillumbra");
  EXPECT_EQ(instance.Text(effGetProductString, 0), "");
  EXPECT_EQ(Dispatch(e, effGetEffectName), 0) << "no buffer";
  EXPECT_EQ(Dispatch(e, effGetVendorString), 0);
  EXPECT_EQ(Dispatch(e, effGetProductString), 0);
  EXPECT_EQ(Dispatch(e, 9999), 0) << "unknown opcode";
  EXPECT_EQ(Dispatch(e, effEditIdle), 0);
  EXPECT_EQ(Dispatch(e, effIdle), 0);
}

TEST(Vst2Host, CanDoAnswersItsCapabilitiesExactly) {
  Instance instance;
  AEffect* e = instance.effect;
  struct Case {
    const char* text;
    VstIntPtr answer;
  } cases[] = {
      {"receiveVstTimeInfo", 1},          {"hasCockosExtensions", 0xBEEF0000},
      {"hasCockosViewAsConfig", 0xBEEF0000}, {"sendVstEvents", 0},
      {"receiveVstMidiEvent", 0},         {"ReceiveVstTimeInfo", 0},
      {"bypass", 0},                      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Dispatch(e, effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer);
  }
  EXPECT_EQ(Dispatch(e, effCanDo), 0);
}

TEST(Vst2Host, RequestsWithoutTheirPointerChangeNothing) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  e->setParameter(e, kLowGain, 0.75f);
  EXPECT_EQ(Dispatch(e, effSetProgramName), 0);
  EXPECT_EQ(Dispatch(e, effGetProgramName), 0);
  EXPECT_EQ(instance.Text(effGetProgramName, 0), "-");
  EXPECT_EQ(Dispatch(e, effSetSpeakerArrangement), 1);
  EXPECT_EQ(Dispatch(e, effProcessEvents), 0);
  EXPECT_EQ(Dispatch(e, effGetMidiKeyName), 0);
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 7, kLowGain, nullptr, 0.5f), 0);
  EXPECT_EQ(Dispatch(e, effGetChunk, 1), 0);
  EXPECT_EQ(Dispatch(e, effSetChunk, 1, 224), 0);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowGain), 0.75f);
  // Both inputs still carry audio after the pointerless arrangement request.
  FloatBlock in(2, 16, 0.5f), out(2, 16);
  e->processReplacing(e, in.Ptrs(), out.Ptrs(), 16);
  FloatBlock silentRight(2, 16, 0.5f);
  silentRight[1].assign(16, 0.0f);
  Instance reference;
  reference.Start(44100.0f, 1024);
  reference.effect->setParameter(reference.effect, kLowGain, 0.75f);
  FloatBlock refOut(2, 16);
  reference.effect->processReplacing(reference.effect, silentRight.Ptrs(), refOut.Ptrs(), 16);
  EXPECT_NE(out[1], refOut[1]) << "input 1 is still connected";
}

// Windows: the panel's rectangle; Linux: no editor, so hosts show their own view.
TEST(Vst2Host, EditorRequestsAnswerThePanelOnlyWhereItHasAWindow) {
  Instance instance;
  AEffect* e = instance.effect;
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(e, effEditGetRect, 0, 0, &rect), kWindowedEditor ? 1 : 0);
  if (kWindowedEditor) {
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 476);
    EXPECT_EQ(rect->right, 1002);
  } else {
    EXPECT_EQ(rect, nullptr);
  }
  EXPECT_EQ(Dispatch(e, effEditOpen), 0) << "no parent window";
  if (!kWindowedEditor) {
    EXPECT_EQ(Dispatch(e, effEditClose), 0);
  }
}

TEST(Vst2Host, ParameterTextsAreBoundedAndRefusedForBadIndices) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  EXPECT_EQ(instance.Text(effGetParamName, kLowGain), "L/M Low Gain");
  EXPECT_EQ(instance.Text(effGetParamName, 16), "R/S High Mid Freq.");
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowFreq), "120");
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowGain), "0.0");
  EXPECT_EQ(instance.Text(effGetParamLabel, kLowGain), "");
  EXPECT_EQ(Dispatch(e, effCanBeAutomated, kLowGain), 1);

  for (VstInt32 bad : {-1, kParams, 1000}) {
    SCOPED_TRACE(bad);
    for (VstInt32 opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel}) {
      char buffer[16];
      std::memset(buffer, 'x', sizeof buffer);
      EXPECT_EQ(Dispatch(e, opcode, bad, 0, buffer), 0);
      EXPECT_EQ(buffer[0], 'x') << "nothing written";
    }
    EXPECT_EQ(Dispatch(e, effString2Parameter, bad, 0, const_cast<char*>("1")), 0);
  }
  // Without a buffer nothing is written anywhere.
  EXPECT_EQ(Dispatch(e, effGetParamName, kLowGain), 0);

  // A value text never runs past the published 8 characters and terminator.
  e->setParameter(e, kLowGain, 0.0f);
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  Dispatch(e, effGetParamDisplay, kLowGain, 0, buffer);
  EXPECT_STREQ(buffer, "-15.0");
  EXPECT_EQ(buffer[9], 'x');
}

TEST(Vst2Host, SetParameterSnapsSwitchesAndGetParameterAnswersNormalised) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);

  e->setParameter(e, kLowHpf, 0.5f);  // 0..2 switch: stores 1
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowHpf), 0.5f);
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowHpf), "1");
  e->setParameter(e, kLowHpf, 0.3f);  // nearest step is still 1
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowHpf), 0.5f);

  e->setParameter(e, kLowGain, 0.25f);  // continuous: -7.5 dB
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowGain), 0.25f);
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowGain), "-7.5");

  // Values outside 0..1 are held at the ends of the range.
  e->setParameter(e, kLowGain, -3.0f);
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowGain), "-15.0");
  e->setParameter(e, kLowGain, 7.0f);
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowGain), "15.0");
  e->setParameter(e, kLowGain, std::nanf(""));
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowGain), "15.0") << "no number, no change";

  // Bad indices change nothing and read 0.
  const float before = e->getParameter(e, kParams - 1);
  e->setParameter(e, kParams, 0.7f);
  e->setParameter(e, -1, 0.7f);
  EXPECT_EQ(e->getParameter(e, kParams), 0.0f);
  EXPECT_EQ(e->getParameter(e, -1), 0.0f);
  EXPECT_EQ(e->getParameter(e, kParams - 1), before);
}

TEST(Vst2Host, TextToParameterClampsWithoutSnapping) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  EXPECT_EQ(Dispatch(e, effString2Parameter, kLowHpf), 1) << "null text: the host asks if texts work";
  EXPECT_EQ(Dispatch(e, effString2Parameter, kLowHpf, 0, const_cast<char*>("3.7")), 1);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowHpf), 1.0f);
  EXPECT_EQ(Dispatch(e, effString2Parameter, kLowFreq, 0, const_cast<char*>("225")), 1);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowFreq), 0.5f);
  EXPECT_EQ(instance.Text(effGetParamDisplay, kLowFreq), "225");
}

TEST(Vst2Host, ProgramsKeepTheirNamesWithinTheHostLimit) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  EXPECT_EQ(Dispatch(e, effGetProgram), 0);
  EXPECT_EQ(instance.Text(effGetProgramName, 0), "-");

  Dispatch(e, effSetProgramName, 0, 0, const_cast<char*>("Bright"));
  EXPECT_EQ(instance.Text(effGetProgramName, 0), "Bright");
  char name[64];
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(Dispatch(e, effGetProgramNameIndexed, 0, -1, name), 1);
  EXPECT_STREQ(name, "Bright");
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(Dispatch(e, effGetProgramNameIndexed, 1, -1, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(Dispatch(e, effGetProgramNameIndexed, 0, -1, nullptr), 0);

  // A name longer than hosts reserve is handed back cut to 24 characters.
  const std::string longName(300, 'n');
  Dispatch(e, effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
  std::memset(name, 'x', sizeof name);
  Dispatch(e, effGetProgramName, 0, 0, name);
  EXPECT_EQ(std::string(name), std::string(24, 'n'));
  EXPECT_EQ(name[25], 'x');

  // A program beyond the bank changes nothing but the captured live values.
  e->setParameter(e, kLowGain, 0.75f);
  Dispatch(e, effSetProgram, 0, 5);
  EXPECT_EQ(Dispatch(e, effGetProgram), 0);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowGain), 0.75f);
  Dispatch(e, effSetProgram, 0, 0);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowGain), 0.75f) << "the preset held the live values";
}

TEST(Vst2Host, ProgramChunkRestoresIntoASecondInstance) {
  Instance source;
  Instance target;
  Dispatch(source.effect, effOpen);
  Dispatch(target.effect, effOpen);
  SetSomeParameters(source.effect);

  void* data = nullptr;
  const VstIntPtr size = Dispatch(source.effect, effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, 224);
  ASSERT_NE(data, nullptr);
  const unsigned char header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(data, header, 8), 0);
  const std::vector<char> bytes(static_cast<char*>(data), static_cast<char*>(data) + size);

  EXPECT_EQ(Dispatch(target.effect, effSetChunk, 1, size, const_cast<char*>(bytes.data())), 1);
  for (int i = 0; i < kParams; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(target.effect->getParameter(target.effect, i), source.effect->getParameter(source.effect, i));
  }

  // The same block without its header loads from its first byte.
  Instance headerless;
  Dispatch(headerless.effect, effOpen);
  EXPECT_EQ(Dispatch(headerless.effect, effSetChunk, 1, size - 8, const_cast<char*>(bytes.data() + 8)), 1);
  EXPECT_FLOAT_EQ(headerless.effect->getParameter(headerless.effect, kLowGain), 0.75f);
}

TEST(Vst2Host, BankChunkRoundTripsNamesAndValues) {
  Instance source;
  Instance target;
  Dispatch(source.effect, effOpen);
  Dispatch(target.effect, effOpen);
  SetSomeParameters(source.effect);
  Dispatch(source.effect, effSetProgramName, 0, 0, const_cast<char*>("Warm"));

  void* data = nullptr;
  const VstIntPtr size = Dispatch(source.effect, effGetChunk, 0, 0, &data);
  ASSERT_EQ(size, 8 + 4 + 4 + 1 + 216);
  const std::vector<char> bytes(static_cast<char*>(data), static_cast<char*>(data) + size);
  EXPECT_EQ(Dispatch(target.effect, effSetChunk, 0, size, const_cast<char*>(bytes.data())), 1);
  EXPECT_EQ(target.Text(effGetProgramName, 0), "Warm");
  for (int i = 0; i < kParams; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(target.effect->getParameter(target.effect, i), source.effect->getParameter(source.effect, i));
  }
  EXPECT_EQ(Dispatch(target.effect, effGetChunk, 0, 0, nullptr), 0) << "no place to put the address";
}

TEST(Vst2Host, BrokenChunksLoadNothingAndAnswerZero) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  e->setParameter(e, kLowGain, 0.75f);
  const char shortHeader[5] = {0x74, 0x66, 0x66, 0x70, 0x00};
  EXPECT_EQ(Dispatch(e, effSetChunk, 1, 5, const_cast<char*>(shortHeader)), 0);
  EXPECT_EQ(Dispatch(e, effSetChunk, 1, -8, const_cast<char*>(shortHeader)), 0);
  EXPECT_EQ(Dispatch(e, effSetChunk, 1, 224, nullptr), 0);
  EXPECT_EQ(Dispatch(e, effSetChunk, 0, -1, const_cast<char*>(shortHeader)), 0);
  EXPECT_FLOAT_EQ(e->getParameter(e, kLowGain), 0.75f);
}

TEST(Vst2Host, PinsAndSpeakerArrangements) {
  Instance instance;
  AEffect* e = instance.effect;
  Dispatch(e, effOpen);
  struct Case {
    VstInt32 opcode, index;
    VstIntPtr answer;
    VstInt32 flags;
    const char* label;
  } cases[] = {
      {effGetInputProperties, 0, 1, 3, "Input 1"},   {effGetInputProperties, 1, 1, 1, "Input 2"},
      {effGetOutputProperties, 0, 1, 3, "Output 1"}, {effGetOutputProperties, 1, 1, 1, "Output 2"},
      {effGetInputProperties, 2, 0, -1, ""},         {effGetOutputProperties, -1, 0, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    pin.flags = -1;
    EXPECT_EQ(Dispatch(e, c.opcode, c.index, 0, &pin), c.answer);
    EXPECT_EQ(pin.flags, c.flags);
    EXPECT_STREQ(pin.label, c.label);
  }
  EXPECT_EQ(Dispatch(e, effGetInputProperties, 0, 0, nullptr), 0);

  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Dispatch(e, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);
  EXPECT_EQ(Dispatch(e, effGetSpeakerArrangement), 1);
}

// --- Audio ------------------------------------------------------------------------

class Vst2HostAudio : public ::testing::TestWithParam<float> {};

INSTANTIATE_TEST_SUITE_P(SampleRates, Vst2HostAudio, ::testing::Values(44100.0f, 96000.0f));

// Float in, float out must equal the double path rounded, whatever the processing
// does; the accumulating path adds exactly that to what the buffers held.
TEST_P(Vst2HostAudio, FloatPathsMatchTheDoublePathRounded) {
  constexpr int kBlock = 256;
  Instance dbl, flt, acc;
  for (Instance* i : {&dbl, &flt, &acc}) {
    i->Start(GetParam(), kBlock);
    SetSomeParameters(i->effect);
  }
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> sizes(0, kBlock);
  for (int block = 0; block < 40; ++block) {
    const int n = block == 0 ? 0 : sizes(rng);
    SCOPED_TRACE(n);
    const std::vector<float> left = Noise<float>(n, 100 + block), right = Noise<float>(n, 200 + block);
    FloatBlock fin(2, n), fout(2, n, 9.0f), aout(2, n, 0.0f);
    DoubleBlock din(2, n), dout(2, n);
    for (int j = 0; j < n; ++j) {
      fin[0][j] = left[j];
      fin[1][j] = right[j];
      din[0][j] = left[j];
      din[1][j] = right[j];
      aout[0][j] = 0.25f * left[j];
      aout[1][j] = -0.5f;
    }
    const FloatBlock before = aout;
    dbl.effect->processDoubleReplacing(dbl.effect, din.Ptrs(), dout.Ptrs(), n);
    flt.effect->processReplacing(flt.effect, fin.Ptrs(), fout.Ptrs(), n);
    acc.effect->process(acc.effect, fin.Ptrs(), aout.Ptrs(), n);
    for (int c = 0; c < 2; ++c) {
      for (int j = 0; j < n; ++j) {
        const float rounded = static_cast<float>(dout[c][j]);
        ASSERT_EQ(fout[c][j], rounded) << "channel " << c << " frame " << j;
        ASSERT_EQ(aout[c][j], before[c][j] + rounded) << "channel " << c << " frame " << j;
      }
    }
  }
}

// A host that sends more frames than its block size gets the same audio as one
// that splits the call itself at the block size.
TEST_P(Vst2HostAudio, CallsLongerThanTheBlockSizeAreProcessedInPieces) {
  constexpr int kBlock = 64;
  constexpr int kFrames = 1000;
  Instance whole, split;
  for (Instance* i : {&whole, &split}) {
    i->Start(GetParam(), kBlock);
    SetSomeParameters(i->effect);
  }
  FloatBlock in({Noise<float>(kFrames, 1), Noise<float>(kFrames, 2)}), outWhole(2, kFrames), outSplit(2, kFrames);
  whole.effect->processReplacing(whole.effect, in.Ptrs(), outWhole.Ptrs(), kFrames);
  for (int offset = 0; offset < kFrames; offset += kBlock) {
    const int n = std::min(kBlock, kFrames - offset);
    float* ins[2] = {in[0].data() + offset, in[1].data() + offset};
    float* outs[2] = {outSplit[0].data() + offset, outSplit[1].data() + offset};
    split.effect->processReplacing(split.effect, ins, outs, n);
  }
  EXPECT_EQ(outWhole[0], outSplit[0]);
  EXPECT_EQ(outWhole[1], outSplit[1]);
}

// With a one-channel input arrangement the second host buffer is not read: the
// processing sees silence there, exactly as if the host had sent zeros.
TEST_P(Vst2HostAudio, DisconnectedInputFeedsSilence) {
  constexpr int kBlock = 128;
  Instance mono, reference;
  mono.Start(GetParam(), kBlock);
  reference.Start(GetParam(), kBlock);
  VstSpeakerArrangement monoIn = {};
  monoIn.type = kSpeakerArrMono;
  monoIn.numChannels = 1;
  VstSpeakerArrangement stereoOut = {};
  stereoOut.type = kSpeakerArrStereo;
  stereoOut.numChannels = 2;
  EXPECT_EQ(Dispatch(mono.effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&monoIn), &stereoOut), 1);

  for (int block = 0; block < 8; ++block) {
    const std::vector<float> signal = Noise<float>(kBlock, 50 + block), garbage = Noise<float>(kBlock, 90 + block);
    FloatBlock monoIns({signal, garbage}), refIns({signal, std::vector<float>(kBlock)});
    FloatBlock monoOut(2, kBlock), refOut(2, kBlock);
    mono.effect->processReplacing(mono.effect, monoIns.Ptrs(), monoOut.Ptrs(), kBlock);
    reference.effect->processReplacing(reference.effect, refIns.Ptrs(), refOut.Ptrs(), kBlock);
    ASSERT_EQ(monoOut[0], refOut[0]) << "block " << block;
    ASSERT_EQ(monoOut[1], refOut[1]) << "block " << block;
  }
}

// In-place buffers (inputs and outputs the same memory) give what separate ones give.
TEST_P(Vst2HostAudio, InPlaceBuffersGiveTheSameAudio) {
  constexpr int kBlock = 200;
  Instance separate, inPlace;
  for (Instance* i : {&separate, &inPlace}) {
    i->Start(GetParam(), kBlock);
    SetSomeParameters(i->effect);
  }
  FloatBlock in({Noise<float>(kBlock, 3), Noise<float>(kBlock, 4)}), out(2, kBlock), shared = in;
  separate.effect->processReplacing(separate.effect, in.Ptrs(), out.Ptrs(), kBlock);
  inPlace.effect->processReplacing(inPlace.effect, shared.Ptrs(), shared.Ptrs(), kBlock);
  EXPECT_EQ(out[0], shared[0]);
  EXPECT_EQ(out[1], shared[1]);
}

TEST(Vst2Host, SuspendResumeAndCloseInHostOrder) {
  auto instance = std::make_unique<Instance>();
  AEffect* e = instance->effect;
  instance->Start(48000.0f, 512);
  FloatBlock in(2, 512), out(2, 512);
  e->processReplacing(e, in.Ptrs(), out.Ptrs(), 512);
  EXPECT_EQ(Dispatch(e, effMainsChanged, 0, 0), 0);
  EXPECT_EQ(Dispatch(e, effSetBlockSize, 0, 1024), 0);
  EXPECT_EQ(Dispatch(e, effMainsChanged, 0, 1), 0);
  FloatBlock in2(2, 1024), out2(2, 1024, 3.0f);
  e->processReplacing(e, in2.Ptrs(), out2.Ptrs(), 1024);
  // Silence in: every output sample written, and next to nothing in it.
  for (size_t c = 0; c < 2; ++c) {
    for (float x : out2[c]) ASSERT_LT(std::fabs(x), 1e-6f);
  }
  EXPECT_EQ(Dispatch(e, effMainsChanged, 0, 0), 0);
  EXPECT_EQ(Dispatch(e, effClose), 0);
  instance->effect = nullptr;
}
