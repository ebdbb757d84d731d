// Envelope curves from the command line: `--curve SLOT=FILE` (a text file of up to 385 points) and
// `--curve SLOT=SHAPE:ARGS` (named shapes: constant, ramp, attack-decay, ADSR, vibrato), put into
// the plug-in's current program through its program chunk. Also the names of the 123 slots, for
// messages and `preset show`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "overtonic-host/lib/PluginInstance.h"
#include "overtonic-host/lib/Result.h"
#include "synth/ChunkFormat.h"

namespace hostapp {

using CurvePoints = chunkformat::Curve;

// A curve plays point 1 onward, 0.3 points per curve step of 201 samples at 44.1 kHz (the engine
// keeps the duration at other rates): about 15.2 ms per point, 5.83 s for the whole curve.
inline constexpr double kSecondsPerCurvePoint = 201.0 / (0.3 * 44100.0);

struct CurveRequest {
  int firstSlot = 0;
  int lastSlot = 0;      // SLOT-SLOT gives a range; the same curve goes into each slot
  std::string file;      // empty for a shape
  CurvePoints points{};  // a shape's points, or the file's once read
  std::string text;      // as typed, for messages
};

// "SLOT=FILE" or "SLOT=SHAPE:ARGS"; SLOT is 0-122 or FIRST-LAST. A shape's arguments are checked
// here; a file is read by readCurveFiles.
hostlib::Result<CurveRequest> parseCurveRequest(const std::string& text);
// Points separated by blanks, commas or line ends; '#' starts a comment. 1 to 385 finite
// numbers; points not given are 0.
hostlib::Result<CurvePoints> parseCurveText(const std::string& text, const std::string& name);
hostlib::Status readCurveFiles(std::vector<CurveRequest>& requests);

// Puts every requested curve into the current program: reads the program chunk, replaces the
// slots and hands it back. Fails when the plug-in keeps no chunk of our format or refuses it.
hostlib::Status applyCurves(hostlib::PluginInstance& plugin,
                            const std::vector<CurveRequest>& requests);

// "amplitude, oscillator 3" or "pitch, layer 2 of the even oscillators".
std::string describeSlot(int slot);
// The help lines of the shapes, for --help.
std::string curveShapeHelp();

}  // namespace hostapp
