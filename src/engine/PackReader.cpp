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
    for (size_t i = 0; i < size; ++i) {
      const uint32_t t = (key2_ | 2) & 0xFFFF;
      const uint8_t plain = data[i] ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
      data[i] = plain;
      update(plain);
    }
  }
  // The first key is a CRC-32 register run over every plain byte.
  uint32_t key0() const { return key0_; }

 private:
  static uint32_t crcStep(uint32_t crc, uint8_t b) { return zipcrc::step(crc, b); }
  void update(uint8_t c) {
    key0_ = crcStep(key0_, c);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = crcStep(key2_, static_cast<uint8_t>(key1_ >> 24));
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

bool PackReader::readIndex(size_t slot, std::vector<uint8_t>& out, std::string& error) const {
  out.clear();
  if (slot >= names_.size()) {
    error = archiveName_ + ": no entry number " + std::to_string(slot);
    return false;
  }
  ++reads_;
  if (observer_) observer_(slot);
  const std::string& name = names_[slot];
  zip_uint64_t index = indices_[slot];
  auto fail = [&](const std::string& what) {
    error = archiveName_ + ": cannot read \"" + name + "\": " + what;
    out.clear();
    return false;
  };
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive_, index, 0, &st) != 0) return fail(zip_strerror(archive_));
  if (!(st.valid & ZIP_STAT_SIZE)) return fail("the archive does not give its size");
  if (st.size > kMaxEntrySize)
    return fail("it is " + std::to_string(st.size) + " bytes, more than the limit of " +
                std::to_string(kMaxEntrySize));
  const bool traditional = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method == ZIP_EM_TRAD_PKWARE;
  const bool plainMethod = (st.valid & ZIP_STAT_COMP_METHOD) &&
                           (st.comp_method == ZIP_CM_STORE || st.comp_method == ZIP_CM_DEFLATE);
  if (traditional && plainMethod && (st.valid & ZIP_STAT_COMP_SIZE) && (st.valid & ZIP_STAT_CRC) &&
      !password_.empty()) {
    std::string why;
    if (readTraditional(index, st, out, why)) return true;
    return fail(why);
  }
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (!file) return fail(zip_strerror(archive_));
  // The old zip encryption lets one wrong password in 256 past its check
  // byte; what it then reads looks damaged. Say what may be the cause.
  const bool encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
  auto failReading = [&](const std::string& why) {
    return fail(encrypted ? why + " (the entry is encrypted: a wrong password reads as damaged data)" : why);
  };
  out.resize(static_cast<size_t>(st.size));
  size_t done = 0;
  while (done < out.size()) {
    zip_int64_t n = zip_fread(file, out.data() + done, out.size() - done);
    if (n < 0) {
      std::string why = zip_file_strerror(file);
      zip_fclose(file);
      return failReading(why);
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
    std::string why = n < 0 ? zip_file_strerror(file) : std::string("it holds more data than its size says");
    zip_fclose(file);
    return failReading(why);
  }
  int closed = zip_fclose(file);
  if (closed != 0) return failReading(zipErrorText(closed));
  return true;
}

bool PackReader::readTraditional(uint64_t index, const struct zip_stat& st, std::vector<uint8_t>& out,
                                 std::string& why) const {
  // libzip opens the entry as usual first: that checks the password against
  // the entry's check byte, with libzip's own reason when it is wrong.
  zip_file_t* check = zip_fopen_index(archive_, index, 0);
  if (!check) {
    why = zip_strerror(archive_);
    return false;
  }
  zip_fclose(check);
  const std::string wrongPassword = " (the entry is encrypted: a wrong password reads as damaged data)";
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
  std::vector<uint8_t> stored(static_cast<size_t>(st.comp_size));
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
  TraditionalKeys keys(password_);
  keys.decrypt(stored.data(), kTraditionalHeader);
  const uint32_t key0AtData = keys.key0();
  keys.decrypt(stored.data() + kTraditionalHeader, stored.size() - kTraditionalHeader);
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
    crc = (keys.key0() ^ zeros ^ 0xFFFFFFFFu) & 0xFFFFFFFFu;
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
