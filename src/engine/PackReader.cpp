#include "engine/PackReader.h"

#include <zip.h>
#include <zlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "base/ZipCrc.h"

namespace {

std::string folded(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string zipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}


// The three keys of the old zip encryption, started from the password and
// then stepped by every plain byte.
class TraditionalKeys {
 public:
  explicit TraditionalKeys(const std::string& password) {
    for (char c : password) update(static_cast<uint8_t>(c));
  }
  void decrypt(uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) data[i] = step(key0_, key1_, key2_, data[i]);
  }
  // Four entries' next `size` bytes at once. Each byte waits for the one
  // before it (some twenty instructions in a chain), so one entry leaves most
  // of a core idle; four chains side by side keep it busy.
  static void decryptFour(std::array<TraditionalKeys*, 4> keys, std::array<uint8_t*, 4> data, size_t size) {
    uint32_t a0 = keys[0]->key0_, a1 = keys[0]->key1_, a2 = keys[0]->key2_;
    uint32_t b0 = keys[1]->key0_, b1 = keys[1]->key1_, b2 = keys[1]->key2_;
    uint32_t c0 = keys[2]->key0_, c1 = keys[2]->key1_, c2 = keys[2]->key2_;
    uint32_t d0 = keys[3]->key0_, d1 = keys[3]->key1_, d2 = keys[3]->key2_;
    uint8_t *a = data[0], *b = data[1], *c = data[2], *d = data[3];
    for (size_t i = 0; i < size; ++i) {
      a[i] = step(a0, a1, a2, a[i]);
      b[i] = step(b0, b1, b2, b[i]);
      c[i] = step(c0, c1, c2, c[i]);
      d[i] = step(d0, d1, d2, d[i]);
    }
    keys[0]->set(a0, a1, a2);
    keys[1]->set(b0, b1, b2);
    keys[2]->set(c0, c1, c2);
    keys[3]->set(d0, d1, d2);
  }
  // The first key is a CRC-32 register run over every plain byte.
  uint32_t key0() const { return key0_; }

 private:
  static uint32_t crcStep(uint32_t crc, uint8_t b) { return zipcrc::step(crc, b); }
  void update(uint8_t c) { update(key0_, key1_, key2_, c); }
  static void update(uint32_t& key0, uint32_t& key1, uint32_t& key2, uint8_t c) {
    key0 = crcStep(key0, c);
    key1 = (key1 + (key0 & 0xFF)) * 134775813u + 1;
    key2 = crcStep(key2, static_cast<uint8_t>(key1 >> 24));
  }
  // One byte deciphered, and the keys stepped by it.
  static uint8_t step(uint32_t& key0, uint32_t& key1, uint32_t& key2, uint8_t sealed) {
    const uint32_t t = (key2 | 2) & 0xFFFF;
    const uint8_t plain = sealed ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    update(key0, key1, key2, plain);
    return plain;
  }
  void set(uint32_t key0, uint32_t key1, uint32_t key2) {
    key0_ = key0;
    key1_ = key1;
    key2_ = key2;
  }
  uint32_t key0_ = 0x12345678u, key1_ = 0x23456789u, key2_ = 0x34567890u;
};

// Each entry under the old encryption starts with this many bytes of header.
constexpr uint64_t kTraditionalHeader = 12;

}  // namespace

std::string packKey(const std::string& name) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '\\', '/');
  while (key.rfind("./", 0) == 0) key.erase(0, 2);
  while (!key.empty() && key[0] == '/') key.erase(0, 1);
  return key;
}

PackReader::PackReader(zip* archive, std::string archiveName, std::vector<uint8_t> memory, std::string password)
    : archive_(archive),
      archiveName_(std::move(archiveName)),
      memory_(std::move(memory)),
      password_(std::move(password)) {
  buildIndex();
}

PackReader::~PackReader() {
  if (archive_) zip_discard(archive_);
}

std::unique_ptr<PackReader> PackReader::open(const std::string& path, const char* password, std::string& error) {
  int code = 0;
  zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive) {
    error = path + ": cannot open the pack: " + zipErrorText(code);
    return nullptr;
  }
  if (password && *password && zip_set_default_password(archive, password) != 0) {
    error = path + ": cannot set the pack's password: " + zip_strerror(archive);
    zip_discard(archive);
    return nullptr;
  }
  return std::unique_ptr<PackReader>(new PackReader(archive, path, {}, password ? password : ""));
}

