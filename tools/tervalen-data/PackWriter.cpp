#include "PackWriter.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "base/ZipCrc.h"
#include "base/TextCodec.h"
#include "base/FileBytes.h"

namespace fs = std::filesystem;

namespace {

uint32_t crcStep(uint32_t crc, uint8_t b) { return zipcrc::step(crc, b); }

// The traditional PKWARE stream cipher.
class ZipCrypto {
 public:
  explicit ZipCrypto(const std::string& password) {
    for (char c : password) update(static_cast<uint8_t>(c));
  }
  uint8_t encrypt(uint8_t plain) {
    uint32_t t = (k2_ | 2) & 0xFFFF;
    uint8_t out = plain ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    update(plain);
    return out;
  }

 private:
  void update(uint8_t c) {
    k0_ = crcStep(k0_, c);
    k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
    k2_ = crcStep(k2_, static_cast<uint8_t>(k1_ >> 24));
  }
  uint32_t k0_ = 0x12345678u, k1_ = 0x23456789u, k2_ = 0x34567890u;
};

// 64-bit FNV-1a, then a finaliser: the seed of an entry's header bytes.
uint64_t entrySeed(const PackEntry& e, uint32_t crc) {
  uint64_t h = 0xCBF29CE484222325ull;
  auto mix = [&](uint8_t b) {
    h ^= b;
    h *= 0x100000001B3ull;
  };
  for (char c : e.name) mix(static_cast<uint8_t>(c));
  mix(0);
  for (uint8_t b : e.data) mix(b);
  for (int i = 0; i < 4; ++i) mix(static_cast<uint8_t>(crc >> (8 * i)));
  return h;
}

uint64_t splitmix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

constexpr uint16_t kVersion = 20;        // 2.0: encryption
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kDosTime = 0;         // 00:00:00
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

}  // namespace

uint32_t crc32Of(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = crcStep(crc, data[i]);
  return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> writePack(const std::vector<PackEntry>& entries, const std::string& password) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> central;
  for (const PackEntry& e : entries) {
    const uint32_t offset = static_cast<uint32_t>(out.size());
    const uint32_t crc = crc32Of(e.data.data(), e.data.size());
    const uint32_t size = static_cast<uint32_t>(e.data.size());
    const uint32_t stored = size + 12;

    auto header = [&](std::vector<uint8_t>& h, bool isCentral) {
      put32(h, isCentral ? 0x02014B50u : 0x04034B50u);
      if (isCentral) put16(h, kVersion);  // made by: MS-DOS, 2.0
      put16(h, kVersion);
      put16(h, kFlagEncrypted);
      put16(h, kMethodStored);
      put16(h, kDosTime);
      put16(h, kDosDate);
      put32(h, crc);
      put32(h, stored);
      put32(h, size);
      put16(h, static_cast<uint32_t>(e.name.size()));
      put16(h, 0);  // extra field length
      if (isCentral) {
        put16(h, 0);  // comment length
        put16(h, 0);  // disk number
        put16(h, 0);  // internal attributes
        put32(h, 0);  // external attributes
        put32(h, offset);
      }
      h.insert(h.end(), e.name.begin(), e.name.end());
    };
    header(out, false);
    header(central, true);

    ZipCrypto cipher(password);
    uint64_t state = entrySeed(e, crc);
    uint64_t random = splitmix(state);
    for (int i = 0; i < 11; ++i) out.push_back(cipher.encrypt(static_cast<uint8_t>(random >> (8 * (i % 8)))));
    out.push_back(cipher.encrypt(static_cast<uint8_t>(crc >> 24)));  // the password check byte
    for (uint8_t b : e.data) out.push_back(cipher.encrypt(b));
  }
  const uint32_t centralOffset = static_cast<uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  put32(out, 0x06054B50u);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<uint32_t>(entries.size()));
  put16(out, static_cast<uint32_t>(entries.size()));
  put32(out, static_cast<uint32_t>(central.size()));
  put32(out, centralOffset);
  put16(out, 0);  // comment length
  return out;
}

