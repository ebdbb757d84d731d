// Spectrum and waveform gathering, and the cairo drawing of the plot.
#include "overtonic-host/app/Plot.h"

#include <cairo.h>
#include <fftw3.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "overtonic-host/app/Renderer.h"

namespace hostapp {

using hostlib::fail;
using hostlib::Result;
using hostlib::Status;

namespace {

fftwf_complex* spectrumOut(void* out) { return static_cast<fftwf_complex*>(out); }
fftwf_plan planOf(void* plan) { return static_cast<fftwf_plan>(plan); }

constexpr double kFloorDb = -140;

}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer(int fftSize, int sampleRate)
    : fftSize_(fftSize),
      sampleRate_(sampleRate),
      window_(static_cast<size_t>(fftSize)),
      power(static_cast<size_t>(fftSize / 2 + 1), 0.0) {
  for (int i = 0; i < fftSize; ++i) {
    window_[static_cast<size_t>(i)] =
        static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / fftSize));
  }
  in = fftwf_alloc_real(static_cast<size_t>(fftSize));
  out_ = fftwf_alloc_complex(static_cast<size_t>(fftSize / 2 + 1));
  plan = fftwf_plan_dft_r2c_1d(fftSize, in, spectrumOut(out_), FFTW_ESTIMATE);
  pending.reserve(static_cast<size_t>(fftSize));
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
  fftwf_destroy_plan(planOf(plan));
  fftwf_free(in);
  fftwf_free(out_);
}

void SpectrumAnalyzer::add(std::span<const float> samples) {
  const auto size = static_cast<size_t>(fftSize_);
  for (float sample : samples) {
    pending.push_back(std::isfinite(sample) ? sample : 0.0f);
    if (pending.size() == size) {
      transform();
      // Half overlap: keep the second half as the start of the next window.
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(size / 2));
    }
  }
}

void SpectrumAnalyzer::transform() {
  for (size_t i = 0; i < static_cast<size_t>(fftSize_); ++i) {
    in[i] = i < pending.size() ? pending[i] * window_[i] : 0.0f;
  }
  fftwf_execute(planOf(plan));
  const fftwf_complex* out = spectrumOut(out_);
  for (size_t k = 0; k < power.size(); ++k) {
    const double re = out[k][0];
    const double im = out[k][1];
    power[k] += re * re + im * im;
  }
  ++transforms;
}

std::vector<double> SpectrumAnalyzer::levels() {
  if (transforms == 0 && !pending.empty()) transform();
  // A Hann window sums to fftSize / 2, so a sine of amplitude A gives |X| = A * fftSize / 4.
  const double fullScale = fftSize_ / 4.0;
  std::vector<double> result(power.size(), kFloorDb);
  if (transforms == 0) return result;
  for (size_t k = 0; k < power.size(); ++k) {
    const double magnitude = std::sqrt(power[k] / static_cast<double>(transforms)) / fullScale;
    result[k] = magnitude > 0 ? std::max(kFloorDb, 20 * std::log10(magnitude)) : kFloorDb;
  }
  return result;
}

double SpectrumAnalyzer::peakFrequency() {
  const std::vector<double> db = levels();
  const auto loudest = std::max_element(db.begin() + 1, db.end());
  if (*loudest <= kFloorDb) return 0;
  const auto k = static_cast<size_t>(loudest - db.begin());
  double offset = 0;
  if (k + 1 < db.size()) {
    const double a = db[k - 1], b = db[k], c = db[k + 1];
    const double denominator = a - 2 * b + c;
    if (denominator < 0) offset = 0.5 * (a - c) / denominator;
  }
  return (static_cast<double>(k) + offset) * binHz();
}

WaveformEnvelope::WaveformEnvelope(int columns, int64_t totalFrames)
    : totalFrames_(std::max<int64_t>(totalFrames, 1)),
      min(static_cast<size_t>(columns), 0.0f),
      max(static_cast<size_t>(columns), 0.0f) {}

void WaveformEnvelope::add(std::span<const float> samples) {
  const auto columns = static_cast<int64_t>(min.size());
  for (float sample : samples) {
    const int64_t column = std::min(frame_ * columns / totalFrames_, columns - 1);
    ++frame_;
    if (!std::isfinite(sample)) continue;
    auto& low = min[static_cast<size_t>(column)];
    auto& high = max[static_cast<size_t>(column)];
    low = std::min(low, sample);
    high = std::max(high, sample);
  }
}

namespace {

struct Area {
  double left, top, width, height;
};

constexpr Area kWaveArea{70, 50, kPlotColumns, 300};
constexpr Area kSpectrumArea{70, 430, kPlotColumns, 320};
constexpr double kSpectrumLowHz = 20;
constexpr double kSpectrumTopDb = 0;
constexpr double kSpectrumBottomDb = -120;

void setColor(cairo_t* cr, double grey) { cairo_set_source_rgb(cr, grey, grey, grey); }

void text(cairo_t* cr, double x, double y, const std::string& s, double size = 12) {
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, s.c_str());
}

void frame(cairo_t* cr, const Area& a, const char* caption) {
  setColor(cr, 0.97);
  cairo_rectangle(cr, a.left, a.top, a.width, a.height);
  cairo_fill_preserve(cr);
  setColor(cr, 0.3);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  text(cr, a.left, a.top - 8, caption, 13);
}

