// WavWriter: a mono WAV file written block by block through libsndfile (32-bit float, 16- or
// 24-bit PCM with clipping instead of wrap-around), under a temporary name until commit().
#pragma once

#include <memory>
#include <span>
#include <string>

#include "overtonic-host/app/Files.h"
#include "overtonic-host/lib/Result.h"

namespace hostapp {

enum class SampleFormat { float32, pcm16, pcm24 };

hostlib::Result<SampleFormat> parseSampleFormat(const std::string& text);  // f32, s16, s24
const char* sampleFormatName(SampleFormat format);

class WavWriter {
 public:
  static hostlib::Result<std::unique_ptr<WavWriter>> create(const std::string& path, int sampleRate,
                                                            SampleFormat format);
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  hostlib::Status write(std::span<const float> samples);
  // Completes the header and closes the temporary file.
  hostlib::Status finish();
  // Renames the finished file onto the target. Without it nothing is left behind.
  hostlib::Status commit() { return file_.commit(); }

 private:
  WavWriter(OutputFile file, void* sound);
  OutputFile file_;
  void* sound_;  // SNDFILE*, kept out of this header
};

}  // namespace hostapp
