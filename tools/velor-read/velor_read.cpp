// velor-read FORMAT.json FILE: reads FILE line by line with the text library
// as FORMAT.json describes and prints one JSON object per line read.
#include <nlohmann/json.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "TextFile.h"
#include "codepage.h"
#include "consoleout.h"
#include "drivemap.h"
#include "mbcs.h"
#include "messages.h"
#include "programstart.h"
#include "readfiles.h"
#include "textaccessor.h"

namespace {

// The --help text; its translation is looked up whole.
const char* VelorReadUsage() {
  return "usage: velor-read FORMAT.json FILE\n"
         "\n"
         "Reads the text file FILE (a native path) line by line as FORMAT.json\n"
         "describes and prints one JSON object per line on standard output:\n"
         "  {\"result\": R, \"physical\": P, \"logical\": L, \"line\": \"...\", \"values\": [...]}\n"
         "R is 0 (stored), 2 (the line does not match the format) or 3 (a comment\n"
         "line while skip_comments is false). For result 0, values lists the items\n"
         "in format order: text as a string, integers as numbers, currency (8-byte\n"
         "numbers) as a string with four decimals such as \"-12.3400\". Texts are\n"
         "code page 932 in the file and UTF-8 here; a byte that is no code page 932\n"
         "character is shown as U+FFFD.\n"
         "\n"
         "FORMAT.json:\n"
         "  {\"layout\": \"fixed\"|\"comma\"|\"tab\"|\"space\",\n"
         "   \"quote\": \"none\"|\"single\"|\"double\",      (default none)\n"
         "   \"comment\": \";\",                            (optional comment mark)\n"
         "   \"skip_comments\": true, \"space_flag\": false,\n"
         "   \"header_lines\": 0,   (refusals among the first N lines are expected)\n"
         "   \"items\": [{\"szName\": \"a\", \"lWidth\": 8, \"lDecimals\": 0,\n"
         "              \"lOffset\": 0, \"lSize\": 9, \"lType\": 0, \"lRequired\": 0}, ...]}\n"
         "lType 0 is text (lSize counts the NUL), 1 a signed number (lSize 1, 2, 4,\n"
         "or 8 for currency), 2 an unsigned number (lSize 1, 2 or 4). At most 100\n"
         "items, widths below 1,024, slots inside a record buffer of 1 MiB.\n"
         "\n"
         "The record buffer is cleared before every line. Exit status: 0 when no\n"
         "line was refused, 1 when a line after the header lines gave result 2,\n"
         "2 for a bad command line, format file or input file.\n"
         "\n"
         "The asset-kind file syurui.SSC reads with examples/syurui-format.json:\n"
         "its \";\" header is skipped as comments, its section, key and empty lines\n"
         "(the first 17 lines) are reported with result 2 without failing the run,\n"
         "and every asset-kind row after them must read with result 0.\n";
}

// UTF-8 form of code page 932 text; a byte that starts no valid character
// becomes U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(const std::string& cp932) {
  std::string out;
  if (Cp932ToUtf8(cp932, &out)) return out;
  out.clear();
  std::string one;
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = MbcsKindAt(cp932.data(), cp932.size(), i) == MBCS_LEAD ? 2 : 1;
    if (Cp932ToUtf8(std::string_view(cp932).substr(i, n), &one) && !one.empty()) {
      out += one;
      i += n;
    } else {
      out += "\xEF\xBF\xBD";
      i += 1;
    }
  }
  return out;
}

