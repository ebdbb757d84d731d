// Dropped URI lists into file names: which URIs name local files, how escapes decode, which lines
// are left out (another scheme, a remote host, broken escapes, zero bytes, names too long), and
// the symbolic-link rule, on real links in a scratch folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui/platform/DropData.h"
#include "tests/support/ScratchFolder.h"

namespace {

using Names = std::vector<std::string>;
constexpr const char* kHost = "studio";

struct UriCase {
  const char* what;
  std::string uri;
  std::optional<std::string> expected;
};

TEST(DropData, EachUriIsReadAsALocalFileNameOrLeftOut) {
  const std::vector<UriCase> cases = {
      {"plain", "file:///home/ann/a.wav", "/home/ann/a.wav"},
      {"escaped blank", "file:///home/ann/my%20song.wav", "/home/ann/my song.wav"},
      {"escaped UTF-8", "file:///tmp/caf%C3%A9.fxp", "/tmp/caf\xC3\xA9.fxp"},
      {"escaped percent", "file:///tmp/100%25.wav", "/tmp/100%.wav"},
      {"lower-case escape", "file:///tmp/a%2fb", "/tmp/a/b"},
      {"localhost", "file://localhost/tmp/x", "/tmp/x"},
      {"this machine", "file://studio/tmp/x", "/tmp/x"},
      {"this machine in capitals", "file://STUDIO/tmp/x", "/tmp/x"},
      {"scheme in capitals", "FILE:///tmp/x", "/tmp/x"},
      {"no authority", "file:/tmp/x", "/tmp/x"},
      {"remote host", "file://elsewhere/tmp/x", std::nullopt},
      {"another scheme", "http://example.org/x.wav", std::nullopt},
      {"no scheme", "/tmp/x.wav", std::nullopt},
      {"relative", "file:tmp/x", std::nullopt},
      {"host without path", "file://localhost", std::nullopt},
      {"bad escape", "file:///tmp/%zz", std::nullopt},
      {"escape cut short", "file:///tmp/a%2", std::nullopt},
      {"escape at the end", "file:///tmp/a%", std::nullopt},
      {"escaped zero byte", "file:///tmp/a%00b", std::nullopt},
      {"longest name", "file:///" + std::string(kMaxDropNameBytes - 1, 'n'),
       "/" + std::string(kMaxDropNameBytes - 1, 'n')},
      {"name one byte too long", "file:///" + std::string(kMaxDropNameBytes, 'n'), std::nullopt},
  };
  for (const UriCase& c : cases) {
    EXPECT_EQ(fileNameFromUri(c.uri, kHost), c.expected) << c.what << ": " << c.uri;
  }
}

TEST(DropData, AListKeepsItsValidNamesInOrderAndSkipsTheRest) {
  const std::string list =
      "# comment from the source\r\n"
      "file:///tmp/one.wav\r\n"
      "http://example.org/two.wav\r\n"
      "\r\n"
      "file:///tmp/bad%zz\r\n"
      "file://remote/three.wav\r\n"
      "file:///tmp/four%20five.wav\n"
      "file:///tmp/last.wav";  // no line end after the last line
  EXPECT_EQ(fileNamesFromUriList(list, kHost),
            (Names{"/tmp/one.wav", "/tmp/four five.wav", "/tmp/last.wav"}));
}

TEST(DropData, ALineWithAZeroByteIsLeftOutButTheNextLineCounts) {
  using namespace std::string_literals;
  const std::string list = "file:///tmp/a\0b\r\nfile:///tmp/c\r\n"s;
  EXPECT_EQ(fileNamesFromUriList(list, kHost), (Names{"/tmp/c"}));
}

TEST(DropData, NothingUsableGivesNoNames) {
  for (const std::string& list :
       std::vector<std::string>{"", "\r\n", "# only a comment\r\n", "mailto:ann@example.org\r\n",
                                std::string("\0\0\0", 3)}) {
    EXPECT_TRUE(fileNamesFromUriList(list, kHost).empty()) << "list of " << list.size() << " bytes";
  }
}

class DroppedLinks : public ::testing::Test {
 protected:
  void link(const std::string& target, const std::string& name) {
    ASSERT_EQ(::symlink(target.c_str(), folder.path(name).c_str()), 0) << name;
  }
  static std::string canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
  }
  ScratchFolder folder;
};

TEST_F(DroppedLinks, ALinkIsReplacedByWhatItFinallyPointsTo) {
  const std::string target = folder.touch("target.wav");
  link(target, "link.wav");
  link(folder.path("link.wav"), "link-to-link.wav");
  EXPECT_EQ(resolveDroppedLink(folder.path("link.wav")), canonical(target));
  EXPECT_EQ(resolveDroppedLink(folder.path("link-to-link.wav")), canonical(target));
}

TEST_F(DroppedLinks, ABrokenLinkOrALoopKeepsItsOwnName) {
  link(folder.path("missing.wav"), "broken.wav");
  link(folder.path("loop-b"), "loop-a");
  link(folder.path("loop-a"), "loop-b");
  EXPECT_EQ(resolveDroppedLink(folder.path("broken.wav")), folder.path("broken.wav"));
  EXPECT_EQ(resolveDroppedLink(folder.path("loop-a")), folder.path("loop-a"));
}

TEST_F(DroppedLinks, NamesThatAreNoLinksStayAsGiven) {
  const std::string file = folder.touch("plain.wav");
  EXPECT_EQ(resolveDroppedLink(file), file);
  EXPECT_EQ(resolveDroppedLink(folder.path("absent.wav")), folder.path("absent.wav"));
}

TEST_F(DroppedLinks, AListResolvesItsLinks) {
  const std::string target = folder.touch("target.wav");
  link(target, "link.wav");
  link(folder.path("missing.wav"), "broken.wav");
  const std::string list =
      "file://" + folder.path("link.wav") + "\r\nfile://" + folder.path("broken.wav") + "\r\n";
  EXPECT_EQ(fileNamesFromUriList(list, kHost),
            (Names{canonical(target), folder.path("broken.wav")}));
}

}  // namespace
