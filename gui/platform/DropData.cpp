// URI lists into file names, and symbolic links resolved the way a dropped shortcut is.
#include "gui/platform/DropData.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes %XX escapes; nullopt for a broken escape or a zero byte, escaped or not.
std::optional<std::string> percentDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = hexValue(text[i + 1]);
      const int low = hexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      i += 2;
    }
    if (c == '\0') return std::nullopt;
    decoded += c;
  }
  return decoded;
}

bool isLocalHost(std::string_view host, std::string_view localHost) {
  return host.empty() || equalIgnoringCase(host, "localhost") ||
         (!localHost.empty() && equalIgnoringCase(host, localHost));
}

}  // namespace

std::string localHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::optional<std::string> fileNameFromUri(std::string_view uri, std::string_view localHost) {
  constexpr std::string_view kScheme = "file:";
  if (uri.size() < kScheme.size() || !equalIgnoringCase(uri.substr(0, kScheme.size()), kScheme)) {
    return std::nullopt;
  }
  std::string_view rest = uri.substr(kScheme.size());
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    if (!isLocalHost(rest.substr(0, slash), localHost)) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest[0] != '/') return std::nullopt;
  std::optional<std::string> name = percentDecoded(rest);
  if (!name || name->size() > kMaxDropNameBytes) return std::nullopt;
  return name;
}

std::vector<std::string> fileNamesFromUriList(std::string_view list, std::string_view localHost) {
  std::vector<std::string> names;
  while (!list.empty()) {
    const std::size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view{} : list.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    if (line.find('\0') != std::string_view::npos) continue;
    if (std::optional<std::string> name = fileNameFromUri(line, localHost)) {
      names.push_back(resolveDroppedLink(*name));
    }
  }
  return names;
}

std::string resolveDroppedLink(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr), &std::free);
  if (!target) return path;
  std::string resolved(target.get());
  return resolved.size() <= kMaxDropNameBytes ? resolved : path;
}
