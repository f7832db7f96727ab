// The paired sections against the scalar ones: each lane gives, bit for bit,
// what its scalar section gives, for every filter type the chain uses, with
// different settings and histories in the two lanes.

#include <gtest/gtest.h>

#include <vector>

#include "plugin/PairedSections.h"
#include "tests/support/TestSignals.h"

#if defined(ZAVRO_PAIRED_SECTIONS)
namespace {

constexpr int kFrames = 2000;

CookbookSection Shelf(int32_t type, float gainDb, float hz, float fs) {
  CookbookSection s;
  s.Design(type, gainDb, hz, type == 5 ? 0.504f : 0.44f, fs);
  return s;
}

PeakSection Bell(double gainDb, double hz, double q, double fs) {
  PeakSection s;
  s.sampleRate = fs;
  s.Design(gainDb, hz, q);
  return s;
}

// What the paired direct form hands back is each lane's scalar history.
template <typename Paired, typename Section>
void ExpectHistoryStored(const Paired& paired, const Section& l, const Section& r) {
  Section storedL, storedR;
  paired.StoreHistory(storedL, storedR);
  for (auto [stored, scalar] : {std::pair{&storedL, &l}, std::pair{&storedR, &r}}) {
    EXPECT_EQ(Bits(stored->x1), Bits(scalar->x1));
    EXPECT_EQ(Bits(stored->x2), Bits(scalar->x2));
    EXPECT_EQ(Bits(stored->y1), Bits(scalar->y1));
    EXPECT_EQ(Bits(stored->y2), Bits(scalar->y2));
  }
}

TEST(PairedSections, GlidingHighPassLanesMatchTheScalarSection) {
  BiquadSection l, r;
  l.type = r.type = 1;
  l.z1 = 0.25;  // histories that differ from the start
  r.z2 = -0.5;
  const std::vector<double> x = Noise(kFrames, 1, 0.8), y = Noise(kFrames, 2, 0.3);
  PairedBiquad paired(l, r);
  for (int n = 0; n < kFrames; ++n) {
    // Corners gliding apart, redesigned at every frame as the chain does.
    l.fc = (10.0 + 0.05 * n) / 48000.0;
    r.fc = (140.0 - 0.05 * n) / 44100.0;
    l.UpdateHighPassCoefficients();
    r.UpdateCoefficients();
    double outL, outR;
    LanePair{paired.Process(LanePair::Of(x[n], y[n]).v, PairedBiquadCoefficients::Of(l, r))}.Store(outL, outR);
    ASSERT_EQ(Bits(outL), Bits(l.Process(x[n]))) << "frame " << n;
    ASSERT_EQ(Bits(outR), Bits(r.Process(y[n]))) << "frame " << n;
  }
  BiquadSection storedL, storedR;
  paired.StoreHistory(storedL, storedR);
  EXPECT_EQ(Bits(storedL.z1), Bits(l.z1));
  EXPECT_EQ(Bits(storedL.z2), Bits(l.z2));
  EXPECT_EQ(Bits(storedR.z1), Bits(r.z1));
  EXPECT_EQ(Bits(storedR.z2), Bits(r.z2));
}

TEST(PairedSections, ShelvesThroughTheirQuotientsMatchTheScalarSection) {
  // Low and high shelves in either lane, boosts and cuts; the scalar step
  // divides by a0 at every sample, the paired one uses the quotients.
  const std::vector<float> x = Noise<float>(kFrames, 3, 0.9f), y = Noise<float>(kFrames, 4, 0.05f);
  for (auto [l, r] : {std::pair{Shelf(5, 12.0f, 80.0f, 48000.0f), Shelf(6, -9.5f, 6000.0f, 48000.0f)},
                      std::pair{Shelf(6, 15.0f, 2000.0f, 96000.0f), Shelf(5, -15.0f, 400.0f, 44100.0f)}}) {
    SCOPED_TRACE(::testing::Message() << "types " << l.type << " and " << r.type);
    PairedCookbook paired(l, l.Quotients(), r, r.Quotients());
    for (int n = 0; n < kFrames; ++n) {
      float outL, outR;
      FloatLanePair{paired.Process(FloatLanePair::Of(x[n], y[n]).v)}.Store(outL, outR);
      ASSERT_EQ(Bits(outL), Bits(l.Process(x[n]))) << "frame " << n;
      ASSERT_EQ(Bits(outR), Bits(r.Process(y[n]))) << "frame " << n;
    }
    ExpectHistoryStored(paired, l, r);
  }
}

TEST(PairedSections, BellsMatchTheScalarSection) {
  PeakSection l = Bell(9.0, 3200.0, 0.2 + 9.0 / 14.0, 48000.0);
  PeakSection r = Bell(-13.5, 90.0, 0.1 + 13.5 / 13.0, 192000.0);
  const std::vector<double> x = Noise(kFrames, 5, 0.7), y = Noise(kFrames, 6, 1.5);
  PairedPeak paired(l, r);
  for (int n = 0; n < kFrames; ++n) {
    double outL, outR;
    LanePair{paired.Process(LanePair::Of(x[n], y[n]).v)}.Store(outL, outR);
    ASSERT_EQ(Bits(outL), Bits(l.Process(x[n]))) << "frame " << n;
    ASSERT_EQ(Bits(outR), Bits(r.Process(y[n]))) << "frame " << n;
  }
  ExpectHistoryStored(paired, l, r);
}

}  // namespace
#endif
