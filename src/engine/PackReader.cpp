#include "engine/PackReader.h"

#include <zip.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

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

}  // namespace

std::string packKey(const std::string& name) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '\\', '/');
  while (key.rfind("./", 0) == 0) key.erase(0, 2);
  while (!key.empty() && key[0] == '/') key.erase(0, 1);
  return key;
}

PackReader::PackReader(zip* archive, std::string archiveName, std::vector<uint8_t> memory)
    : archive_(archive), archiveName_(std::move(archiveName)), memory_(std::move(memory)) {
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
  return std::unique_ptr<PackReader>(new PackReader(archive, path, {}));
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
  return std::unique_ptr<PackReader>(new PackReader(archive, "pack in memory", std::move(memory)));
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
