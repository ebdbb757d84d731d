// Tests of the plot: the spectrum analyser measured on sines of known frequency and level, the
// waveform overview, and the PNG it writes.
#include <cairo.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "overtonic-host/app/Plot.h"
#include "tests/hostprog/TestSupport.h"

namespace {

using namespace hostapp;
using namespace hostprogtest;

std::vector<float> sine(double hz, double amplitude, int rate, size_t frames) {
  std::vector<float> out(frames);
  for (size_t i = 0; i < frames; ++i) {
    out[i] = static_cast<float>(
        amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
  }
  return out;
}

struct SineCase {
  double hz;
  double amplitude;
  int rate;
  size_t frames;
};

TEST(SpectrumAnalyzer, FindsTheFrequencyAndLevelOfASine) {
  const std::vector<SineCase> cases = {{440.0, 1.0, 44100, 44100},
                                       {1000.0, 0.5, 48000, 30000},
                                       {261.63, 0.25, 44100, 5000},  // shorter than one FFT
                                       {12543.85, 1.0, 96000, 96000}};
  for (const SineCase& c : cases) {
    SpectrumAnalyzer analyzer(8192, c.rate);
    const std::vector<float> signal = sine(c.hz, c.amplitude, c.rate, c.frames);
    // Fed in uneven blocks, as a render delivers it.
    for (size_t at = 0; at < signal.size(); at += 333) {
      analyzer.add(
          std::span<const float>(signal).subspan(at, std::min<size_t>(333, signal.size() - at)));
    }
    EXPECT_NEAR(analyzer.peakFrequency(), c.hz, analyzer.binHz() * 0.1) << c.hz << " Hz";
    const std::vector<double> levels = analyzer.levels();
    const double loudest = *std::max_element(levels.begin(), levels.end());
    const double expectedDb = 20 * std::log10(c.amplitude);
    // A Hann window reads a sine between bins up to 1.5 dB low; a short signal is zero-padded.
    const double allowance = c.frames < 8192 ? 20 * std::log10(8192.0 / c.frames) + 1.5 : 1.5;
    EXPECT_LE(loudest, expectedDb + 0.1) << c.hz << " Hz";
    EXPECT_GE(loudest, expectedDb - allowance) << c.hz << " Hz";
  }
}

TEST(SpectrumAnalyzer, SilenceHasNoPeak) {
  SpectrumAnalyzer analyzer(1024, 44100);
  analyzer.add(std::vector<float>(5000, 0.0f));
  EXPECT_EQ(analyzer.peakFrequency(), 0.0);
  SpectrumAnalyzer nothing(1024, 44100);
  EXPECT_EQ(nothing.peakFrequency(), 0.0) << "no audio at all";
}

TEST(WaveformEnvelope, KeepsMinimumAndMaximumPerColumn) {
  WaveformEnvelope wave(4, 8);
  wave.add(std::vector<float>{0.5f, -0.25f, 1.0f});
  wave.add(std::vector<float>{0.0f, -1.0f, NAN, 0.25f, 0.75f});
  EXPECT_THAT(wave.maximum(), ::testing::ElementsAre(0.5f, 1.0f, 0.0f, 0.75f));
  EXPECT_THAT(wave.minimum(), ::testing::ElementsAre(-0.25f, 0.0f, -1.0f, 0.0f));
}

TEST(Plot, WritesAPngOfTheFixedSizeOnlyWhenCommitted) {
  TempFolder folder;
  const std::vector<float> signal = sine(440, 0.8, 44100, 20000);
  WaveformEnvelope wave(kPlotColumns, static_cast<int64_t>(signal.size()));
  SpectrumAnalyzer spectrum(8192, 44100);
  wave.add(signal);
  spectrum.add(signal);
  const std::string path = folder.path("plot.png");
  auto plot = drawPlot(path, {"test.wav", 44100, static_cast<int64_t>(signal.size()), 0.8, 0.56},
                       wave, spectrum);
  releaseDrawingCaches();
  ASSERT_TRUE(plot.ok()) << plot.error();
  EXPECT_FALSE(fs::exists(path));
  ASSERT_TRUE(plot.value().commit().ok());
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), kPlotWidth);
  EXPECT_EQ(cairo_image_surface_get_height(png), kPlotHeight);
  cairo_surface_destroy(png);
}

TEST(Plot, UnwritablePlotIsAnError) {
  TempFolder folder;
  WaveformEnvelope wave(kPlotColumns, 1);
  SpectrumAnalyzer spectrum(1024, 44100);
  auto plot = drawPlot(folder.path("no/such/folder/plot.png"), {}, wave, spectrum);
  releaseDrawingCaches();
  ASSERT_FALSE(plot.ok());
  EXPECT_THAT(plot.error(), ::testing::HasSubstr("plot.png: cannot create"));
}

}  // namespace
