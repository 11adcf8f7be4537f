// Today's date for the game's records (the engine is the one place that reads the wall clock).
#include <ctime>

#include "engine/hge.h"

std::string HGE::System_GetDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16] = "2000-01-01";
  if (now != static_cast<std::time_t>(-1) && localtime_r(&now, &local)) std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}