namespace {

bool inside(const fs::path& root, const fs::path& path) {
  auto [r, p] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
  return r == root.end() && p != path.end();
}

// An entry name the game and every unzip tool take as a file inside the pack:
// relative, no empty, "." or ".." part, and no '\' (the game reads it as '/').
bool safeEntryName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos) return false;
  size_t from = 0;
  for (;;) {
    const size_t slash = name.find('/', from);
    const std::string part = name.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
    if (part.empty() || part == "." || part == "..") return false;
    if (slash == std::string::npos) return true;
    from = slash + 1;
  }
}

}  // namespace

bool collectPackFolder(const std::string& dir, const std::string& skipPath, std::vector<PackEntry>& entries,
                       std::string& error) {
  entries.clear();
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    error = dir + ": not a folder";
    return false;
  }
  const fs::path root = fs::canonical(dir, ec);
  if (ec) {
    error = dir + ": " + ec.message();
    return false;
  }
  fs::path skip = skipPath.empty() ? fs::path() : fs::weakly_canonical(skipPath, ec);
  uint64_t total = 0;
  // Links to folders are not followed: every entry is named by the path of
  // what lies in the folder, built from the names the folder lists.
  fs::recursive_directory_iterator it(dir, fs::directory_options::none, ec);
  if (ec) {
    error = dir + ": " + ec.message();
    return false;
  }
  std::vector<std::string> parts;  // the names from `dir` down to the current entry
  for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) {
      error = dir + ": " + ec.message();
      return false;
    }
    const fs::path& path = it->path();
    parts.resize(static_cast<size_t>(it.depth()));
    parts.push_back(path.filename().string());
    const fs::file_status status = it->symlink_status(ec);
    if (ec) {
      error = path.string() + ": " + ec.message();
      return false;
    }
    if (fs::is_directory(status)) continue;  // the iterator goes into it
    fs::path source = path;  // what the entry's bytes come from
    if (fs::is_symlink(status)) {
      const fs::path target = fs::canonical(path, ec);
      if (ec) {
        error = path.string() + ": a link that leads nowhere (" + ec.message() + ")";
        return false;
      }
      if (!inside(root, target)) {
        error = path.string() + ": a link to " + target.string() +
                ", outside the folder: the pack stores only what is in the folder (copy the file in instead)";
        return false;
      }
      if (fs::is_directory(target, ec)) {
        error = path.string() + ": a link to a folder: the pack stores files and real folders only";
        return false;
      }
      source = target;
    } else if (!fs::is_regular_file(status)) {
      error = path.string() + ": not a regular file, a folder or a link: it cannot go into the pack";
      return false;
    }
    if (!skip.empty() && fs::weakly_canonical(path, ec) == skip) continue;  // the pack being written
    std::string relative;
    for (const std::string& part : parts) relative += (relative.empty() ? "" : "/") + part;
    PackEntry entry;
    if (!utf8ToGbk(relative, entry.name)) {
      error = path.string() + ": the file name has no GBK form, so the game could not ask for it";
      return false;
    }
    if (!safeEntryName(relative) || !safeEntryName(entry.name)) {
      error = path.string() + ": the name cannot be stored in the pack (the game reads '\\' as '/')";
      return false;
    }
    if (entry.name.size() > 0xFFFF) {
      error = path.string() + ": the file name is too long for a zip entry";
      return false;
    }
    Expected<std::vector<uint8_t>> bytes = readFileBytes(source.string());
    if (!bytes) {
      error = path.string() + ": " + bytes.error().what;
      return false;
    }
    entry.data = std::move(*bytes);
    total += entry.data.size() + 12 + 2 * (46 + entry.name.size());
    if (entry.data.size() > 0xFFFFFFF0u || total > 0xFFFFFFF0u || entries.size() >= 0xFFFF) {
      error = dir + ": too much for one pack (4 GiB and 65535 files at most)";
      return false;
    }
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
  return true;
}
