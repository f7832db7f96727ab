#pragma once
// The one walk from a host's sample buffers to the channels' data slots, shared
// by the host bindings.
//
// A binding hands over, per direction, a flat array of channel buffer pointers
// and its length (IHostBuffers). The k-th buffer goes to the k-th connected
// channel; a null array, a null pointer or an index beyond the length reads as
// silence (inputs) or is discarded (outputs). Disconnected channels stay on
// their scratch buffers. Double buffers are used in place; float buffers are
// converted through the channels' scratch buffers, in and out (replacing or
// accumulating).
//
// How a binding uses it: take the instance lock (and an IFlushToZeroScope), then
// call ProcessDouble or ProcessFloat once per host processing call. A binding
// whose host groups channels into buses gathers the bus channels, in order, into
// a fixed array it owns (sized at set-up, so nothing is allocated while
// processing) and passes that array with the number of pointers it filled.
// Calls longer than the scratch buffers are processed in pieces; a call of 0
// frames still reaches ProcessBlock (the product's per-block steps run) and
// touches no buffer.

#include "framework/IPlugBase.h"

// One direction of a host processing call: `count` channel buffers.
template <typename Sample>
struct IHostBuffers {
  Sample* const* channels = nullptr;
  int count = 0;

  // The k-th host buffer, or null when the host gave none.
  Sample* At(int k) const { return channels && k >= 0 && k < count ? channels[k] : nullptr; }
};

class IChannelWalk {
public:
  explicit IChannelWalk(IPlugBase& plug) : plug_(plug) {}

  // Audio thread, under the instance lock. nFrames frames of the host's buffers
  // through ProcessBlock. Double buffers are taken whole while every channel has
  // one, otherwise in pieces the scratch buffers hold. 0 frames reach
  // ProcessBlock without any buffer being read; a negative count does nothing;
  // with no scratch at all a replacing call zeroes the host outputs.
  void ProcessDouble(IHostBuffers<double> inputs, IHostBuffers<double> outputs, int nFrames);
  void ProcessFloat(IHostBuffers<float> inputs, IHostBuffers<float> outputs, int nFrames,
                    bool accumulate);

  // Audio thread, under the instance lock. One piece: frames offset ..
  // offset + nFrames - 1 of the host buffers, nFrames no more than the scratch
  // buffers hold (ScratchFrames) unless every double channel has a host buffer.
  void ProcessDoublePiece(IHostBuffers<double> inputs, IHostBuffers<double> outputs, int offset,
                          int nFrames);
  void ProcessFloatPiece(IHostBuffers<float> inputs, IHostBuffers<float> outputs, int offset,
                         int nFrames, bool accumulate);

  // Audio thread, under the instance lock: the longest piece every scratch
  // buffer holds.
  int ScratchFrames();

private:
  // True when some channel would fall back on its scratch buffer.
  bool NeedsScratch(IHostBuffers<double> inputs, IHostBuffers<double> outputs);
  template <typename Sample>
  void BindChannels(IHostBuffers<Sample> inputs, IHostBuffers<Sample> outputs, int offset,
                    int nFrames);
  template <typename Sample>
  void Process(IHostBuffers<Sample> inputs, IHostBuffers<Sample> outputs, int nFrames, int piece,
               bool accumulate);
  template <typename Sample>
  void ZeroOutputs(IHostBuffers<Sample> outputs, int nFrames);
  void StoreFloatOutputs(int nFrames, bool accumulate);

  IPlugBase& plug_;
};
