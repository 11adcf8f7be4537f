#include "FileArgs.h"

#include <cstdio>

bool parseFileArgs(const std::vector<std::string>& args, const char* command, const char* usage, FileArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      out.output = args[++i];
    } else if (args[i] == "--kind" && i + 1 < args.size()) {
      out.kind = dataKindFromName(args[++i]);
      if (!out.kind) {
        std::fprintf(stderr, "tervalen-data %s: unknown kind '%s' (chara, scene, res, system)\n", command,
                     args[i].c_str());
        return false;
      }
    } else if (out.input.empty() && !args[i].empty() && args[i][0] != '-') {
      out.input = args[i];
    } else {
      std::fputs(usage, stderr);
      return false;
    }
  }
  if (out.input.empty()) {
    std::fputs(usage, stderr);
    return false;
  }
  return true;
}
