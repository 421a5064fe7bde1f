// The index of the diphone database: 15-byte records (a length byte and up
// to 8 name characters, a 16-bit piece length in bytes and a 32-bit offset
// into the data file, little-endian), sorted by name and searched by halves.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "1_platform/host_file.h"
#include "4_voices/diphone/diphone_state.h"

namespace kal::diphone {
namespace {

std::string UpperName(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

IndexRecord DecodeRecord(const unsigned char* r) {
  IndexRecord rec;
  size_t len = std::min<size_t>(r[0], kMaxRecordName);
  rec.name.assign(reinterpret_cast<const char*>(r + 1), len);
  rec.length = static_cast<uint16_t>(r[9] | (r[10] << 8));
  rec.offset = static_cast<uint32_t>(r[11]) | (static_cast<uint32_t>(r[12]) << 8) |
               (static_cast<uint32_t>(r[13]) << 16) | (static_cast<uint32_t>(r[14]) << 24);
  return rec;
}

}  // namespace

bool LoadIndex(const std::string& path, std::vector<IndexRecord>* index) {
  std::ifstream in(HostFsPath(path), std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  index->clear();
  const size_t count = bytes.size() / kRecordSize;  // a partial record at the end is ignored
  index->reserve(count);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < count; ++i) index->push_back(DecodeRecord(p + i * kRecordSize));
  return true;
}

const IndexRecord* FindPiece(const std::vector<IndexRecord>& index, std::string_view name) {
  const std::string key = UpperName(name);
  auto it = std::lower_bound(index.begin(), index.end(), key,
                             [](const IndexRecord& r, const std::string& k) { return r.name < k; });
  if (it == index.end() || it->name != key) return nullptr;
  return &*it;
}

}  // namespace kal::diphone
