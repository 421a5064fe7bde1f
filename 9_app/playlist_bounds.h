// How far the media player may go into playlists for one station.
//
// A station's address may be a playlist, whose entries may be playlists in
// turn; a playlist that names itself (or two that name each other) would
// keep the player fetching for ever while the user hears nothing after
// "Conectando". The player's news tell every playlist it opened: the entry
// that turned out to be a playlist (its id), and the first id and the number
// of the entries that took its place. From these the nesting of every entry
// is known (the address given is entry 1, at depth 0), and since the player
// numbers entries one after another from 1, the highest id seen is the
// number of entries made so far, also those made before we listened.
#pragma once

#include <cstdint>
#include <map>

#include "0_base/json_reader.h"

namespace kal {

// Nesting deeper than this is no station's: an address that leads to a
// playlist naming another one, which names the stream, is depth 2.
inline constexpr int kMaxPlaylistDepth = 4;
// More entries than this, all playlists taken together, is no station's.
inline constexpr int64_t kMaxPlaylistEntries = 64;

class PlaylistBounds {
 public:
  // Takes one message of the player. False once the playlists went past
  // either bound; the player is then to be stopped.
  bool Note(const JsonValue& message);

 private:
  int DepthOf(int64_t entry) const;

  std::map<int64_t, int> depth_;  // the entries we saw made: id -> nesting
};

}  // namespace kal
