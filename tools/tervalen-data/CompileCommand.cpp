// tervalen-data compile SOURCE -o FILE.dat [--kind K]
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "FileArgs.h"
#include "DataText.h"
#include "OutputFile.h"
#include "base/FileBytes.h"

namespace {

const char* kUsage = "usage: tervalen-data compile SOURCE -o FILE.dat [--kind chara|scene|res|system]\n";

int runCompile(const std::vector<std::string>& args) {
  FileArgs parsed;
  if (!parseFileArgs(args, "compile", kUsage, parsed)) return 2;
  if (parsed.output.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& source = parsed.input;
  const std::string& output = parsed.output;
  std::optional<DataKind> kind = parsed.kind;
  Expected<std::vector<uint8_t>> text = readFileBytes(source);
  if (!text) {
    std::fprintf(stderr, "%s\n", text.error().message().c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  TextError error;
  if (!compileDataText(std::string(text->begin(), text->end()), kind, bytes, error)) {
    std::fprintf(stderr, "%s:%d:%d: %s\n", source.c_str(), error.pos.line, error.pos.column, error.message.c_str());
    return 1;
  }
  std::string writeError;
  if (!writeWholeFile(output, bytes, writeError)) {
    std::fprintf(stderr, "tervalen-data compile: %s\n", writeError.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(compileCommand, "compile", "compile SOURCE -o FILE.dat [--kind chara|scene|res|system]",
                      runCompile);
