#pragma once
// The binding used by unit tests: it answers the host-facing operations of the
// base by recording the calls, so tests can assert what a host would have been told.

#include <string>
#include <vector>

#include "framework/IPlugBase.h"

struct IPlugInstanceInfo {};

class IPlugTest : public IPlugBase {
public:
  struct HostCall {
    enum Kind { BeginEdit, Automate, EndEdit, ProgramChanged, EditorSize, Midi } kind;
    int paramIdx;
    double value;
    bool operator==(const HostCall& o) const {
      return kind == o.kind && paramIdx == o.paramIdx && value == o.value;
    }
  };

  IPlugTest(const IPlugInstanceInfo&, const IPlugConfig& config, PluginApi api = PluginApi::Vst2)
      : IPlugBase(config, api) {
    // Like a host binding: every channel connected, a block size set.
    SetInputConnections(0, NInChannels(), true);
    SetOutputConnections(0, NOutChannels(), true);
    ApplyBlockSize(1024);
  }

  void BeginParameterEdit(int paramIdx) override { calls.push_back({HostCall::BeginEdit, paramIdx, 0.0}); }
  void SendParameterToHost(int paramIdx, double normalized) override {
    calls.push_back({HostCall::Automate, paramIdx, normalized});
  }
  void EndParameterEdit(int paramIdx) override { calls.push_back({HostCall::EndEdit, paramIdx, 0.0}); }
  void NotifyHostProgramChanged() override { calls.push_back({HostCall::ProgramChanged, -1, 0.0}); }
  int QuerySamplePosition() override { return static_cast<int>(transport.samplePosition); }
  double QueryTempo() override { return transport.tempo; }
  void QueryTimeSignature(int* numerator, int* denominator) override {
    if (numerator) *numerator = transport.numerator;
    if (denominator) *denominator = transport.denominator;
  }
  void QueryTransport(ITransportInfo* info) override {
    if (info) *info = transport;
  }
  void ApplyEditorSize(int width, int height) override {
    calls.push_back({HostCall::EditorSize, width, static_cast<double>(height)});
  }
  bool SendMidiToHost(const IMidiMessage& message) override {
    calls.push_back({HostCall::Midi, message.status, static_cast<double>(message.data1)});
    return true;
  }

  // What the host answers to transport queries.
  ITransportInfo transport;
  // Every host-facing call, in order.
  std::vector<HostCall> calls;
};