// The item's value in the record buffer as JSON.
nlohmann::ordered_json Value(const StTAFORMAT& f, const unsigned char* record) {
  const unsigned char* slot = record + f.lOffset;
  if (f.lType == ClTextAccessor::TAT_STRING) {
    const void* nul = std::memchr(slot, 0, static_cast<size_t>(f.lSize));
    const size_t length = nul ? static_cast<const unsigned char*>(nul) - slot : static_cast<size_t>(f.lSize);
    return ToUtf8(std::string(reinterpret_cast<const char*>(slot), length));
  }
  const bool isSigned = f.lType == ClTextAccessor::TAT_NUMBER;
  switch (f.lSize) {
    case 1: {
      uint8_t v;
      std::memcpy(&v, slot, 1);
      return isSigned ? nlohmann::ordered_json(static_cast<int8_t>(v)) : nlohmann::ordered_json(v);
    }
    case 2: {
      uint16_t v;
      std::memcpy(&v, slot, 2);
      return isSigned ? nlohmann::ordered_json(static_cast<int16_t>(v)) : nlohmann::ordered_json(v);
    }
    case 4: {
      uint32_t v;
      std::memcpy(&v, slot, 4);
      return isSigned ? nlohmann::ordered_json(static_cast<int32_t>(v)) : nlohmann::ordered_json(v);
    }
    default: {
      int64_t v;
      std::memcpy(&v, slot, 8);
      if (!isSigned) return static_cast<uint64_t>(v);
      const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
      char text[32];
      std::snprintf(text, sizeof text, "%s%" PRIu64 ".%04" PRIu64, v < 0 ? "-" : "", magnitude / 10000,
                    magnitude % 10000);
      return std::string(text);
    }
  }
}

// The messages are UTF-8: a Windows console shows them in any code page.
int Fail(const std::string& message) {
  ConsolePrintf(stderr, "velor-read: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  InitMessageLanguage();
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    const bool wrote = ConsoleWrite(stdout, Tr(VelorReadUsage()));
    return wrote && std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
  }
  if (args.size() != 2) return Fail(Tr("expects FORMAT.json FILE (see --help)"));
  // The arguments are UTF-8, so is the path made of them.
  const std::filesystem::path filePath(std::u8string(args[1].begin(), args[1].end()));

  ReadFormat format;
  std::string problem = LoadReadFormat(args[0], &format);
  if (!problem.empty()) return Fail(problem);

  // The library opens Windows paths: the file is reached through the drive
  // map's entry that contains it.
  std::error_code ec;
  const std::filesystem::path native = std::filesystem::absolute(filePath, ec);
  const std::u8string nativeName = native.lexically_normal().u8string();
  std::string windows;
  if (ec || !DriveMapToWindows(std::string(nativeName.begin(), nativeName.end()), &windows)) {
    return Fail(Tr("no drive of the drive map holds %s", {args[1]}));
  }
  problem = CheckReadInput(args[1]);
  if (!problem.empty()) return Fail(problem);
  ClTextFile file;
  if (file.Open(windows.c_str(), ClTextFile::TFOM_READ) != 0) return Fail(Tr("cannot open %s", {args[1]}));

  std::vector<unsigned char> record(static_cast<size_t>(format.recordSize));
  ClTextAccessor reader("VREAD", format.items.data(), static_cast<long>(format.items.size()), record.data());
  file.Attach(&reader);
  reader.SetMode(format.layout, format.quote);
  if (format.hasComment) reader.SetCommentMark(format.comment.c_str());
  reader.SetCommentSkip(format.skipComments ? 1 : 0);
  reader.SetSpaceFlag(format.spaceFlag ? 1 : 0);

  int status = 0;
  char line[ClTextAccessor::kLineSize];
  for (;;) {
    std::fill(record.begin(), record.end(), 0);
    const long result = reader.Read();
    if (result == 1) break;
    reader.GetReadLine(line);
    nlohmann::ordered_json out;
    out["result"] = result;
    out["physical"] = reader.GetPhysicalLineNo();
    out["logical"] = reader.GetLogicalLineNo();
    out["line"] = ToUtf8(std::string(line, strnlen(line, sizeof line)));
    out["values"] = nlohmann::ordered_json::array();
    if (result == 0) {
      for (const StTAFORMAT& f : format.items) out["values"].push_back(Value(f, record.data()));
    }
    if (result == 2 && reader.GetPhysicalLineNo() > format.headerLines) status = 1;
    std::cout << out.dump() << "\n";
  }
  std::cout.flush();
  if (!std::cout) return Fail(Tr("cannot write the output"));
  return status;
}
