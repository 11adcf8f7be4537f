// tervalen-data compile SOURCE -o FILE.dat [--kind K]
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "DataText.h"
#include "OutputFile.h"
#include "resource/FileBytes.h"

namespace {

int runCompile(const std::vector<std::string>& args) {
  std::string source, output;
  std::optional<DataKind> kind;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "-o" || args[i] == "--kind") && i + 1 < args.size()) {
      if (args[i] == "-o") {
        output = args[++i];
      } else {
        kind = dataKindFromName(args[++i]);
        if (!kind) {
          std::fprintf(stderr, "tervalen-data compile: unknown kind '%s' (chara, scene, res, system)\n", args[i].c_str());
          return 2;
        }
      }
    } else if (source.empty() && !args[i].empty() && args[i][0] != '-') {
      source = args[i];
    } else {
      std::fprintf(stderr, "usage: tervalen-data compile SOURCE -o FILE.dat [--kind chara|scene|res|system]\n");
      return 2;
    }
  }
  if (source.empty() || output.empty()) {
    std::fprintf(stderr, "usage: tervalen-data compile SOURCE -o FILE.dat [--kind chara|scene|res|system]\n");
    return 2;
  }
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
