// pixveil_test.cpp -- the tool as a user meets it: each test runs the built
// program in a fresh directory and checks its exit code, its messages byte
// for byte and the files it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "container_builder.h"
#include "owned_string.h"
#include "quendle.h"
#include "tool_runner.h"

namespace fs = std::filesystem;
using tooltest::ContainerSpec;
using tooltest::RunResult;

namespace {

const std::string kSq = "\xFE";
const std::string kPassword = "/P:secret1";

std::string Pad(const std::string &text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

const std::string kBanner =
    Pad("    Pixveil v1.08 (c) Arbolet Software, all rights reserved - 20th July 2013", 77) + "\n\n";
const std::string kShortBanner =
    Pad("       Pixveil v1.08 (c) Arbolet Software, all rights reserved - 20th July 2013", 66) + "\n\n";

std::string Sep() { return tooltest::OnWindows() ? "\\" : "/"; }

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(n, '\0');
  for (auto &c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string FixturePath(const std::string &name) {
  const char *source = std::getenv("QUENDLE_SOURCE_DIR");
  std::string root = source ? source : PIXVEIL_SOURCE_DIR;
  return root + "/tests/pixveil/fixtures/" + name;
}

std::string ReadBytes(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class PixveilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char &c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    dir_ = fs::temp_directory_path() / ("pixveil_" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    dir_ = fs::canonical(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  std::string Dir() const { return dir_.string(); }
  std::string PathOf(const std::string &name) const { return (dir_ / name).string(); }
  void Write(const std::string &name, const std::string &bytes) const {
    std::ofstream file(dir_ / name, std::ios::binary);
    file << bytes;
  }
  std::string Read(const std::string &name) const { return ReadBytes(PathOf(name)); }
  bool Exists(const std::string &name) const { return fs::exists(dir_ / name); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  RunResult Run(const std::vector<std::string> &arguments, const std::string &input = "",
                const std::vector<std::pair<std::string, std::string>> &environment = {}) const {
    return tooltest::RunProgram(tooltest::ToolPath(), arguments, Dir(), input, environment);
  }

  // What an encryption run of one file prints before its result lines.
  std::string EncryptHeading(const std::string &pattern, const char *format = "RTF") const {
    return kBanner + kSq + " Output directory is \"" + Dir() + Sep() + "\"\n" + kSq +
           " Encrypting matching files as " + format + " format\n" + kSq + " Searching for \"" + Dir() + Sep() +
           pattern + "\" ...\n";
  }

  fs::path dir_;
};

// ---- command line and exit codes -------------------------------------------

struct ExitCase {
  const char *title;
  std::vector<std::string> arguments;
  int exitCode;
  std::string output;
};

TEST_F(PixveilTest, RunLevelProblemsEndWithTheirCodeAndMessage) {
  Write("a.txt", "hello");
  const std::vector<ExitCase> cases = {
      {"no pattern, quiet asked", {"/q"}, 9,
       kShortBanner + kSq + " Filename/path not specified (wildcards are permitted)\n" + kSq +
           " Pixveil /? for help and information\n"},
      {"no password", {"a.txt"}, 1,
       kBanner + kSq + " No encryption/decryption password given - use /P:<password>\n" + kSq +
           " Use Pixveil /? for help\n"},
      {"password too short", {"a.txt", "-p:abcde"}, 5,
       kBanner + kSq + " The encryption password is too short (minimum is 6 characters)\n"},
      {"password switch without text", {"a.txt", "/P"}, 1,
       kBanner + kSq + " No encryption/decryption password given - use /P:<password>\n" + kSq +
           " Use Pixveil /? for help\n"},
      {"nothing matches", {"none*.txt", kPassword}, 2,
       kBanner + kSq + " No files matched: \"" + Dir() + Sep() + "none*.txt\"\n"},
      {"nothing matches, quiet", {"none*.txt", kPassword, "/Q"}, 2, ""},
      {"output directory cannot be made", {"a.txt", "missing" + Sep() + "sub", kPassword}, 8,
       kBanner + kSq + " Error: output path \"missing" + Sep() + "sub\" does not exist and can't be created\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    RunResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.output, c.output);
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"a.txt"});
}

TEST_F(PixveilTest, LibraryVersionLinesEndTheRun) {
  RunResult result = Run({"/dllver", "a.txt"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string first = kSq + " DLL Version needed is v1.37 - loaded is v1.37 (20110401@21:55:32)\n" + kSq + " ";
  ASSERT_EQ(result.output.compare(0, first.size(), first), 0) << result.output;
  EXPECT_NE(result.output.find("quendle"), std::string::npos);
}

TEST_F(PixveilTest, OlderLibraryIsRefused) {
  // A copy of the tool beside a library that reports version 1.36.
  const std::string old = tooltest::ProgramDirectory() + Sep() + "old" + Sep() + (tooltest::OnWindows() ? "pixveil.exe" : "pixveil");
  Write("a.txt", "hello");
  RunResult result = tooltest::RunProgram(old, {"a.txt", kPassword}, Dir(), "");
  EXPECT_EQ(result.exitCode, 7);
  EXPECT_EQ(result.output, kSq + " Error: Wrong version of Arbolet DLL - QUENDLE.DLL (1.36 found 1.37 needed)\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"a.txt"});
}

TEST_F(PixveilTest, OneFileIsEncryptedQuietlyWithLowerCaseSwitches) {
  Write("a.txt", "hello");
  RunResult result = Run({"a.txt", "/p:secret1", "/y", "/q"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_TRUE(Exists("a.txt.rtf"));
}

TEST_F(PixveilTest, CreatesTheOutputDirectoryAndKeepsTheExtension) {
  Write("a.txt", "hello");
  RunResult result = Run({"*.txt", "newdir", kPassword, "/BMP"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string expected = kBanner + kSq + " Output path \"newdir\" was created successfully created\n" + kSq +
                               " Output directory is \"newdir" + Sep() + "\"\n" + kSq +
                               " Encrypting matching files as BMP format\n" + kSq + " Searching for \"" + Dir() +
                               Sep() + "*.txt\" ...\n" + kSq + " a.txt - 5 Byte(s)\n" + kSq +
                               " Successfully processed 1 file(s)\n";
  EXPECT_EQ(result.output, expected);
  EXPECT_TRUE(Exists("newdir/a.txt.bmp"));
}

TEST_F(PixveilTest, AbsolutePathsAreNotSwitchesOnLinux) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows paths never begin with the switch character";
#else
  Write("a.txt", "hello");
  // The pattern's and the output's directories exist, so neither is a switch;
  // "/P:..." still is, although "/P:se/cret" holds a slash.
  RunResult result = Run({Dir() + "/*.txt", Dir() + "/out/", "/P:se/cret", "/Y", "/Q"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_TRUE(Exists("out/a.txt.rtf"));
  RunResult back = Run({Dir() + "/out/a.txt.rtf", Dir() + "/back/", "/P:se/cret", "/D", "/Y", "/Q"});
  EXPECT_EQ(back.exitCode, 0) << back.output;
  EXPECT_TRUE(Exists("back/a.txt"));
#endif
}

TEST_F(PixveilTest, BmpFollowedByLettersIsABackgroundColour) {
  Write("a.txt", "hello");
  RunResult result = Run({"a.txt", kPassword, "/BMPX", "/Q"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(Exists("a.txt.rtf"));
  EXPECT_FALSE(Exists("a.txt.bmp"));
}

TEST_F(PixveilTest, EmptyFilesAreSkippedSilently) {
  Write("empty.txt", "");
  RunResult result = Run({"empty.txt", kPassword});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, EncryptHeading("empty.txt") + kSq + " empty.txt - 0 Byte(s)\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"empty.txt"});
}

TEST_F(PixveilTest, SquareIsShownAsTextInAUtf8Locale) {
  RunResult result = Run({"/q"}, "", {{"LC_ALL", "C.UTF-8"}});
  if (tooltest::OnWindows()) GTEST_SKIP() << "the console shows the byte itself";
  EXPECT_EQ(result.exitCode, 9);
  EXPECT_NE(result.output.find("\xE2\x96\xA0 Filename/path not specified"), std::string::npos);
  EXPECT_EQ(result.output.find('\xFE'), std::string::npos);
}

// ---- round trips -------------------------------------------------------------

struct RoundTrip {
  const char *title;
  std::string name;
  std::string content;
  std::vector<std::string> switches;
  const char *compression;
};

TEST_F(PixveilTest, FilesComeBackByteForByte) {
  const std::vector<RoundTrip> trips = {
      {"one byte", "one.bin", "x", {}, "None"},
      {"compressible text", "text.txt", std::string(5000, 'a') + "tail", {}, "RLE"},
      {"compressible text, no compression", "plain.txt", std::string(5000, 'a'), {"/NC"}, "None"},
      {"incompressible bytes", "noise.bin", RandomBytes(70000, 1), {"/BMP"}, "None"},
      {"zero bytes inside", "zeros.bin", std::string("ab\0\0\0\0\0\0\0\0cd\0", 13) + std::string(300, '\0'), {},
       "None"},
      {"long name", std::string(247, 'n') + ".txt", "named", {"/BMP"}, "None"},
      {"no warning text", "guid.txt", "guid", {"/NM"}, "None"},
  };
  for (const auto &trip : trips) {
    SCOPED_TRACE(trip.title);
    // The ANSI file API there stops at 260 characters for the whole path.
    if (tooltest::OnWindows() && trip.name.size() > 150) continue;
    const std::string sub = std::string("t") + std::to_string(&trip - trips.data());
    fs::create_directory(dir_ / sub);
    Write(sub + "/" + trip.name, trip.content);
    std::vector<std::string> arguments = {sub + Sep() + trip.name, sub + "out", kPassword, "/Q"};
    arguments.insert(arguments.end(), trip.switches.begin(), trip.switches.end());
    ASSERT_EQ(Run(arguments).exitCode, 0);
    const bool bmp = std::find(trip.switches.begin(), trip.switches.end(), "/BMP") != trip.switches.end();
    const std::string container = sub + "out/" + trip.name + (bmp ? ".bmp" : ".rtf");
    ASSERT_TRUE(Exists(container));

    RunResult info = Run({sub + "out" + Sep() + "*.*", "/I", kPassword});
    EXPECT_NE(info.output.find(kSq + " Compression type:       " + trip.compression + "\n"), std::string::npos)
        << info.output;

    fs::remove(dir_ / sub / trip.name);
    RunResult back = Run({sub + "out" + Sep() + "*.*", sub, kPassword, "/D", "/Q"});
    EXPECT_EQ(back.exitCode, 0);
    EXPECT_EQ(back.output, "");
    EXPECT_EQ(Read(sub + "/" + trip.name), trip.content);
  }
}

TEST_F(PixveilTest, DecryptionReportsWhatItWrote) {
  Write("a.txt", "hello");
  ASSERT_EQ(Run({"a.txt", kPassword, "/Q"}).exitCode, 0);
  fs::remove(dir_ / "a.txt");
  const std::string size = std::to_string(fs::file_size(dir_ / "a.txt.rtf"));
  RunResult result = Run({"a.txt.rtf", kPassword, "/D"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, kBanner + kSq + " a.txt.rtf - " + size + " Byte(s)\n" + kSq +
                               " Successfully wrote attachment:\n  \"" + Dir() + Sep() + "a.txt\" (0.00 Mb)\n" +
                               kSq + " Successfully processed 1 file(s)\n");
  EXPECT_EQ(Read("a.txt"), "hello");
}

TEST_F(PixveilTest, LargeFilesShowTheirProgress) {
  const std::string content = RandomBytes(10485761, 7);  // one byte above 10 MB
  Write("big.bin", content);
  RunResult encrypt = Run({"big.bin", "out", kPassword, "/BMP"});
  EXPECT_EQ(encrypt.exitCode, 0);
  EXPECT_NE(encrypt.output.find(kSq + " big.bin - 10.00 Mb\n" + kSq + " Reading file ...\n" + kSq +
                                " Encrypting ...\n" + kSq + " Saving BMP file out" + Sep() + "big.bin.bmp ...\n"),
            std::string::npos)
      << encrypt.output;
  fs::remove(dir_ / "big.bin");
  RunResult decrypt = Run({"out" + Sep() + "big.bin.bmp", kPassword, "/D"});
  EXPECT_EQ(decrypt.exitCode, 0);
  const std::string written = "out" + Sep() + "big.bin";
  EXPECT_NE(decrypt.output.find(kSq + " Analysing file ...\n" + kSq + " Reading file ...\n" + kSq +
                                " Decrypting ...\n" + kSq + " Saving file \"" + written + "\" ...\n" + kSq +
                                " Successfully wrote attachment:\n  \"" + written + "\" (10.00 Mb)\n"),
            std::string::npos)
      << decrypt.output;
  EXPECT_TRUE(Read("out/big.bin") == content);
}

TEST_F(PixveilTest, EachDocumentWithoutWarningGetsItsOwnGuid) {
  Write("a.txt", "first");
  Write("b.txt", "second");
  ASSERT_EQ(Run({"*.txt", kPassword, "/NM", "/Y", "/Q"}).exitCode, 0);
  // The text between "\b " and "\par\par": 8-4-4-4-12 upper-case hex digits.
  auto shownText = [](const std::string &document) {
    const size_t start = document.find("\\b ") + 3;
    return document.substr(start, document.find("\\par\\par") - start);
  };
  auto isGuid = [](const std::string &text) {
    if (text.size() != 36) return false;
    for (size_t i = 0; i < text.size(); ++i) {
      const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
      if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])) || std::islower(static_cast<unsigned char>(text[i])))
        return false;
    }
    return true;
  };
  const std::string a = Read("a.txt.rtf"), b = Read("b.txt.rtf");
  EXPECT_TRUE(isGuid(shownText(a))) << shownText(a);
  EXPECT_TRUE(isGuid(shownText(b))) << shownText(b);
  EXPECT_NE(shownText(a), shownText(b));
  EXPECT_EQ(a.find("Encrypted Data"), std::string::npos);
}

TEST_F(PixveilTest, ColourSwitchesLandInThePalette) {
  Write("a.txt", "hello");
  ASSERT_EQ(Run({"a.txt", kPassword, "/BMP", "/F:123456", "/b:ABCDEF", "/Q"}).exitCode, 0);
  const std::string bmp = Read("a.txt.bmp");
  ASSERT_GE(bmp.size(), 62u);
  // Colour values keep red in the low byte, so 0xRRGGBB lands as R G B 0.
  EXPECT_EQ(bmp.substr(54, 8), std::string("\xAB\xCD\xEF\x00\x12\x34\x56\x00", 8));

  ASSERT_EQ(Run({"a.txt", kPassword, "/BMP", "/Y", "/Q"}).exitCode, 0);
  EXPECT_EQ(Read("a.txt.bmp").substr(54, 8), std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8));
}

// ---- golden containers ---------------------------------------------------------

TEST_F(PixveilTest, ContainersMatchTheGoldenFilesByteForByte) {
  Write("hello.txt", "hello");
  Write("letters.txt", std::string(100, 'a'));
  ASSERT_EQ(Run({"*.txt", kPassword, "/BMP", "/Y", "/Q"}).exitCode, 0);
  ASSERT_EQ(Run({"*.txt", kPassword, "/Y", "/Q"}).exitCode, 0);
  for (const char *name : {"hello.txt.bmp", "hello.txt.rtf", "letters.txt.bmp", "letters.txt.rtf"}) {
    SCOPED_TRACE(name);
    const std::string golden = ReadBytes(FixturePath(name));
    ASSERT_FALSE(golden.empty());
    EXPECT_TRUE(Read(name) == golden);
  }
}

TEST_F(PixveilTest, GoldenContainerFollowsTheLayout) {
  const std::string bmp = ReadBytes(FixturePath("hello.txt.bmp"));
  ASSERT_EQ(bmp.size(), 102u);
  EXPECT_EQ(bmp.substr(62, 13), ".D9Yc3Batg19q");
  std::string recorded = bmp.substr(62 + 13, 4);
  tooltest::HeaderCipher(&recorded, "secret1");
  EXPECT_EQ(tooltest::ReadLe32(recorded, 0), 102u);
  EXPECT_EQ(bmp.substr(62 + 17, 4), std::string("\x01\x00\x02\x09", 4));
  std::string name = bmp.substr(62 + 25, 9);
  tooltest::HeaderCipher(&name, "secret1");
  EXPECT_EQ(name, "hello.txt");
  std::string payload = bmp.substr(62 + 34, 5);
  tooltest::PayloadCipher(&payload, "secret1");
  EXPECT_EQ(payload, "hello");
  // The filler comes from the generator right after the name was
  // enciphered, so the same two calls here draw the same four bytes.
  std::string nameAgain = "hello.txt";
  tooltest::HeaderCipher(&nameAgain, "secret1");
  pixveil::OwnedString filler(RandomStr(4, 5));
  ASSERT_TRUE(filler);
  EXPECT_EQ(bmp.substr(62 + 21, 4), std::string(filler.get(), 4));

  const std::string letters = ReadBytes(FixturePath("letters.txt.bmp"));
  EXPECT_EQ(letters[62 + 18], 1) << "100 letters are stored as their RLE stream";
  std::string stream = letters.substr(62 + 25 + 11, 11);
  tooltest::PayloadCipher(&stream, "secret1");
  EXPECT_EQ(stream, tooltest::RleStream(std::string(100, 'a')));

  const std::string rtf = ReadBytes(FixturePath("hello.txt.rtf"));
  EXPECT_EQ(rtf, tooltest::WrapInRtf(bmp, "Encrypted Data\\par Decrypt in Notewell or Pixveil only\\par Do Not Edit or Re-Save"));
}

// ---- decryption of editor documents and hostile files -----------------------

TEST_F(PixveilTest, EditorDocumentDecryptsUnderItsDocumentName) {
  const std::string text = "{\\rtf1\\ansi Notes written in the editor\\par}" + std::string(300, ' ') + "}";
  const struct {
    const char *title;
    uint8_t compression;
    std::string filler;
  } cases[] = {
      {"stored as it is", 0, std::string("\x11\x22\x33\x44", 4)},
      // Without a name the filler sits right in front of the payload; its
      // bytes must not be taken for the stream's length.
      {"stored as an RLE stream", 1, std::string(4, '\0')},
      {"RLE stream after a small filler", 1, std::string("\x09\0\0\0", 4)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    ContainerSpec spec;
    spec.format = 1;
    spec.compression = c.compression;
    spec.filler = c.filler;
    spec.payload = c.compression == 1 ? tooltest::RleStream(text) : text;
    fs::remove(dir_ / "notes-Decrypted.rtf");
    Write("notes.rtf", tooltest::WrapInRtf(tooltest::BuildBmpContainer(spec), "x"));
    RunResult result = Run({"notes.rtf", kPassword, "/D"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find(kSq + " Successfully wrote:\n  \"" + Dir() + Sep() + "notes-Decrypted.rtf\""),
              std::string::npos)
        << result.output;
    EXPECT_EQ(Read("notes-Decrypted.rtf"), text);
  }
}

TEST_F(PixveilTest, CompressedPayloadExpandsWhateverBytesPrecedeIt) {
  // The payload sits right after the enciphered name. With this password the
  // name's last three characters encipher to zero bytes, so the four bytes in
  // front of the RLE stream read as a length below 256: the stream must be
  // handed to the library as a string of its own, not as a pointer into the
  // decoded image whose preceding bytes would pass for a length prefix.
  ContainerSpec spec;
  spec.password = "letmein99";
  spec.name = "payload_0Mb";
  std::string enciphered = spec.name;
  tooltest::HeaderCipher(&enciphered, spec.password);
  ASSERT_EQ(enciphered.substr(8), std::string(3, '\0')) << "fixture no longer lines up with the cipher";
  std::string content;
  for (int i = 0; i < 400; ++i) content += std::string(40, 'a') + char('A' + i % 26);
  spec.compression = 1;
  spec.payload = tooltest::RleStream(content);
  ASSERT_GT(tooltest::ReadLe32(spec.payload, 4), 255u);
  Write("packed.bmp", tooltest::BuildBmpContainer(spec));
  RunResult result = Run({"packed.bmp", "/P:letmein99", "/D", "/Q"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "");
  ASSERT_TRUE(Exists(spec.name));
  EXPECT_TRUE(Read(spec.name) == content) << "the expanded file differs from what was stored";
}

TEST_F(PixveilTest, LongestStoredNameIsUsedInFull) {
  if (tooltest::OnWindows()) GTEST_SKIP() << "a 255-character name passes 260 characters of path there";
  ContainerSpec spec;
  spec.name = std::string(251, 'L') + ".txt";
  spec.payload = "long";
  fs::create_directory(dir_ / "out");
  Write("long.bmp", tooltest::BuildBmpContainer(spec));
  RunResult result = Run({"long.bmp", "out", kPassword, "/D", "/Q"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(Read("out/" + spec.name), "long");
}

struct HostileCase {
  const char *title;
  std::string file;
  int code;
};

std::string ErrorLine(int code) {
  static const std::map<int, std::string> messages = {
      {7, "Failed to write output file\n"},
      {11, "File is not encrypted\n"},
      {13, "Decryption failure\n"},
      {16, "Password given is not valid for this file\n"},
      {17, "Attachment type file with unknown rilename\n"},
      {18, "Data is flagged as compressed but isn't (corrupted file)\n"},
      {19, "File read mismatch reading input file\n"},
      {20, "Data de-compression error\n"},
  };
  auto found = messages.find(code);
  return kSq + " Error: " + (found != messages.end() ? found->second : "Unhandled Error " + std::to_string(code) + "\n");
}

ContainerSpec Named(const std::string &name) {
  ContainerSpec spec;
  spec.name = name;
  spec.payload = "payload";
  return spec;
}

TEST_F(PixveilTest, HostileContainersAreRefusedWithTheirCode) {
  ContainerSpec lyingRle = Named("x.txt");
  lyingRle.compression = 1;
  std::string stream = tooltest::RleStream(std::string(50, 'z'));
  stream[4] = '\x40';  // count far beyond the stream's bytes
  stream[6] = '\x01';
  lyingRle.payload = stream;
  ContainerSpec notRle = Named("x.txt");
  notRle.compression = 1;
  notRle.payload = "plain, not a stream";
  ContainerSpec nameBeyond = Named("x.txt");
  nameBeyond.nameLengthField = 200;
  // A format that names no output still goes through every check before
  // the write, which is where it fails.
  ContainerSpec noFormat = Named("x.txt");
  noFormat.format = 0;
  ContainerSpec noFormatNotRle = notRle;
  noFormatNotRle.format = 0;
  std::string noFormatLyingImageSize = tooltest::BuildBmpContainer(noFormat);
  noFormatLyingImageSize[34] = '\x7F';

  std::string goodBmp = tooltest::BuildBmpContainer(Named("x.txt"));
  std::string lyingImageSize = goodBmp;
  lyingImageSize[34] = '\x7F';  // biSizeImage far beyond the image
  std::string rtf = tooltest::WrapInRtf(goodBmp, "x");
  std::string truncatedRtf = rtf.substr(0, rtf.size() - 6);  // image cut, header whole
  std::string headerCut = rtf.substr(0, rtf.find(".D9Yc3Batg19q") + 20);

  const std::vector<HostileCase> cases = {
      {"plain text", "just some text\n", 11},
      {"bitmap without marker", tooltest::BuildBitmap(std::string(300, 'q')), 1},
      {"name climbing out", tooltest::BuildBmpContainer(Named("../escape.txt")), 17},
      {"name with a directory", tooltest::BuildBmpContainer(Named("sub/escape.txt")), 17},
      {"name with a backslash", tooltest::BuildBmpContainer(Named("sub\\escape.txt")), 17},
      {"name with a drive", tooltest::BuildBmpContainer(Named("C:escape.txt")), 17},
      {"name dot dot", tooltest::BuildBmpContainer(Named("..")), 17},
      {"name dot", tooltest::BuildBmpContainer(Named(".")), 17},
      {"empty name", tooltest::BuildBmpContainer(Named("")), 17},
      {"lying recorded size", [] { ContainerSpec s = Named("x.txt"); s.recordedSizeDelta = 1000; return tooltest::BuildBmpContainer(s); }(), 16},
      {"truncated bitmap", goodBmp.substr(0, goodBmp.size() - 10), 16},
      {"truncated document", truncatedRtf, 19},
      {"document cut inside the header", headerCut, 1},
      {"lying image size", lyingImageSize, 13},
      {"lying RLE count", tooltest::BuildBmpContainer(lyingRle), 20},
      {"RLE flag without stream", tooltest::BuildBmpContainer(notRle), 18},
      {"name length beyond the file", tooltest::BuildBmpContainer(nameBeyond), 17},
      {"no known format", tooltest::BuildBmpContainer(noFormat), 7},
      {"no known format, RLE flag without stream", tooltest::BuildBmpContainer(noFormatNotRle), 18},
      {"no known format, lying image size", noFormatLyingImageSize, 13},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    fs::remove_all(dir_ / "in");
    fs::remove_all(dir_ / "out");
    fs::create_directory(dir_ / "in");
    fs::create_directory(dir_ / "out");
    Write("in/victim.bin", c.file);
    RunResult result = Run({"in" + Sep() + "victim.bin", "out", kPassword, "/D"});
    EXPECT_EQ(result.exitCode, 0);
    const std::string tail = ErrorLine(c.code);
    ASSERT_GE(result.output.size(), tail.size());
    EXPECT_EQ(result.output.substr(result.output.size() - tail.size()), tail) << result.output;
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    EXPECT_FALSE(Exists("escape.txt"));
  }
}

// ---- information report ------------------------------------------------------

TEST_F(PixveilTest, InformationReportShowsWhatThePasswordOpens) {
  Write("a.txt", "hello");
  ASSERT_EQ(Run({"a.txt", kPassword, "/BMP", "/Q"}).exitCode, 0);
  const std::string top = kBanner + kSq + " a.txt.bmp - 98 Byte(s)\n\n" + kSq +
                          " File Information for: \"a.txt.bmp\"\n"
                          "-------------------------------------------------------------\n";
  const std::string sizes = kSq + " BMP size:               98 byte(s) (including header)\n" + kSq +
                            " Actual payload size:    35 byte(s) (including header)\n";
  const std::string clear = kSq + " Notewell encrypted?:     YES\n" + kSq + " Compression type:       None\n" + kSq +
                            " Document format:        Attachment File\n" + kSq +
                            " Attachment name length: 5 character(s)\n" + kSq +
                            " Notewell Header length:  30 byte(s)\n";

  RunResult with = Run({"a.txt.bmp", "/I", kPassword});
  EXPECT_EQ(with.exitCode, 0);
  EXPECT_EQ(with.output, top + kSq + " Attempting to get protected info with given password\n" + sizes + kSq +
                             " Password valid?:        Possibly OK\n" + kSq + " Recorded payload:       98 byte(s)\n" +
                             clear + kSq + " Attachment file size:   5 byte(s)\n" + kSq + " Attachment filename:    a.txt\n\n");

  RunResult without = Run({"a.txt.bmp", "/I"});
  EXPECT_EQ(without.exitCode, 0);
  // Only the clear fields: no payload size and no name without a password.
  EXPECT_EQ(without.output, top + sizes + kSq + " No password given:      Can't decode payload checksum\n" + clear + "\n");

  RunResult wrong = Run({"a.txt.bmp", "/I", "/P:wrongpassword"});
  EXPECT_EQ(wrong.exitCode, 0);
  EXPECT_NE(wrong.output.find("INVALID PASSWORD"), std::string::npos) << wrong.output;
  EXPECT_EQ(wrong.output.find("a.txt\n"), std::string::npos) << wrong.output;
}

TEST_F(PixveilTest, InformationReportOnDocumentsAndOtherFiles) {
  Write("a.txt", "hello");
  ASSERT_EQ(Run({"a.txt", kPassword, "/Q"}).exitCode, 0);
  const std::string rtf = Read("a.txt.rtf");
  RunResult result = Run({"a.txt.rtf", "/I", kPassword});
  const std::string size = std::to_string(rtf.size());
  EXPECT_NE(result.output.find(kSq + " This is an RTF format file with embedded Windows BMP image\n" + kSq +
                               " File length:            " + size + " byte(s)\n" + kSq +
                               " RTF BMP block size:     98 byte(s)\n" + kSq + " BMP-filesize diff:      " +
                               std::to_string(rtf.size() - 98) + " byte(s)\n"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find(kSq + " Attachment filename:    a.txt\n"), std::string::npos);

  RunResult text = Run({"a.txt", "/I"});
  EXPECT_EQ(text.output, kBanner + kSq + " a.txt - 5 Byte(s)\n\n" + kSq + " File Information for: \"a.txt\"\n" +
                             "-------------------------------------------------------------\n" + kSq +
                             " This is not an Notewell encrypted file\n\n");
}

TEST_F(PixveilTest, InformationReportReadsNothingBeyondTheFile) {
  // A bitmap whose header marker sits at its very end: the fields after the
  // marker were never read, so no header is reported.
  std::string bmp = tooltest::BuildBitmap(std::string(40, 'q'));
  bmp += ".D9Yc3Batg19q\x01";
  Write("short.bmp", bmp);
  RunResult result = Run({"short.bmp", "/I", kPassword});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output.find("Notewell encrypted"), std::string::npos) << result.output;
}

// ---- prompts ---------------------------------------------------------------------

struct PromptCase {
  const char *title;
  std::string keys;
  int exitCode;
  std::vector<std::string> written;
};

TEST_F(PixveilTest, ProcessPromptAnswers) {
  const std::vector<PromptCase> cases = {
      {"yes then no", "yn", 0, {"a.txt.rtf"}},
      {"no then yes", "Ny", 0, {"b.txt.rtf"}},
      {"all", "a", 0, {"a.txt.rtf", "b.txt.rtf"}},
      {"enter skips", "\ny", 0, {"b.txt.rtf"}},
      {"other keys are ignored", "xzy\n", 0, {"a.txt.rtf"}},
      {"quit", "q", 4, {}},
      {"escape", "\x1b", 4, {}},
      {"end of input counts as escape", "y", 4, {"a.txt.rtf"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    fs::remove_all(dir_ / "w");
    fs::create_directory(dir_ / "w");
    Write("w/a.txt", "aaa");
    Write("w/b.txt", "bbb");
    RunResult result = Run({"w" + Sep() + "*.txt", kPassword, "/Q"}, c.keys);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    for (const std::string &name : {std::string("a.txt.rtf"), std::string("b.txt.rtf")}) {
      bool expected = std::find(c.written.begin(), c.written.end(), name) != c.written.end();
      EXPECT_EQ(Exists("w/" + name), expected) << name;
    }
  }
}

TEST_F(PixveilTest, ProcessPromptIsShownAndEchoed) {
  Write("a.txt", "aaa");
  Write("b.txt", "bbb");
  RunResult result = Run({"*.txt", kPassword, "/Q"}, "nq");
  EXPECT_EQ(result.exitCode, 4);
  EXPECT_EQ(result.output, kSq + " Process a.txt ? (Y-N-A-Q) ? : N     \n" + kSq +
                               " Process b.txt ? (Y-N-A-Q) ? : Q     \n* Cancelled *\n");
}

TEST_F(PixveilTest, OverwritePromptWhenEncrypting) {
  const std::vector<PromptCase> cases = {
      {"no keeps the old file", "ynyn", 0, {}},
      {"yes overwrites", "yyyn", 0, {"a.txt.rtf"}},
      {"all overwrites every later file", "ya", 0, {"a.txt.rtf", "b.txt.rtf"}},
      {"quit ends the run", "yq", 12, {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    fs::remove_all(dir_ / "w");
    fs::create_directory(dir_ / "w");
    Write("w/a.txt", "aaa");
    Write("w/b.txt", "bbb");
    Write("w/a.txt.rtf", "old a");
    Write("w/b.txt.rtf", "old b");
    RunResult result = Run({"w" + Sep() + "*.txt", kPassword}, c.keys);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    for (const std::string &name : {std::string("a.txt.rtf"), std::string("b.txt.rtf")}) {
      bool overwritten = std::find(c.written.begin(), c.written.end(), name) != c.written.end();
      EXPECT_EQ(Read("w/" + name).compare(0, 5, "{\\rtf") == 0, overwritten) << name;
    }
  }
}

TEST_F(PixveilTest, DeclinedOverwriteIsNoSuccessAndSaysSo) {
  Write("a.txt", "aaa");
  Write("b.txt", "bbb");
  Write("a.txt.rtf", "old");
  RunResult result = Run({"*.txt", kPassword, "/Q"}, "yny");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.output.find(kSq + " Overwrite: \"" + Dir() + Sep() + "a.txt.rtf\" ? (Y-N-A-Q) ? : N     \n"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("Out of memory"), std::string::npos);
  EXPECT_EQ(Read("a.txt.rtf"), "old");

  RunResult loud = Run({"*.txt", kPassword}, "ynyy");
  EXPECT_NE(loud.output.find(kSq + " Error: User cancelled\n"), std::string::npos) << loud.output;
  EXPECT_NE(loud.output.find(kSq + " Successfully processed 1 file(s)\n"), std::string::npos);
}

TEST_F(PixveilTest, OverwritePromptWhenDecrypting) {
  Write("a.txt", "new");
  ASSERT_EQ(Run({"a.txt", kPassword, "/Q"}).exitCode, 0);
  Write("b.txt", "new");
  ASSERT_EQ(Run({"b.txt", kPassword, "/Q"}).exitCode, 0);
  struct Case {
    const char *keys;
    int exitCode;
    const char *a;
    const char *b;
    const char *tail;
  };
  const Case cases[] = {
      {"ynyn", 0, "old", "old", "Error: User cancelled\n"},
      {"yyyy", 0, "new", "new", "Successfully processed 2 file(s)\n"},
      {"ya", 0, "new", "new", "Successfully processed 2 file(s)\n"},
      {"y\ny\n", 0, "old", "old", "Error: Unhandled Error 1\n"},
      {"yq", 10, "old", "old", "* Cancelled *\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.keys);
    Write("a.txt", "old");
    Write("b.txt", "old");
    RunResult result = Run({"*.rtf", kPassword, "/D"}, c.keys);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(Read("a.txt"), c.a);
    EXPECT_EQ(Read("b.txt"), c.b);
    const std::string tail = c.tail;
    ASSERT_GE(result.output.size(), tail.size());
    EXPECT_EQ(result.output.substr(result.output.size() - tail.size()), tail) << result.output;
  }
}

TEST_F(PixveilTest, FailedWriteLeavesNothingBehind) {
  Write("a.txt", "aaa");
  fs::create_directory(dir_ / "a.txt.rtf");  // the target cannot be replaced
  RunResult result = Run({"a.txt", kPassword, "/Y"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.output.find(kSq + " Error: Failed to write output file\n"), std::string::npos) << result.output;
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.txt", "a.txt.rtf"}));
  EXPECT_TRUE(fs::is_directory(dir_ / "a.txt.rtf"));
}

// ---- help pager --------------------------------------------------------------------

std::string HelpLine(int index) {
  static const char *const kLines[] = {
      "",
      "",
      " Hides any file inside a two-colour picture, protected by a password",
      "",
      " Encrypts data in either bitmap format or in bitmap format wrapped in Rich Text",
      " The default output format is Rich Text (RTF). Alternate is Bitmap format",
      " Wildcards are permitted but subdirectories are not recursed",
      " Output directory may be a UNC path as \\\\server\\share\\...)",
      "",
      " Syntax:          Pixveil.exe <filespec> [output-path] [/switches]",
      "",
      " Switches:        (Pixveil requires Arbolet DLL - QUENDLE.DLL)",
      "",
      " /P:<password>    Specify a mandatory encryption password",
      " /Y               Don't confirm each action for multiple files and overwrites",
      " /Q               Quiet mode (minimum messages)",
      " /NC              No automatic RLE compression on encryption",
      " /NM              No warning message text in RTF files (use a GUID instead)",
      " /BMP             Generate 2-colour bitmap output instead of Rich Text (RTF)",
      " /F:RRGGBB        Set BMP foreground colour using 6-digit RGB hex colour value",
      " /B:RRGGBB        Set BMP background colour using 6-digit RGB hex colour value",
      " /D               Decrypt a file encrypted with Pixveil or Notewell",
      " /I               File information. Specify a password to get encrypted info",
      " /DLLVER          Check Arbolet DLL used or required (QUENDLE.DLL)",
      "",
      " Website:         http://www.arbolet.example/pixveil/",
      "",
  };
  if (index == 0)
    return Pad("        Pixveil \xFE  v1.08 \xFE  (c) Arbolet Software, all rights reserved \xFE  20th July 2013", 79) +
           "\n";
  return std::string(kLines[index]) + "\r\n";
}

std::string HelpLines(int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i) text += HelpLine(i);
  return text;
}

const std::string kMore = "-- More (ESC quits) --\n";
const std::string kEnd = "-- End - ESC to Close --";

struct PagerCase {
  const char *title;
  const char *lines;  // window height, "" for none known
  std::string keys;
  std::string output;
};

TEST_F(PixveilTest, HelpPagerKeys) {
  const std::vector<PagerCase> cases = {
      {"escape at the first pause", "25", "\x1b", HelpLines(0, 22) + kMore},
      {"any key then escape at the end", "25", " \x1b", HelpLines(0, 22) + kMore + HelpLines(23, 26) + kEnd},
      {"home at the end starts again", "25", " \xE0\x47\x1b",
       HelpLines(0, 22) + kMore + HelpLines(23, 26) + kEnd + HelpLines(0, 22) + kMore},
      {"tall window pauses once at the last line", "40", "x\x1b", HelpLines(0, 26) + kMore + kEnd},
      {"page up at the end of a small window", "10", "   \xE0\x49\x1b",
       HelpLines(0, 7) + kMore + HelpLines(8, 15) + kMore + HelpLines(16, 23) + kMore + HelpLines(24, 26) + kEnd +
           HelpLines(16, 23) + kMore},
      {"terminal page down and end keys", "10", "\x1b[6~\x1b[F\x1b",
       HelpLines(0, 7) + kMore + HelpLines(8, 15) + kMore + HelpLines(24, 26) + kEnd},
      {"end of input closes the help", "25", "", HelpLines(0, 22) + kMore},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    if (tooltest::OnWindows() && std::string(c.lines) != "25") continue;  // no window to size here
    RunResult result = Run({}, c.keys, {{"LINES", c.lines}});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, c.output);
  }
  RunResult question = Run({"-?"}, "\x1b");
  EXPECT_EQ(question.exitCode, 0);
  EXPECT_EQ(question.output, HelpLines(0, 22) + kMore);
}

}  // namespace
