#include "engine/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  // No HOME (a service, a bare environment): ask the password database.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

fs::path baseFolder(const char* variable, const char* underHome) {
  if (const char* value = std::getenv(variable); value && value[0] == '/') return fs::path(value) / "tervalen";
  fs::path home = homeFolder();
  if (home.empty()) return {};
  return home / underHome / "tervalen";
}

}  // namespace

fs::path userStateFolder() { return baseFolder("XDG_STATE_HOME", ".local/state"); }

fs::path userConfigFolder() { return baseFolder("XDG_CONFIG_HOME", ".config"); }

fs::path userDataFolder() { return baseFolder("XDG_DATA_HOME", ".local/share"); }

bool makeUserFolder(const fs::path& folder, std::string& error) {
  if (folder.empty() || !folder.is_absolute()) {
    error = "no folder to create";
    return false;
  }
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    if (mkdir(partial.c_str(), 0700) == 0) continue;
    int err = errno;
    // Already there: a folder, or a link to one (a home on another disk).
    struct stat st;
    if (stat(partial.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    error = err == EEXIST ? partial.string() + " is not a folder"
                          : "cannot create " + partial.string() + ": " + std::strerror(err);
    return false;
  }
  return true;
}
