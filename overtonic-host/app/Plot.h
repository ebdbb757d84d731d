// The render plot: a waveform overview (minimum and maximum per pixel column) and an averaged
// magnitude spectrum (Hann-windowed FFTs with half overlap, FFTW), both gathered block by block
// while rendering, drawn with cairo into a PNG.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "overtonic-host/app/Files.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

class SpectrumAnalyzer {
 public:
  SpectrumAnalyzer(int fftSize, int sampleRate);
  ~SpectrumAnalyzer();
  SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
  SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

  void add(std::span<const float> samples);
  // Level per bin (0 … fftSize / 2) in dBFS: a full-scale sine reads 0 dB in its bin. Audio
  // shorter than one FFT is zero-padded.
  std::vector<double> levels();
  double binHz() const { return static_cast<double>(sampleRate_) / fftSize_; }
  // Frequency of the loudest bin, refined by parabolic interpolation; 0 for silence.
  double peakFrequency();
  int sampleRate() const { return sampleRate_; }

 private:
  void transform();
  int fftSize_;
  int sampleRate_;
  std::vector<float> window_;
  std::vector<float> pending;  // samples not yet transformed
  std::vector<double> power;   // summed power per bin
  int64_t transforms = 0;
  float* in = nullptr;  // FFTW buffers and plan
  void* out_ = nullptr;
  void* plan = nullptr;
};

class WaveformEnvelope {
 public:
  WaveformEnvelope(int columns, int64_t totalFrames);
  void add(std::span<const float> samples);
  const std::vector<float>& minimum() const { return min; }
  const std::vector<float>& maximum() const { return max; }

 private:
  int64_t totalFrames_;
  int64_t frame_ = 0;
  std::vector<float> min;
  std::vector<float> max;
};

struct PlotInfo {
  std::string title;  // e.g. the output file name
  int sampleRate = 44100;
  int64_t frames = 0;
  double peak = 0;
  double rms = 0;
};

inline constexpr int kPlotWidth = 1200;
inline constexpr int kPlotHeight = 800;
inline constexpr int kPlotColumns = 1100;  // waveform columns inside the frame

// Draws both panels and writes the PNG into a temporary file, returned uncommitted: the caller
// renames it into place once everything else has succeeded.
hostlib::Result<OutputFile> drawPlot(const std::string& path, const PlotInfo& info,
                                     const WaveformEnvelope& waveform, SpectrumAnalyzer& spectrum);

// Frees cairo's and fontconfig's process-wide caches (fonts above all), so that leak checks see
// only real leaks. Call when no cairo object is alive any more; drawing later starts afresh.
void releaseDrawingCaches();

// Releases those caches when it goes: declared first in a command whose plug-in draws (its
// editor's text), so that it goes last, after the plug-in.
struct DrawingCachesReleasedAtEnd {
  DrawingCachesReleasedAtEnd() = default;
  DrawingCachesReleasedAtEnd(const DrawingCachesReleasedAtEnd&) = delete;
  DrawingCachesReleasedAtEnd& operator=(const DrawingCachesReleasedAtEnd&) = delete;
  ~DrawingCachesReleasedAtEnd() { releaseDrawingCaches(); }
};

}  // namespace hostapp
