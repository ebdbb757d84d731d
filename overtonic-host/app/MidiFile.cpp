// Standard MIDI file parsing: header, track chunks (others skipped), variable-length delta times,
// running status, SysEx and meta events (tempo kept), then a stable merge of all tracks and an
// exact tick-to-sample conversion through the tempo map.
#include "overtonic-host/app/MidiFile.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "overtonic-host/app/Files.h"
#include "overtonic-host/app/Values.h"

namespace hostapp {

using hostlib::fail;
using hostlib::Failure;
using hostlib::Result;
using hostlib::Status;

namespace {

constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kMetaTempo = 0x51;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kSysEx = 0xF0;
constexpr uint8_t kSysExContinuation = 0xF7;
constexpr int kMaxVlqBytes = 4;
constexpr WideInt kMicrosPerSecond = 1000000;
constexpr uint32_t kDefaultTempo = 500000;  // 120 beats per minute until the first tempo event

// Data bytes that follow a channel status: one for program change and channel pressure.
uint8_t dataLength(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

std::string hexByte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

}  // namespace

// Reads one file; `failure` holds the first error, which ends the parse.
class MidiParser {
 public:
  MidiParser(std::span<const unsigned char> data, std::string name)
      : data_(data), name_(std::move(name)) {}

  Result<MidiFile> run() {
    MidiFile file;
    if (Status s = readHeader(file); !s) return fail(s.error());
    int tracksRead = 0;
    while (tracksRead < file.trackCount_ && pos < data_.size()) {
      const size_t chunkStart = pos;
      if (data_.size() - pos < 8) return error(chunkStart, "truncated chunk header");
      const bool isTrack = std::equal(data_.begin() + pos, data_.begin() + pos + 4, "MTrk");
      const uint32_t length = bigEndian32(pos + 4);
      pos += 8;
      if (length > data_.size() - pos) {
        return error(chunkStart, "chunk says " + std::to_string(length) + " bytes, only " +
                                     std::to_string(data_.size() - pos) + " remain");
      }
      const size_t end = pos + length;
      if (isTrack) {
        if (Status s = readTrack(file, static_cast<uint16_t>(tracksRead), end); !s) {
          return fail(s.error());
        }
        ++tracksRead;
      }
      pos = end;  // chunks of other types are skipped
    }
    if (tracksRead < file.trackCount_) {
      return error(pos, "header announces " + std::to_string(file.trackCount_) +
                            " tracks, the file holds " + std::to_string(tracksRead));
    }
    auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(file.events_.begin(), file.events_.end(), byTick);
    std::stable_sort(file.tempos_.begin(), file.tempos_.end(), byTick);
    file.buildTempoMap();
    if (!file.events_.empty()) {
      const MidiFileEvent& last = file.events_.back();
      const double seconds = file.secondsAt(last.tick);
      if (seconds > kMaxRenderSeconds) {
        char text[96];
        std::snprintf(text, sizeof text, "event at %.0f s lies beyond the %.0f s limit", seconds,
                      kMaxRenderSeconds);
        return error(last.fileOffset, text);
      }
    }
    return file;
  }

 private:
  Failure error(size_t offset, const std::string& reason) const {
    return fail(name_ + ": offset " + std::to_string(offset) + ": " + reason);
  }

  uint32_t bigEndian32(size_t at) const {
    return static_cast<uint32_t>(data_[at]) << 24 | static_cast<uint32_t>(data_[at + 1]) << 16 |
           static_cast<uint32_t>(data_[at + 2]) << 8 | data_[at + 3];
  }
  uint16_t bigEndian16(size_t at) const {
    return static_cast<uint16_t>(data_[at] << 8 | data_[at + 1]);
  }

  Status readHeader(MidiFile& file) {
    if (data_.size() < 14 || !std::equal(data_.begin(), data_.begin() + 4, "MThd")) {
      return fail(name_ + ": not a standard MIDI file (no MThd header)");
    }
    const uint32_t length = bigEndian32(4);
    if (length < 6) return error(4, "header length " + std::to_string(length) + " (6 expected)");
    if (length > data_.size() - 8)
      return error(4, "header says " + std::to_string(length) + " bytes, the file is shorter");
    file.format_ = bigEndian16(8);
    file.trackCount_ = bigEndian16(10);
    const uint16_t division = bigEndian16(12);
    if (file.format_ == 2) return error(8, "format 2 (independent sequences) is not supported");
    if (file.format_ > 2) return error(8, "unknown format " + std::to_string(file.format_));
    if (file.trackCount_ == 0) return error(10, "no tracks");
    if (file.format_ == 0 && file.trackCount_ != 1) {
      return error(10, "format 0 with " + std::to_string(file.trackCount_) + " tracks");
    }
    if (Status s = readDivision(file, division); !s) return s;
    pos = 8 + length;
    return {};
  }

