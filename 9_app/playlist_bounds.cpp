#include "9_app/playlist_bounds.h"

namespace kal {

namespace {

// A member that is a whole number, or -1.
int64_t Whole(const JsonValue& message, std::string_view name) {
  const JsonValue* v = message.Member(name);
  if (v == nullptr || v->kind != JsonValue::kNumber || !(v->number >= 0 && v->number < 1e15)) return -1;
  return static_cast<int64_t>(v->number);
}

}  // namespace

// The address given is entry 1; an entry made before we listened is taken
// to be one level down at least.
int PlaylistBounds::DepthOf(int64_t entry) const {
  auto it = depth_.find(entry);
  if (it != depth_.end()) return it->second;
  return entry <= 1 ? 0 : 1;
}

bool PlaylistBounds::Note(const JsonValue& message) {
  int64_t entry = Whole(message, "playlist_entry_id");
  if (entry > kMaxPlaylistEntries) return false;
  if (message.MemberText("event") != "end-file" || message.MemberText("reason") != "redirect") return true;
  int64_t first = Whole(message, "playlist_insert_id");
  int64_t count = Whole(message, "playlist_insert_num_entries");
  if (first < 0 || count <= 0) return true;  // an empty playlist: the player goes on to the next entry
  if (count > kMaxPlaylistEntries || first + count - 1 > kMaxPlaylistEntries) return false;
  int depth = DepthOf(entry) + 1;
  if (depth > kMaxPlaylistDepth) return false;
  for (int64_t id = first; id < first + count; ++id) depth_[id] = depth;
  return true;
}

}  // namespace kal
