#include "CheckFiles.h"

#include <sys/stat.h>
#include <zip.h>

#include "engine/PackReader.h"

DiskFile diskFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  if (!S_ISREG(st.st_mode)) return {DiskFile::NotRegular, 0};
  return {DiskFile::Regular, static_cast<uint64_t>(st.st_size)};
}

std::string byteCount(uint64_t bytes) {
  if (bytes != 0 && bytes % (1ull << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool packEntrySizes(const std::string& path, std::map<std::string, uint64_t>& sizes, std::string& error) {
  sizes.clear();
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive) {
    zip_error_t z;
    zip_error_init_with_code(&z, code);
    error = path + ": " + zip_error_strerror(&z);
    zip_error_fini(&z);
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) continue;
    if (!(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) continue;
    const std::string key = packKey(st.name);
    if (key.empty() || key.back() == '/') continue;  // folders
    sizes.emplace(key, st.size);
  }
  zip_discard(archive);
  return true;
}