  Status readDivision(MidiFile& file, uint16_t division) {
    if ((division & 0x8000) == 0) {
      if (division == 0) return error(12, "division of 0 ticks per quarter note");
      file.ticksPerQuarter = division;
      return {};
    }
    const int fps = -static_cast<int8_t>(division >> 8);
    if (fps != 24 && fps != 25 && fps != 29 && fps != 30) {
      return error(12, "SMPTE division with " + std::to_string(fps) + " frames per second");
    }
    file.smpteFramesPerSecond = fps;
    file.ticksPerFrame = division & 0xFF;
    if (file.ticksPerFrame == 0) return error(13, "SMPTE division with 0 ticks per frame");
    return {};
  }

  // A variable-length quantity of at most four bytes, inside [pos, end).
  Result<uint32_t> readVlq(size_t end, const char* what) {
    const size_t start = pos;
    uint32_t value = 0;
    for (int i = 0; i < kMaxVlqBytes; ++i) {
      if (pos >= end) return error(start, std::string("track ends inside a ") + what);
      const uint8_t byte = data_[pos++];
      value = value << 7 | (byte & 0x7F);
      if ((byte & 0x80) == 0) return value;
    }
    return error(start, std::string(what) + " longer than 4 bytes");
  }

  Status readTrack(MidiFile& file, uint16_t track, size_t end) {
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (pos < end) {
      auto delta = readVlq(end, "delta time");
      if (!delta.ok()) return fail(delta.error());
      tick += delta.value();
      if (pos >= end) return error(pos, "track ends after a delta time, before its event");
      const size_t eventStart = pos;
      const uint8_t first = data_[pos];
      if (first == kMetaEvent) {
        runningStatus = 0;
        ++pos;
        bool endOfTrack = false;
        if (Status s = readMeta(file, tick, end, endOfTrack); !s) return s;
        if (endOfTrack) return {};
      } else if (first == kSysEx || first == kSysExContinuation) {
        runningStatus = 0;
        ++pos;
        auto length = readVlq(end, "SysEx length");
        if (!length.ok()) return fail(length.error());
        if (length.value() > end - pos) return error(eventStart, "SysEx runs past the track's end");
        pos += length.value();
      } else if (first >= 0xF0) {
        return error(eventStart, "system message " + hexByte(first) + " is not allowed in a file");
      } else {
        if (first & 0x80) {
          runningStatus = first;
          ++pos;
        } else if (runningStatus == 0) {
          return error(eventStart, "data byte " + hexByte(first) + " without a status byte");
        }
        if (Status s = readChannelMessage(file, track, tick, runningStatus, eventStart, end); !s) {
          return s;
        }
      }
    }
    return {};
  }

  Status readChannelMessage(MidiFile& file, uint16_t track, uint64_t tick, uint8_t status,
                            size_t eventStart, size_t end) {
    MidiFileEvent event;
    event.tick = tick;
    event.track = track;
    event.fileOffset = eventStart;
    event.bytes[0] = status;
    event.size = static_cast<uint8_t>(1 + dataLength(status));
    for (uint8_t i = 1; i < event.size; ++i) {
      if (pos >= end)
        return error(eventStart, "track ends inside a " + hexByte(status) + " message");
      const uint8_t byte = data_[pos];
      if (byte & 0x80) {
        return error(pos, "status byte " + hexByte(byte) + " where a data byte of " +
                              hexByte(status) + " belongs");
      }
      event.bytes[i] = byte;
      ++pos;
    }
    file.events_.push_back(event);
    return {};
  }

