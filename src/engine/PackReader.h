// The resource pack: a zip archive whose entries may be encrypted with the
// traditional PKWARE scheme or with AES, all under one password. Entry names
// are looked up as stored (GBK in the game's packs), with '\' read as '/', and
// then ignoring ASCII case.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/FileBytes.h"

struct zip;
struct zip_stat;

class PackReader {
 public:
  // Entries bigger than this are refused rather than read: the bound of every
  // file the game reads from disk.
  static constexpr uint64_t kMaxEntrySize = kMaxFileBytes;

  // Opens an archive file, or returns nullptr with the reason in `error`.
  static std::unique_ptr<PackReader> open(const std::string& path, const char* password, std::string& error);
  // Opens an archive held in memory (copied).
  static std::unique_ptr<PackReader> openMemory(const void* data, size_t size, const char* password,
                                                std::string& error);
  ~PackReader();
  PackReader(const PackReader&) = delete;
  PackReader& operator=(const PackReader&) = delete;

  size_t entryCount() const { return names_.size(); }
  const std::string& entryName(size_t i) const { return names_[i]; }
  bool contains(const std::string& name) const { return find(name) >= 0; }
  // The number of the entry a name leads to (as entryName counts), -1 when none does.
  long slotOf(const std::string& name) const { return find(name); }
  // The size the archive's directory gives an entry (read at open: safe from any thread).
  uint64_t entrySize(size_t slot) const { return slot < sizes_.size() ? sizes_[slot] : 0; }
  // Reads a whole entry. False with the reason in `error` when it is missing,
  // too big, encrypted under another password or damaged.
  bool read(const std::string& name, std::vector<uint8_t>& out, std::string& error) const;
  bool readIndex(size_t index, std::vector<uint8_t>& out, std::string& error) const;
  // Reads several entries, each as readIndex would. Those under the old
  // encryption are deciphered side by side, several at once on one core.
  struct Result {
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok = false;
  };
  void readIndices(const std::vector<size_t>& slots, std::vector<Result>& results) const;

  const std::string& name() const { return archiveName_; }
  // Entries read so far (whole reads, failed ones included).
  uint64_t readCount() const { return reads_.load(); }
  // Called with the entry's number at every read, on the reading thread.
  using ReadObserver = std::function<void(size_t slot)>;
  void setReadObserver(ReadObserver observer) { observer_ = std::move(observer); }

  // An entry as the archive stores it, for those who must judge every name
  // (a mod): its raw name, its size and whether it is a link or a folder.
  struct RawEntry {
    std::string name;
    uint64_t size = 0;
    bool link = false;
    bool folder = false;
  };
  // Every entry; false with `error` when the archive cannot say.
  bool rawEntries(std::vector<RawEntry>& out, std::string& error) const;

 private:
  PackReader(zip* archive, std::string archiveName, std::vector<uint8_t> memory, std::string password);
  void buildIndex();
  long find(const std::string& name) const;
  // An entry under the old zip encryption is undone here a whole buffer at a
  // time (libzip undoes it a byte at a time, several times slower): its
  // stored bytes fetched, deciphered with others, then opened (inflated if it
  // was, and its CRC checked).
  struct Sealed;
  bool fetchSealed(uint64_t index, const struct zip_stat& st, std::vector<uint8_t>& stored, std::string& why) const;
  static void decipher(std::vector<Sealed>& sealed);
  bool openSealed(const struct zip_stat& st, const std::vector<uint8_t>& stored, uint32_t key0AtData, uint32_t key0AtEnd,
                  std::vector<uint8_t>& out, std::string& why) const;
  // Any other entry, through libzip.
  bool readPlain(uint64_t index, const struct zip_stat& st, std::vector<uint8_t>& out, std::string& why) const;

  zip* archive_;
  std::string archiveName_;
  std::vector<uint8_t> memory_;  // backing store of an archive opened from memory
  std::string password_;
  std::vector<std::string> names_;  // by entry index, as stored, '\' made '/'
  std::vector<uint64_t> indices_;   // libzip index of each name
  std::vector<uint64_t> sizes_;     // and its size
  std::unordered_map<std::string, size_t> exact_;
  std::unordered_map<std::string, size_t> folded_;
  mutable std::atomic<uint64_t> reads_{0};
  ReadObserver observer_;
};

// The key pack names are matched by: '\' becomes '/', a leading "./" or "/" is dropped.
std::string packKey(const std::string& name);
