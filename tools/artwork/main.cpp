// overtonic-artwork: draws every panel bitmap and writes it as <out>/<id>.png (ids 128 and
// 131-209), optionally with a contact sheet of all of them. The output is the same, byte for
// byte, on every run on the same machine.
//
//   overtonic-artwork --out DIR [--contact-sheet FILE]
//
// Exit status: 0 done, 1 something could not be drawn or written, 2 bad command line.
#include "Background.h"
#include "Catalogue.h"
#include "ContactSheet.h"
#include "Fonts.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using namespace artwork;

constexpr const char* kUsage =
    "usage: overtonic-artwork --out DIR [--contact-sheet FILE]\n"
    "  --out DIR             folder that receives <id>.png for ids 128 and 131-209\n"
    "  --contact-sheet FILE  also write one PNG showing every bitmap and a panel preview\n";

struct Options {
  std::string outDir;
  std::string contactSheet;
};

// Parses the command line; false (with a message in `error`) on anything unexpected.
bool parse(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::string* target = nullptr;
    if (arg == "--out") {
      target = &options.outDir;
    } else if (arg == "--contact-sheet") {
      target = &options.contactSheet;
    } else {
      error = "unknown argument \"" + std::string(arg) + "\"";
      return false;
    }
    if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
      error = std::string(arg) + " needs a non-empty value";
      return false;
    }
    *target = argv[++i];
  }
  if (options.outDir.empty()) {
    error = "--out is required";
    return false;
  }
  return true;
}

bool ensureFolder(const std::string& path, std::string& error) {
  std::error_code failure;
  std::filesystem::create_directories(path, failure);
  if (failure || !std::filesystem::is_directory(path, failure)) {
    error = "cannot use output folder " + path + (failure ? ": " + failure.message() : "");
    return false;
  }
  return true;
}

std::vector<DrawnBitmap> drawAll(const Fonts& fonts) {
  std::vector<DrawnBitmap> drawn;
  drawn.push_back({128, 600, drawBackground(fonts)});
  for (const BitmapRecipe& recipe : controlBitmaps()) {
    drawn.push_back({recipe.id, recipe.frameHeight, drawBitmap(recipe, fonts)});
  }
  return drawn;
}

bool writeAll(const std::vector<DrawnBitmap>& drawn, const std::string& outDir,
              std::string& error) {
  for (const DrawnBitmap& b : drawn) {
    const std::string path =
        (std::filesystem::path(outDir) / (std::to_string(b.id) + ".png")).string();
    if (!b.image->writePng(path, error)) {
      return false;
    }
  }
  return true;
}

bool writeSheet(const std::vector<DrawnBitmap>& drawn, const Fonts& fonts, const std::string& path,
                std::string& error) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty() && !ensureFolder(parent.string(), error)) {
    return false;
  }
  return drawContactSheet(drawn, fonts)->writePng(path, error);
}

int run(const Options& options) {
  std::string error;
  if (!ensureFolder(options.outDir, error)) {
    std::fprintf(stderr, "overtonic-artwork: %s\n", error.c_str());
    return 1;
  }
  bool ok = false;
  {
    const std::unique_ptr<Fonts> fonts = Fonts::load(error);
    if (fonts) {
      const std::vector<DrawnBitmap> drawn = drawAll(*fonts);
      ok = writeAll(drawn, options.outDir, error) &&
           (options.contactSheet.empty() || writeSheet(drawn, *fonts, options.contactSheet, error));
    }
  }
  releaseFontCaches();
  if (!ok) {
    std::fprintf(stderr, "overtonic-artwork: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!parse(argc, argv, options, error)) {
    std::fprintf(stderr, "overtonic-artwork: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  return run(options);
}
