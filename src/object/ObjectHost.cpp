#include "object/ObjectHost.h"

#include "base/FormatText.h"

void ObjectHost::report(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string line = formatText(format, args);
  va_end(args);
  log(line);
}
