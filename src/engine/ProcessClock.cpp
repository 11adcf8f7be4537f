#include "engine/ProcessClock.h"

#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

double millisecondsSinceProcessStart() {
  std::ifstream file("/proc/self/stat");
  std::string line;
  if (!file || !std::getline(file, line) || line.size() > 4096) return -1;
  // "pid (name) state ..." : the name may hold spaces and parentheses, the
  // fields after its last ')' are plain; the start time is field 22.
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(line.substr(close + 1));
  std::string field;
  for (int n = 3; n <= 22; ++n)
    if (!(fields >> field)) return -1;
  const long ticks = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (ticks <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
  const double started = std::stod(field) / static_cast<double>(ticks);
  return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - started) * 1000.0;
}