  Status readMeta(MidiFile& file, uint64_t tick, size_t end, bool& endOfTrack) {
    const size_t start = pos - 1;
    if (pos >= end) return error(start, "track ends inside a meta event");
    const uint8_t type = data_[pos++];
    auto length = readVlq(end, "meta event length");
    if (!length.ok()) return fail(length.error());
    if (length.value() > end - pos) return error(start, "meta event runs past the track's end");
    if (type == kMetaTempo) {
      if (length.value() != 3) {
        return error(start,
                     "tempo event of " + std::to_string(length.value()) + " bytes (3 expected)");
      }
      const uint32_t micros = static_cast<uint32_t>(data_[pos]) << 16 |
                              static_cast<uint32_t>(data_[pos + 1]) << 8 | data_[pos + 2];
      if (micros == 0) return error(start, "tempo of 0 microseconds per quarter note");
      file.tempos_.push_back(TempoChange{tick, micros});
    }
    pos += length.value();
    endOfTrack = type == kMetaEndOfTrack;
    return {};
  }

  std::span<const unsigned char> data_;
  std::string name_;
  size_t pos = 0;
};

Result<MidiFile> MidiFile::parse(std::span<const unsigned char> data, const std::string& name) {
  return MidiParser(data, name).run();
}

Result<MidiFile> MidiFile::read(const std::string& path) {
  auto data = readWholeFile(path, kMaxMidiFileBytes, "MIDI file");
  if (!data.ok()) return fail(data.error());
  return parse(data.value(), path);
}

MidiFile::ExactTime MidiFile::exactMicros(uint64_t tick) const {
  if (ticksPerQuarter == 0) {
    // SMPTE: fixed ticks per second; 29 stands for 29.97 (30000 / 1001) frames per second.
    const WideInt fpsNumerator = smpteFramesPerSecond == 29 ? 30000 : smpteFramesPerSecond;
    const WideInt fpsDenominator = smpteFramesPerSecond == 29 ? 1001 : 1;
    return {static_cast<WideInt>(tick) * kMicrosPerSecond * fpsDenominator,
            fpsNumerator * ticksPerFrame};
  }
  // The last tempo change at or before the tick (at one tick the later change wins).
  auto after = std::upper_bound(tempos_.begin(), tempos_.end(), tick,
                                [](uint64_t t, const TempoChange& c) { return t < c.tick; });
  if (after == tempos_.begin()) {
    return {static_cast<WideInt>(tick) * kDefaultTempo, ticksPerQuarter};
  }
  const auto i = static_cast<size_t>(after - tempos_.begin() - 1);
  return {
      tempoStart[i] + static_cast<WideInt>(tick - tempos_[i].tick) * tempos_[i].microsPerQuarter,
      ticksPerQuarter};
}

void MidiFile::buildTempoMap() {
  tempoStart.assign(tempos_.size(), 0);
  WideInt micros = 0;
  uint64_t at = 0;
  uint32_t tempo = kDefaultTempo;
  for (size_t i = 0; i < tempos_.size(); ++i) {
    micros += static_cast<WideInt>(tempos_[i].tick - at) * tempo;
    tempoStart[i] = micros;
    at = tempos_[i].tick;
    tempo = tempos_[i].microsPerQuarter;
  }
}

double MidiFile::secondsAt(uint64_t tick) const {
  const ExactTime t = exactMicros(tick);
  return static_cast<double>(t.numerator) / static_cast<double>(t.denominator) / 1e6;
}

int64_t MidiFile::frameAt(uint64_t tick, int64_t sampleRate) const {
  const ExactTime t = exactMicros(tick);
  const WideInt scaled = t.numerator * sampleRate;
  const WideInt divisor = t.denominator * kMicrosPerSecond;
  return static_cast<int64_t>((2 * scaled + divisor) / (2 * divisor));  // round half up
}

double MidiFile::lastNoteSeconds() const {
  auto isNote = [](const MidiFileEvent& e) {
    const uint8_t kind = e.bytes[0] & 0xF0;
    return kind == 0x80 || kind == 0x90;
  };
  auto last = std::find_if(events_.rbegin(), events_.rend(), isNote);
  if (last != events_.rend()) return secondsAt(last->tick);
  return events_.empty() ? 0.0 : secondsAt(events_.back().tick);
}

std::vector<TimedMidiEvent> MidiFile::schedule(int64_t sampleRate) const {
  std::vector<TimedMidiEvent> timed;
  timed.reserve(events_.size());
  for (const MidiFileEvent& e : events_) {
    TimedMidiEvent t;
    t.frame = frameAt(e.tick, sampleRate);
    std::copy(std::begin(e.bytes), std::end(e.bytes), std::begin(t.bytes));
    t.size = e.size;
    timed.push_back(t);
  }
  return timed;
}

}  // namespace hostapp
