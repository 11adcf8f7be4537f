// tervalen-data decompile FILE.dat [-o OUT] [--kind K]
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "FileArgs.h"
#include "DataText.h"
#include "OutputFile.h"
#include "base/FileBytes.h"

namespace {

const char* kUsage = "usage: tervalen-data decompile FILE.dat [-o OUT] [--kind chara|scene|res|system]\n";

int runDecompile(const std::vector<std::string>& args) {
  FileArgs parsed;
  if (!parseFileArgs(args, "decompile", kUsage, parsed)) return 2;
  const std::string& input = parsed.input;
  const std::string& output = parsed.output;
  std::optional<DataKind> kind = parsed.kind;
  if (!kind) kind = dataKindFromPath(input);
  if (!kind) {
    std::fprintf(stderr,
                 "tervalen-data decompile: cannot tell the kind of %s from its path; give --kind chara|scene|res|system\n",
                 input.c_str());
    return 2;
  }
  Expected<std::vector<uint8_t>> bytes = readFileBytes(input);
  if (!bytes) {
    std::fprintf(stderr, "%s\n", bytes.error().message().c_str());
    return 1;
  }
  Expected<std::string> text = decompileData(*bytes, input, *kind);
  if (!text) {
    std::fprintf(stderr, "%s\n", text.error().message().c_str());
    return 1;
  }
  if (output.empty()) {
    std::fwrite(text->data(), 1, text->size(), stdout);
    std::string writeError;
    if (!finishStandardOutput(writeError)) {
      std::fprintf(stderr, "tervalen-data decompile: %s\n", writeError.c_str());
      return 1;
    }
    return 0;
  }
  std::string writeError;
  if (!writeWholeFile(output, *text, writeError)) {
    std::fprintf(stderr, "tervalen-data decompile: %s\n", writeError.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

TERVALEN_DATA_COMMAND(decompileCommand, "decompile", "decompile FILE.dat [-o OUT] [--kind chara|scene|res|system]",
                      runDecompile);
