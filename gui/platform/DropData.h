// What a drop's data means, independent of the window system's protocol: a `text/uri-list`
// (RFC 2483: one URI a line, CR LF or LF, '#' comment lines) turned into local file names, and
// the symbolic-link rule for dropped names. Only local `file:` URIs count (no host, "localhost"
// or this machine's name); a line with another scheme, a remote host, a broken percent escape, a
// zero byte, or a name longer than kMaxDropNameBytes is left out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Longest file name handed to a view (bytes, without the terminating zero). A longer name is
// left out rather than cut, since a cut name would name another file.
constexpr std::size_t kMaxDropNameBytes = 1023;

// This machine's name, as file URIs from local programs may carry it.
std::string localHostName();

// The local file name a URI stands for, percent escapes decoded; nullopt when it is none.
std::optional<std::string> fileNameFromUri(std::string_view uri, std::string_view localHost);

// Every usable file name of a URI list, in order, each passed through resolveDroppedLink.
std::vector<std::string> fileNamesFromUriList(std::string_view list, std::string_view localHost);

// A name that is a symbolic link becomes the path of what it finally points to; a broken link,
// a loop, or a target whose path is too long keeps the link's own name.
std::string resolveDroppedLink(const std::string& path);
