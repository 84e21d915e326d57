// driver.cpp -- pixveil's entry: switches, banners, checks, the file loop,
// per-file questions, messages and exit codes.
#include "driver.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "container.h"
#include "dialogue.h"
#include "output.h"
#include "owned_string.h"
#include "paths.h"
#include "platform/console.h"
#include "platform/files.h"
#include "quendle.h"
#include "version.h"

namespace pixveil {
namespace {

const char kShortBannerText[] = "       Pixveil " kToolVersion " " kOwnershipNotice " - " kReleaseDate;
const char kBannerText[] = "    Pixveil " kToolVersion " " kOwnershipNotice " - " kReleaseDate;
constexpr int kShortBannerWidth = 66;
constexpr int kBannerWidth = 77;
constexpr size_t kMinPassword = 6;

bool SameNoCase(const char *a, const char *b) {
  for (; *a && *b; ++a, ++b)
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

bool StartsNoCase(const char *text, const char *prefix) {
  for (; *prefix; ++text, ++prefix)
    if (!*text || std::toupper(static_cast<unsigned char>(*text)) != std::toupper(static_cast<unsigned char>(*prefix)))
      return false;
  return true;
}

// The low 32 bits of the hexadecimal value after "/F:" or "/B:".
bool ColourSwitch(const char *argument, int32_t *colour) {
  if (std::strlen(argument) < 4) return false;
  const double value = HexToLong(argument + 3);
  *colour = static_cast<int32_t>(static_cast<uint32_t>(static_cast<long long>(value)));
  return true;
}

void PrintBanner(const char *text, int width) {
  SetAttribute(kBanner);
  Print("%-*s", width, text);
  SetAttribute(kNormal);
  Print("\n\n");
}

[[noreturn]] void ShowLibraryVersion() {
  Print("\xFE DLL Version needed is v1.37 - loaded is v%3.2f", LibVersion() * 0.01);
  OwnedString date(LibDate()), time(LibTime());
  Print(" (%s@%s)\n", date ? date.get() : "", time ? time.get() : "");
  OwnedString file(GetDLLFileName());
  Print("\xFE %s\n", file ? file.get() : "");
  date.reset();
  time.reset();
  file.reset();
  ExitTool(0);
}

const char *ErrorMessage(int code) {
  switch (code) {
    case 2: return "File not found\n";
    case 3: return "Failed to open input file\n";
    case 4: return "Failed to open output file\n";
    case 5: return "Invalid filename/filename is empty\n";
    case 6: return "Failed to read input file\n";
    case 7: return "Failed to write output file\n";
    case 8: return "Out of memory\n";
    case 9: return "Password not given\n";
    case 10: return "User cancelled\n";
    case 11: return "File is not encrypted\n";
    case 12: return "File is not a recognised Notewell type (BMP or RTF format)\n";
    case 13: return "Decryption failure\n";
    case 14: return "Failed to create file jeader\n";
    case 15: return "Failed to encode data as BMP\n";
    case 16: return "Password given is not valid for this file\n";
    case 17: return "Attachment type file with unknown rilename\n";
    case 18: return "Data is flagged as compressed but isn't (corrupted file)\n";
    case 19: return "File read mismatch reading input file\n";
    case 20: return "Data de-compression error\n";
    case 22: return "No Files found matching the filespec\n";
    case 23: return "Unknown file type\n";
    case 24: return "No files found matching the filespec\n";
    default: return nullptr;
  }
}

void PrintSizeLine(const std::string &name, int32_t size) {
  SetAttribute(kProgress);
  if (size < 1048576)
    Print("\xFE %s - %s Byte(s)\n", name.c_str(), GroupDigits(size).c_str());
  else
    Print("\xFE %s - %.2f Mb\n", name.c_str(), size / 1048576.0);
  SetAttribute(kNormal);
}

void WarnWhenHuge(int32_t size) {
  if (size / 1048576.0 < 200.0) return;
  SetAttribute(kProgress);
  Print("\xFE CAUTION - Processing files >200Mb may depend on free system memory\n");
  SetAttribute(kNormal);
}

}  // namespace

void ParseArguments(int argc, char **argv, ToolOptions *options) {
  for (int i = 1; i < argc; ++i) {
    char *argument = argv[i];
    const bool absolutePath = os::IsAbsolutePathArgument(argument);
    if (!absolutePath && argument[0] == '-') argument[0] = '/';
    if (absolutePath || argument[0] != '/') {
      if (options->positionalCount < kMaxPositional) options->positional[options->positionalCount] = argument;
      ++options->positionalCount;
      continue;
    }
    if (std::strcmp(argument, "/?") == 0) {
      options->showHelp = true;
      return;
    }
    if (SameNoCase(argument, "/BMP")) {
      options->bmpOutput = true;
    } else if (SameNoCase(argument, "/NC")) {
      options->compress = false;
    } else if (SameNoCase(argument, "/NM")) {
      options->warningText = false;
    } else if (SameNoCase(argument, "/Q")) {
      options->quiet = true;
    } else if (StartsNoCase(argument, "/P")) {
      options->password = std::strlen(argument) < 4 ? std::string() : std::string(argument + 3);
      if (options->password.size() > kMaxPassword) options->password.resize(kMaxPassword);
    } else if (SameNoCase(argument, "/D")) {
      options->decrypt = true;
    } else if (SameNoCase(argument, "/DLLVER")) {
      options->showLibraryVersion = true;
      return;
    } else if (SameNoCase(argument, "/Y")) {
      options->confirm = false;
    } else if (SameNoCase(argument, "/I")) {
      options->info = true;
    } else if (StartsNoCase(argument, "/F")) {
      ColourSwitch(argument, &options->foreground);
    } else if (StartsNoCase(argument, "/B")) {
      ColourSwitch(argument, &options->background);
    }
  }
}

void PrintError(int code, uint32_t attributeA, uint32_t attributeB) {
  SetAttribute(kError);
  Print("\xFE Error: ");
  if (const char *message = ErrorMessage(code))
    Print("%s", message);
  else
    Print("Unhandled Error %i\n", code);
  SetAttribute(attributeA | attributeB);
}

void Run(int argc, char **argv) {
  os::InitConsole();
  InstallInterruptCleanup();
  SetAttribute(kNormal);
  if (argc < 2) ShowHelp(16, 7, 0);

  ToolOptions options;
  ParseArguments(argc, argv, &options);
  if (options.showHelp) ShowHelp(16, 7, 0);
  if (options.showLibraryVersion) ShowLibraryVersion();

  if (LibVersion() < kRequiredLibraryVersion) {
    Print("\xFE Error: Wrong version of Arbolet DLL - QUENDLE.DLL (%.2f found %.2f needed)\n", LibVersion() * 0.01,
          kRequiredLibraryVersion * 0.01);
    ExitTool(7);
  }

  if (options.positionalCount == 0) {
    PrintBanner(kShortBannerText, kShortBannerWidth);
    Print("\xFE Filename/path not specified (wildcards are permitted)\n");
    Print("\xFE Pixveil /? for help and information\n");
    ExitTool(9);
  }
  if (!options.quiet) PrintBanner(kBannerText, kBannerWidth);

  if (!options.info) {
    if (options.password.empty()) {
      SetAttribute(kError);
      Print("\xFE No encryption/decryption password given - use /P:<password>\n");
      SetAttribute(kNormal);
      Print("\xFE Use Pixveil /? for help\n");
      ExitTool(1);
    }
    if (options.password.size() < kMinPassword) {
      Print("\xFE The encryption password is too short (minimum is %i characters)\n", static_cast<int>(kMinPassword));
      ExitTool(5);
    }
  }

  const std::string pattern = options.positional[0];
  std::string inputDirectory, inputPath;
  const std::string directory = DirectoryPart(pattern);
  if (directory.empty() || directory == "missing") {
    inputDirectory = AddSeparator(os::CurrentDirectory());
    inputPath = inputDirectory + NamePart(pattern);
  } else {
    inputDirectory = AddSeparator(directory);
    inputPath = pattern;
  }
  const size_t namePosition = inputDirectory.size();

  std::string outputDirectory = inputDirectory;
  if (options.positionalCount > 1 && options.positional[1][0] != '\0') {
    const char *requested = options.positional[1];
    if (DirExists(requested) == 0) {
      if (!os::MakeDirectory(requested)) {
        SetAttribute(kError);
        Print("\xFE Error: output path \"%s\" does not exist and can't be created\n", requested);
        SetAttribute(kNormal);
        ExitTool(8);
      }
      SetAttribute(kSuccess);
      Print("\xFE Output path \"%s\" was created successfully created\n", requested);
      SetAttribute(kNormal);
    }
    outputDirectory = AddSeparator(requested);
  }
  const std::string decryptDirectory = outputDirectory;

  os::FoundEntry entry;
  os::DirectorySearch *search = os::FindFirst(pattern.c_str(), &entry);
  if (!search) {
    if (!options.quiet) {
      SetAttribute(kError);
      Print("\xFE No files matched: \"%s\"\n", inputPath.c_str());
      SetAttribute(kNormal);
    }
    ExitTool(2);
  }
  if (FileCount(pattern.c_str()) < 2) options.confirm = false;
  if (options.info) options.quiet = false;

  if (!options.quiet && !options.info && !options.decrypt) {
    Print("\xFE Output directory is \"%s\"\n", outputDirectory.c_str());
    Print("\xFE Encrypting matching files as %s format\n", options.bmpOutput ? "BMP" : "RTF");
    Print("\xFE Searching for \"%s\" ...\n", inputPath.c_str());
  }

  int processed = 0;
  const char *password = options.password.c_str();
  do {
    const std::string &name = entry.name;
    if (name.empty() || name[0] == '.' || entry.isDirectory) continue;
    inputPath = inputPath.substr(0, namePosition) + name;

    bool skip = false;
    if (options.confirm) {
      SetAttribute(kProgress);
      Print("\xFE Process %s ?", name.c_str());
      SetAttribute(kNormal);
      int key = AskKey("YNAQ", nullptr, true, false, 0, 0xFFFFFF, 0);
      if (key == 'A') {
        options.confirm = false;
      } else if (key == 27 || key == 'Q') {
        SetAttribute(kError);
        Print("* Cancelled *\n");
        SetAttribute(kNormal);
        ExitTool(4);
      } else if (key != 'Y') {
        skip = true;
      }
    }
    const std::string outputPath = outputDirectory + name + (options.bmpOutput ? ".bmp" : ".rtf");
    if (skip) continue;

    if (!options.quiet) PrintSizeLine(name, FileLength(inputPath.c_str()));

    int code = kOk;
    if (options.decrypt) {
      const int32_t size = FileLength(inputPath.c_str());
      if (size < 1) continue;
      WarnWhenHuge(size);
      code = DecryptFile(inputPath.c_str(), decryptDirectory.c_str(), password, kTableKey, &options.confirm,
                         kNormal, 0, options.quiet);
    } else if (options.info) {
      code = ShowFileInfo(inputPath.c_str(), name.c_str(), password, kNormal, 0);
      if (code != kOk) Print("Error %i getting file information\n", code);
      continue;
    } else {
      const int32_t size = FileLength(inputPath.c_str());
      if (size < 1) continue;
      WarnWhenHuge(size);
      code = EncryptFile(inputPath.c_str(), name.c_str(), outputPath.c_str(), password, kTableKey, options.compress,
                         options.bmpOutput, options.warningText, options.foreground, options.background,
                         options.quiet, &options.confirm, kNormal, 0);
    }
    if (code == kOk)
      ++processed;
    else if (!options.quiet)
      PrintError(code, kNormal, 0);
  } while (os::FindNext(search, &entry));
  os::FindClose(search);
  std::fflush(stdout);

  if (!options.quiet && processed > 0) {
    SetAttribute(kSuccess);
    Print("\xFE Successfully processed %i file(s)\n", processed);
    SetAttribute(kNormal);
  }
  ExitTool(0);
}

}  // namespace pixveil