std::unique_ptr<PackReader> PackReader::openMemory(const void* data, size_t size, const char* password,
                                                   std::string& error) {
  std::vector<uint8_t> memory(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  zip_error_t zerr;
  zip_error_init(&zerr);
  zip_source_t* source = zip_source_buffer_create(memory.data(), memory.size(), 0, &zerr);
  if (!source) {
    error = std::string("pack in memory: ") + zip_error_strerror(&zerr);
    zip_error_fini(&zerr);
    return nullptr;
  }
  zip* archive = zip_open_from_source(source, ZIP_RDONLY, &zerr);
  if (!archive) {
    error = std::string("pack in memory: cannot open: ") + zip_error_strerror(&zerr);
    zip_error_fini(&zerr);
    zip_source_free(source);
    return nullptr;
  }
  zip_error_fini(&zerr);
  if (password && *password) zip_set_default_password(archive, password);
  // The vector's buffer does not move when the vector itself is moved.
  return std::unique_ptr<PackReader>(new PackReader(archive, "pack in memory", std::move(memory), password ? password : ""));
}

void PackReader::buildIndex() {
  zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* raw = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    if (!raw) continue;
    std::string key = packKey(raw);
    if (key.empty() || key.back() == '/') continue;  // folders
    size_t slot = names_.size();
    names_.push_back(key);
    indices_.push_back(static_cast<uint64_t>(i));
    zip_stat_t st;
    zip_stat_init(&st);
    const bool sized = zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
    sizes_.push_back(sized ? st.size : 0);
    exact_.emplace(key, slot);
    folded_.emplace(folded(key), slot);
  }
}

long PackReader::find(const std::string& name) const {
  std::string key = packKey(name);
  auto it = exact_.find(key);
  if (it != exact_.end()) return static_cast<long>(it->second);
  auto jt = folded_.find(folded(key));
  if (jt != folded_.end()) return static_cast<long>(jt->second);
  return -1;
}

bool PackReader::read(const std::string& name, std::vector<uint8_t>& out, std::string& error) const {
  long slot = find(name);
  if (slot < 0) {
    error = archiveName_ + ": no entry \"" + name + "\"";
    return false;
  }
  return readIndex(static_cast<size_t>(slot), out, error);
}

// An entry under the old encryption, its stored bytes read, to be deciphered
// with others.
struct PackReader::Sealed {
  size_t result;  // its place among the results
  zip_stat_t st;
  std::vector<uint8_t> stored;
  TraditionalKeys keys;
  uint32_t key0AtData = 0;
};

bool PackReader::readIndex(size_t slot, std::vector<uint8_t>& out, std::string& error) const {
  std::vector<Result> results;
  readIndices({slot}, results);
  out = std::move(results[0].bytes);
  error = std::move(results[0].error);
  return results[0].ok;
}