void drawWaveform(cairo_t* cr, const WaveformEnvelope& wave, const PlotInfo& info) {
  const double scale = info.peak > 0 ? info.peak : 1.0;
  char caption[96];
  std::snprintf(caption, sizeof caption, "Waveform (vertical scale +/- %.4g)", scale);
  frame(cr, kWaveArea, caption);
  const double middle = kWaveArea.top + kWaveArea.height / 2;
  const double half = kWaveArea.height / 2 - 2;
  setColor(cr, 0.8);
  cairo_move_to(cr, kWaveArea.left, middle);
  cairo_line_to(cr, kWaveArea.left + kWaveArea.width, middle);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.3, 0.7);
  for (size_t x = 0; x < wave.minimum().size(); ++x) {
    const double px = kWaveArea.left + static_cast<double>(x) + 0.5;
    cairo_move_to(cr, px, middle - static_cast<double>(wave.maximum()[x]) / scale * half);
    cairo_line_to(cr, px, middle - static_cast<double>(wave.minimum()[x]) / scale * half + 0.5);
  }
  cairo_stroke(cr);
  setColor(cr, 0.2);
  const double seconds = static_cast<double>(info.frames) / info.sampleRate;
  for (int i = 0; i <= 4; ++i) {
    char label[32];
    std::snprintf(label, sizeof label, "%.3g s", seconds * i / 4);
    text(cr, kWaveArea.left + kWaveArea.width * i / 4 - (i == 4 ? 40 : 0),
         kWaveArea.top + kWaveArea.height + 16, label);
  }
}

double spectrumX(double hz, double topHz) {
  return kSpectrumArea.left +
         kSpectrumArea.width * std::log(hz / kSpectrumLowHz) / std::log(topHz / kSpectrumLowHz);
}

double spectrumY(double db) {
  const double clamped = std::clamp(db, kSpectrumBottomDb, kSpectrumTopDb);
  return kSpectrumArea.top +
         kSpectrumArea.height * (kSpectrumTopDb - clamped) / (kSpectrumTopDb - kSpectrumBottomDb);
}

void drawSpectrum(cairo_t* cr, SpectrumAnalyzer& spectrum) {
  frame(cr, kSpectrumArea, "Spectrum (dBFS, averaged)");
  const double topHz = spectrum.sampleRate() / 2.0;
  setColor(cr, 0.85);
  for (double db = kSpectrumTopDb; db >= kSpectrumBottomDb; db -= 20) {
    cairo_move_to(cr, kSpectrumArea.left, spectrumY(db));
    cairo_line_to(cr, kSpectrumArea.left + kSpectrumArea.width, spectrumY(db));
  }
  for (double hz : {100.0, 1000.0, 10000.0}) {
    cairo_move_to(cr, spectrumX(hz, topHz), kSpectrumArea.top);
    cairo_line_to(cr, spectrumX(hz, topHz), kSpectrumArea.top + kSpectrumArea.height);
  }
  cairo_stroke(cr);
  setColor(cr, 0.2);
  for (double db = kSpectrumTopDb; db >= kSpectrumBottomDb; db -= 20) {
    text(cr, kSpectrumArea.left - 45, spectrumY(db) + 4, std::to_string(static_cast<int>(db)));
  }
  for (double hz : {20.0, 100.0, 1000.0, 10000.0}) {
    text(cr, spectrumX(hz, topHz) - 10, kSpectrumArea.top + kSpectrumArea.height + 16,
         hz >= 1000 ? std::to_string(static_cast<int>(hz / 1000)) + " kHz"
                    : std::to_string(static_cast<int>(hz)) + " Hz");
  }
  const std::vector<double> db = spectrum.levels();
  cairo_save(cr);
  cairo_rectangle(cr, kSpectrumArea.left, kSpectrumArea.top, kSpectrumArea.width,
                  kSpectrumArea.height);
  cairo_clip(cr);
  cairo_set_source_rgb(cr, 0.7, 0.2, 0.1);
  bool started = false;
  for (size_t k = 1; k < db.size(); ++k) {
    const double hz = static_cast<double>(k) * spectrum.binHz();
    if (hz < kSpectrumLowHz) continue;
    const double x = spectrumX(hz, topHz);
    if (!started)
      cairo_move_to(cr, x, spectrumY(db[k]));
    else
      cairo_line_to(cr, x, spectrumY(db[k]));
    started = true;
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

cairo_status_t writeToOutput(void* closure, const unsigned char* data, unsigned int length) {
  auto* file = static_cast<OutputFile*>(closure);
  return file->write(std::span<const unsigned char>(data, length)) ? CAIRO_STATUS_SUCCESS
                                                                   : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

Result<OutputFile> drawPlot(const std::string& path, const PlotInfo& info,
                            const WaveformEnvelope& waveform, SpectrumAnalyzer& spectrum) {
  auto file = OutputFile::create(path);
  if (!file.ok()) return fail(file.error());
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight);
  cairo_t* cr = cairo_create(surface);
  setColor(cr, 1.0);
  cairo_paint(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  char heading[256];
  std::snprintf(heading, sizeof heading, "%s   %.3f s at %d Hz   peak %s   RMS %s",
                info.title.c_str(), static_cast<double>(info.frames) / info.sampleRate,
                info.sampleRate, formatDecibelsFullScale(info.peak).c_str(),
                formatDecibelsFullScale(info.rms).c_str());
  setColor(cr, 0.0);
  text(cr, kWaveArea.left, 22, heading, 15);
  drawWaveform(cr, waveform, info);
  drawSpectrum(cr, spectrum);
  const cairo_status_t drawn = cairo_status(cr);
  cairo_destroy(cr);
  const cairo_status_t written =
      drawn == CAIRO_STATUS_SUCCESS
          ? cairo_surface_write_to_png_stream(surface, writeToOutput, &file.value())
          : drawn;
  cairo_surface_destroy(surface);
  if (written != CAIRO_STATUS_SUCCESS) {
    return fail(path + ": cannot write the plot (" + cairo_status_to_string(written) + ")");
  }
  return std::move(file).value();
}

void releaseDrawingCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace hostapp
