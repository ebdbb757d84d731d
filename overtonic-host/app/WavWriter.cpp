// WAV output through libsndfile on the descriptor of a temporary OutputFile.
#include "overtonic-host/app/WavWriter.h"

#include <sndfile.h>

#include <utility>

namespace hostapp {

using hostlib::fail;
using hostlib::Result;
using hostlib::Status;

Result<SampleFormat> parseSampleFormat(const std::string& text) {
  if (text == "f32") return SampleFormat::float32;
  if (text == "s16") return SampleFormat::pcm16;
  if (text == "s24") return SampleFormat::pcm24;
  return fail("'" + text + "' is not a sample format (f32, s16 or s24)");
}

const char* sampleFormatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::float32: return "32-bit float";
    case SampleFormat::pcm16: return "16-bit PCM";
    case SampleFormat::pcm24: return "24-bit PCM";
  }
  return "?";
}

namespace {

int sndfileFormat(SampleFormat format) {
  switch (format) {
    case SampleFormat::pcm16: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SampleFormat::pcm24: return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    case SampleFormat::float32: break;
  }
  return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

SNDFILE* handle(void* sound) { return static_cast<SNDFILE*>(sound); }

}  // namespace

WavWriter::WavWriter(OutputFile file, void* sound) : file_(std::move(file)), sound_(sound) {}

WavWriter::~WavWriter() {
  if (sound_ != nullptr) sf_close(handle(sound_));  // the OutputFile then removes the file
}

Result<std::unique_ptr<WavWriter>> WavWriter::create(const std::string& path, int sampleRate,
                                                     SampleFormat format) {
  auto file = OutputFile::create(path);
  if (!file.ok()) return fail(file.error());
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = sndfileFormat(format);
  // The descriptor stays ours: the OutputFile closes it (checked) when committing.
  SNDFILE* sound = sf_open_fd(file.value().descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (sound == nullptr) return fail(path + ": cannot write WAV (" + sf_strerror(nullptr) + ")");
  if (format != SampleFormat::float32) sf_command(sound, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return std::unique_ptr<WavWriter>(new WavWriter(std::move(file).value(), sound));
}

Status WavWriter::write(std::span<const float> samples) {
  if (sound_ == nullptr) return fail(file_.path() + ": already finished");
  const auto count = static_cast<sf_count_t>(samples.size());
  if (sf_write_float(handle(sound_), samples.data(), count) != count) {
    return fail(file_.path() + ": cannot write (" + sf_strerror(handle(sound_)) + ")");
  }
  return {};
}

Status WavWriter::finish() {
  if (sound_ == nullptr) return fail(file_.path() + ": already finished");
  sf_write_sync(handle(sound_));
  const int error = sf_error(handle(sound_));
  const std::string message = error != 0 ? sf_strerror(handle(sound_)) : "";
  const int closed = sf_close(handle(std::exchange(sound_, nullptr)));
  if (error != 0 || closed != 0) {
    return fail(file_.path() + ": cannot write (" +
                (error != 0 ? message : sf_error_number(closed)) + ")");
  }
  return {};
}

}  // namespace hostapp