void PackReader::readIndices(const std::vector<size_t>& slots, std::vector<Result>& results) const {
  results.assign(slots.size(), Result{});
  std::vector<Sealed> sealed;
  for (size_t i = 0; i < slots.size(); ++i) {
    Result& r = results[i];
    const size_t slot = slots[i];
    if (slot >= names_.size()) {
      r.error = archiveName_ + ": no entry number " + std::to_string(slot);
      continue;
    }
    ++reads_;
    if (observer_) observer_(slot);
    const uint64_t index = indices_[slot];
    zip_stat_t st;
    zip_stat_init(&st);
    std::string why;
    if (zip_stat_index(archive_, index, 0, &st) != 0) {
      why = zip_strerror(archive_);
    } else if (!(st.valid & ZIP_STAT_SIZE)) {
      why = "the archive does not give its size";
    } else if (st.size > kMaxEntrySize) {
      why = "it is " + std::to_string(st.size) + " bytes, more than the limit of " + std::to_string(kMaxEntrySize);
    } else {
      const bool traditional =
          (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method == ZIP_EM_TRAD_PKWARE;
      const bool plainMethod = (st.valid & ZIP_STAT_COMP_METHOD) &&
                               (st.comp_method == ZIP_CM_STORE || st.comp_method == ZIP_CM_DEFLATE);
      if (traditional && plainMethod && (st.valid & ZIP_STAT_COMP_SIZE) && (st.valid & ZIP_STAT_CRC) &&
          !password_.empty()) {
        Sealed entry{i, st, {}, TraditionalKeys(password_)};
        if (fetchSealed(index, st, entry.stored, why)) {
          sealed.push_back(std::move(entry));
          continue;
        }
      } else if (readPlain(index, st, r.bytes, why)) {
        r.ok = true;
        continue;
      }
    }
    r.bytes.clear();
    r.error = archiveName_ + ": cannot read \"" + names_[slot] + "\": " + why;
  }
  decipher(sealed);
  for (Sealed& entry : sealed) {
    Result& r = results[entry.result];
    std::string why;
    r.ok = openSealed(entry.st, entry.stored, entry.key0AtData, entry.keys.key0(), r.bytes, why);
    if (!r.ok) {
      r.bytes.clear();
      r.error = archiveName_ + ": cannot read \"" + names_[slots[entry.result]] + "\": " + why;
    }
  }
}

void PackReader::decipher(std::vector<Sealed>& sealed) {
  for (Sealed& entry : sealed) {
    entry.keys.decrypt(entry.stored.data(), kTraditionalHeader);
    entry.key0AtData = entry.keys.key0();
  }
  // Four at a time; a lane that runs out takes the next entry.
  struct Lane {
    Sealed* entry = nullptr;
    size_t done = kTraditionalHeader;
    size_t left() const { return entry->stored.size() - done; }
  };
  std::array<Lane, 4> lanes;
  size_t next = 0;
  for (;;) {
    int busy = 0;
    for (Lane& lane : lanes) {
      while (!lane.entry && next < sealed.size()) {
        lane = Lane{&sealed[next++]};
        if (lane.left() == 0) lane.entry = nullptr;
      }
      busy += lane.entry != nullptr;
    }
    if (busy == 0) return;
    if (busy < 4) {
      // Nothing left to fill the idle lanes with: the rest one by one.
      for (Lane& lane : lanes)
        if (lane.entry) lane.entry->keys.decrypt(lane.entry->stored.data() + lane.done, lane.left());
      return;
    }
    size_t size = lanes[0].left();
    for (const Lane& lane : lanes) size = std::min(size, lane.left());
    TraditionalKeys::decryptFour({&lanes[0].entry->keys, &lanes[1].entry->keys, &lanes[2].entry->keys, &lanes[3].entry->keys},
                                 {lanes[0].entry->stored.data() + lanes[0].done, lanes[1].entry->stored.data() + lanes[1].done,
                                  lanes[2].entry->stored.data() + lanes[2].done, lanes[3].entry->stored.data() + lanes[3].done},
                                 size);
    for (Lane& lane : lanes) {
      lane.done += size;
      if (lane.left() == 0) lane.entry = nullptr;
    }
  }
}

bool PackReader::readPlain(uint64_t index, const struct zip_stat& st, std::vector<uint8_t>& out, std::string& why) const {
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (!file) {
    why = zip_strerror(archive_);
    return false;
  }
  // The old zip encryption lets one wrong password in 256 past its check
  // byte; what it then reads looks damaged. Say what may be the cause.
  const bool encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
  auto failReading = [&](const std::string& what) {
    why = encrypted ? what + " (the entry is encrypted: a wrong password reads as damaged data)" : what;
    return false;
  };
  out.resize(static_cast<size_t>(st.size));
  size_t done = 0;
  while (done < out.size()) {
    zip_int64_t n = zip_fread(file, out.data() + done, out.size() - done);
    if (n < 0) {
      const std::string what = zip_file_strerror(file);
      zip_fclose(file);
      return failReading(what);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  if (done != out.size()) {
    zip_fclose(file);
    return failReading("it ends after " + std::to_string(done) + " of " + std::to_string(out.size()) + " bytes");
  }
  // Reading past the end makes libzip check the CRC.
  uint8_t extra;
  zip_int64_t n = zip_fread(file, &extra, 1);
  if (n != 0) {
    const std::string what = n < 0 ? zip_file_strerror(file) : std::string("it holds more data than its size says");
    zip_fclose(file);
    return failReading(what);
  }
  int closed = zip_fclose(file);
  if (closed != 0) return failReading(zipErrorText(closed));
  return true;
}

bool PackReader::fetchSealed(uint64_t index, const struct zip_stat& st, std::vector<uint8_t>& stored,
                             std::string& why) const {
  // libzip opens the entry as usual first: that checks the password against
  // the entry's check byte, with libzip's own reason when it is wrong.
  zip_file_t* check = zip_fopen_index(archive_, index, 0);
  if (!check) {
    why = zip_strerror(archive_);
    return false;
  }
  zip_fclose(check);
  // Deflate grows what it cannot shrink by a few bytes a block at most.
  const uint64_t maxStored = st.size + st.size / 64 + 1024 + kTraditionalHeader;
  if (st.comp_size < kTraditionalHeader || st.comp_size > maxStored) {
    why = "its stored size " + std::to_string(st.comp_size) + " does not fit its size " + std::to_string(st.size);
    return false;
  }
  zip_file_t* file = zip_fopen_index(archive_, index, ZIP_FL_ENCRYPTED);
  if (!file) {
    why = zip_strerror(archive_);
    return false;
  }
  stored.resize(static_cast<size_t>(st.comp_size));
  size_t done = 0;
  while (done < stored.size()) {
    const zip_int64_t n = zip_fread(file, stored.data() + done, stored.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  zip_fclose(file);
  if (done != stored.size()) {
    why = "it ends after " + std::to_string(done) + " of " + std::to_string(stored.size()) + " stored bytes";
    return false;
  }
  return true;
}

bool PackReader::openSealed(const struct zip_stat& st, const std::vector<uint8_t>& stored, uint32_t key0AtData,
                            uint32_t key0AtEnd, std::vector<uint8_t>& out, std::string& why) const {
  const std::string wrongPassword = " (the entry is encrypted: a wrong password reads as damaged data)";
  const uint8_t* data = stored.data() + kTraditionalHeader;
  const size_t dataSize = stored.size() - kTraditionalHeader;
  out.resize(static_cast<size_t>(st.size));
  if (st.comp_method == ZIP_CM_STORE) {
    if (dataSize != out.size()) {
      why = "it holds " + std::to_string(dataSize) + " bytes, not the " + std::to_string(out.size()) + " its size says" +
            wrongPassword;
      return false;
    }
    if (dataSize) std::copy(data, data + dataSize, out.begin());
  } else {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
      why = "cannot start inflating";
      return false;
    }
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(dataSize);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // One byte more than the size: room to notice data past the size.
    uint8_t spare = 0;
    int result = inflate(&z, Z_FINISH);
    if (result == Z_BUF_ERROR && z.avail_out == 0 && z.avail_in > 0) {
      z.next_out = &spare;
      z.avail_out = 1;
      result = inflate(&z, Z_FINISH);
    }
    const uLong produced = z.total_out;
    inflateEnd(&z);
    if (result != Z_STREAM_END || produced != out.size()) {
      why = (result == Z_STREAM_END && produced < out.size())
                ? "it ends after " + std::to_string(produced) + " of " + std::to_string(out.size()) + " bytes"
            : produced > out.size() ? std::string("it holds more data than its size says")
                                    : std::string("its compressed data is damaged");
      why += wrongPassword;
      return false;
    }
  }
  uLong crc = 0;
  if (st.comp_method == ZIP_CM_STORE) {
    // The first key has run the CRC register over the data already, from its
    // own start instead of the CRC's all ones. A CRC register is linear in its
    // start, so the difference is the register of the two starts' difference
    // run over as many zero bytes, which zlib works out without running it.
    const uLong zeros = crc32_combine_op((key0AtData ^ 0xFFFFFFFFu), 0, crc32_combine_gen(static_cast<z_off_t>(dataSize)));
    crc = (key0AtEnd ^ zeros ^ 0xFFFFFFFFu) & 0xFFFFFFFFu;
  } else {
    crc = crc32(crc32(0L, Z_NULL, 0), out.data(), static_cast<uInt>(out.size()));
  }
  if (crc != st.crc) {
    why = "CRC error" + wrongPassword;
    return false;
  }
  return true;
}

bool PackReader::rawEntries(std::vector<RawEntry>& out, std::string& error) const {
  out.clear();
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const zip_uint64_t index = static_cast<zip_uint64_t>(i);
    RawEntry e;
    const char* raw = zip_get_name(archive_, index, ZIP_FL_ENC_RAW);
    zip_stat_t st;
    zip_stat_init(&st);
    if (!raw || zip_stat_index(archive_, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
      error = archiveName_ + ": entry " + std::to_string(i) + ": " + zip_strerror(archive_);
      return false;
    }
    e.name = raw;
    e.size = st.size;
    e.folder = !e.name.empty() && e.name.back() == '/';
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive_, index, 0, &system, &attributes) == 0 && system == ZIP_OPSYS_UNIX)
      e.link = S_ISLNK(static_cast<mode_t>(attributes >> 16));
    out.push_back(std::move(e));
  }
  return true;
}
