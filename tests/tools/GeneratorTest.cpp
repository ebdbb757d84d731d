// The artwork generator as a black box: it reproduces the committed PNGs byte for byte (so the
// committed files are up to date and the output is reproducible), writes a contact sheet, and
// fails with a message and a non-zero status on a bad command line or an unwritable place.
#include "PngImage.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace artwork_test {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status;  // exit status, or -1 when the tool did not exit normally
  std::string errors;
};

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    return {};
  }
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return in ? bytes : std::string();
}

// A fresh folder under the system's temporary folder, removed with its content at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "overtonic-artwork-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs the generator with `args`, its error output going to a file in `scratch`; `extraEnvironment`
// ("NAME=value" entries) is added to this process's environment.
RunResult runGenerator(const std::vector<std::string>& args, const fs::path& scratch,
                       const std::vector<std::string>& extraEnvironment = {}) {
  const fs::path errorFile = scratch / "stderr.txt";
  std::vector<std::string> words{OVERTONIC_ARTWORK_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) {
    argv.push_back(w.data());
  }
  argv.push_back(nullptr);
  std::vector<std::string> extra = extraEnvironment;
  std::vector<char*> envp;
  for (std::string& e : extra) {
    envp.push_back(e.data());
  }
  for (char** e = environ; *e != nullptr; ++e) {
    envp.push_back(*e);
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return {-1, "cannot start " + std::string(OVERTONIC_ARTWORK_PATH)};
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return {-1, readFile(errorFile)};
  }
  return {WEXITSTATUS(status), readFile(errorFile)};
}

std::vector<int> designedIds() {
  std::vector<int> ids{128};
  for (int id = 131; id <= 209; ++id) {
    ids.push_back(id);
  }
  return ids;
}

TEST(ArtworkGenerator, ReproducesTheCommittedBitmapsByteForByte) {
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path out = scratch.path() / "resources";
  const RunResult result = runGenerator({"--out", out.string()}, scratch.path());
  ASSERT_EQ(result.status, 0) << result.errors;
  for (int id : designedIds()) {
    const std::string name = std::to_string(id) + ".png";
    const std::string generated = readFile(out / name);
    const std::string committed = readFile(resourcePath(id));
    ASSERT_FALSE(generated.empty()) << name << " was not written";
    EXPECT_TRUE(generated == committed)
        << name << " differs from the committed file (" << generated.size() << " bytes generated, "
        << committed.size() << " committed): regenerate with the `artwork` target";
  }
  std::size_t written = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    EXPECT_EQ(entry.path().extension(), ".png") << "unexpected file " << entry.path();
    ++written;
  }
  EXPECT_EQ(written, designedIds().size());
}

TEST(ArtworkGenerator, WritesAContactSheetShowingEveryBitmap) {
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path sheet = scratch.path() / "sheet" / "contact-sheet.png";
  const RunResult result =
      runGenerator({"--out", (scratch.path() / "out").string(), "--contact-sheet", sheet.string()},
                   scratch.path());
  ASSERT_EQ(result.status, 0) << result.errors;
  const auto image = PngImage::read(sheet.string());
  ASSERT_TRUE(image.has_value()) << "no readable contact sheet at " << sheet;
  // Room for the background and a panel preview side by side, and the control strips below them.
  EXPECT_GE(image->width(), 1200);
  EXPECT_GT(image->height(), 600 + 140);
}

struct BadCommandLine {
  const char* what;
  std::vector<std::string> args;
};

TEST(ArtworkGenerator, RefusesBadCommandLinesWithUsage) {
  const std::vector<BadCommandLine> cases{
      {"no arguments", {}},
      {"unknown option", {"--colour", "red"}},
      {"--out without a value", {"--out"}},
      {"--out with an empty value", {"--out", ""}},
      {"contact sheet without --out", {"--contact-sheet", "sheet.png"}},
  };
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  for (const BadCommandLine& c : cases) {
    const RunResult result = runGenerator(c.args, scratch.path());
    EXPECT_EQ(result.status, 2) << c.what;
    EXPECT_NE(result.errors.find("usage:"), std::string::npos)
        << c.what << ": no usage text in " << result.errors;
  }
}

TEST(ArtworkGenerator, FailsCleanlyWhenTheOutputFolderCannotBeMade) {
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path plainFile = scratch.path() / "not-a-folder";
  std::ofstream(plainFile) << "x";
  const RunResult result =
      runGenerator({"--out", (plainFile / "resources").string()}, scratch.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.errors.find("cannot use output folder"), std::string::npos) << result.errors;
}

TEST(ArtworkGenerator, FailsCleanlyWhenTheContactSheetCannotBeWritten) {
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path plainFile = scratch.path() / "not-a-folder";
  std::ofstream(plainFile) << "x";
  const RunResult result = runGenerator({"--out", (scratch.path() / "out").string(),
                                         "--contact-sheet", (plainFile / "sheet.png").string()},
                                        scratch.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.errors.empty());
  EXPECT_FALSE(fs::exists(plainFile / "sheet.png"));
}

// With a font configuration that knows no fonts at all, the generator must not fall back to some
// other family: it stops, names the missing family and the package that provides it, and writes
// nothing.
TEST(ArtworkGenerator, RefusesToDrawWithoutLiberationSans) {
  TempFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path config = scratch.path() / "fonts.conf";
  std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>"
                        << (scratch.path() / "cache").string() << "</cachedir></fontconfig>\n";
  const fs::path out = scratch.path() / "out";
  const RunResult result =
      runGenerator({"--out", out.string()}, scratch.path(), {"FONTCONFIG_FILE=" + config.string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.errors.find("Liberation Sans"), std::string::npos) << result.errors;
  EXPECT_NE(result.errors.find("fonts-liberation2"), std::string::npos) << result.errors;
  EXPECT_FALSE(fs::exists(out / "128.png"));
}

}  // namespace
}  // namespace artwork_test
