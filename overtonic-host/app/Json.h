// JSON for the `--json` outputs, on nlohmann-json: keys in the order they are written, numbers as
// the shortest text that reads back the same float, NaN and infinities as null. A plug-in's
// texts go in through jsonText, which keeps every byte visible: valid UTF-8 as it is, any other
// byte as the character with that code (as if the text were Latin-1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace hostapp {

using Json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool,
                                  std::int64_t, std::uint64_t, float>;

// A text from a plug-in or the command line as a JSON string.
Json jsonText(const std::string& bytes);

// The document with two-space indentation and a final newline.
std::string jsonDocument(const Json& document);

}  // namespace hostapp
