#include <gtest/gtest.h>

#include <algorithm>

#include "0_base/json_reader.h"
#include "9_app/playlist_bounds.h"
#include "9_app/station_player.h"
#include "9_app/station_stream.h"

namespace kal {

TEST(JsonReader, ReadsThePlayersMessages) {
  JsonValue v;
  ASSERT_TRUE(ParseJson(R"({"event":"end-file","reason":"error","playlist_entry_id":1,"file_error":"loading failed"})", &v));
  EXPECT_EQ(v.MemberText("event"), "end-file");
  EXPECT_EQ(v.MemberText("file_error"), "loading failed");
  EXPECT_EQ(v.MemberText("playlist_entry_id"), "");  // a number, not a text
  ASSERT_TRUE(ParseJson(R"( {"data":[{"name":"pulse/a","description":"S\u00e3o \"x\"\n"}],"error":"success"} )", &v));
  const JsonValue* data = v.Member("data");
  ASSERT_TRUE(data != nullptr && data->kind == JsonValue::kArray && data->items.size() == 1);
  EXPECT_EQ(data->items[0].MemberText("description"), "S\xC3\xA3o \"x\"\n");
  ASSERT_TRUE(ParseJson(R"({"data":-12.5e1,"b":true,"n":null,"e":"\ud83d\ude00"})", &v));
  EXPECT_EQ(v.Member("data")->number, -125);
  EXPECT_TRUE(v.Member("b")->boolean);
  EXPECT_EQ(v.MemberText("e"), "\xF0\x9F\x98\x80");
}

// Whatever comes over the socket, a bad message is refused whole and never
// read past its end; nesting is bounded.
TEST(JsonReader, RefusesMalformedText) {
  JsonValue v;
  for (const char* bad : {"", "{", "{\"a\":}", "{\"a\":1,}", "[1 2]", "\"abc", "\"a\\", "\"\\ud800\"", "\"\\u12\"",
                          "{\"a\":1} x", "tru", "{1:2}", "\"a\x01\""})
    EXPECT_FALSE(ParseJson(bad, &v)) << bad;
  EXPECT_FALSE(ParseJson(std::string(100, '[') + std::string(100, ']'), &v));
  EXPECT_TRUE(ParseJson(std::string(10, '[') + std::string(10, ']'), &v));
  EXPECT_FALSE(ParseJson(std::string("\"a\0b\"", 5), &v));
}

// The address is the last argument, after "--": a report cannot smuggle an
// option in, and the player reads no configuration nor runs helpers.
TEST(StationPlayer, ArgumentsEndWithTheAddressAfterDashes) {
  auto args = PlayerArguments("/tmp/p", "http://a/--ao=pcm");
  ASSERT_GE(args.size(), 3u);
  EXPECT_EQ(args[args.size() - 2], "--");
  EXPECT_EQ(args.back(), "http://a/--ao=pcm");
  for (const std::string& wanted : std::vector<std::string>{"--no-config", "--ytdl=no", "--vid=no", "--no-terminal",
                                  "--input-ipc-server=" + ControlChannelAddress("/tmp/p", "controle")})
    EXPECT_NE(std::find(args.begin(), args.end(), wanted), args.end()) << wanted;
}

TEST(StationPlayer, ErrorsInPortuguese) {
  EXPECT_EQ(PlayerErrorMessage("loading failed"), "Não foi possível abrir a estação.");
  EXPECT_EQ(PlayerErrorMessage("unrecognized file format"), "O endereço não traz um som que se possa tocar.");
  EXPECT_EQ(PlayerErrorMessage("no audio or video data played"), "A estação não mandou som.");
  EXPECT_EQ(PlayerErrorMessage("audio output initialization failed"), "Não foi possível abrir o dispositivo de som.");
  EXPECT_EQ(PlayerErrorMessage("something new"), "Erro ao tocar a estação.");
  EXPECT_EQ(PlayerLogError("[0.2][v][cplayer] finished playback, loading failed (reason 4)\n[0.3] Exiting\n"),
            "loading failed");
  EXPECT_EQ(PlayerLogError("[0.2][v][cplayer] Exiting\n"), "");
}

// Where the player is installed by hand, the user hears where to get it and
// where to put it; elsewhere, which package to install.
TEST(StationPlayer, AMissingPlayerIsToldWhereToGetItAndWhereToPutIt) {
  EXPECT_EQ(PlayerMissingMessage(""), "O tocador de rádio não está instalado (mpv). Instale o pacote mpv.");
  EXPECT_EQ(PlayerMissingMessage("C:\\ferlan\\kaldorin"),
            "O tocador de rádio não está instalado (mpv). Obtenha o mpv para Windows pela página "
            "https://mpv.io/installation/ e ponha mpv.exe em C:\\ferlan\\kaldorin.");
}

// The player's news of playlists, as it sends them: the entry that was a
// playlist and the entries that took its place.
std::string Redirect(int entry, int first, int count) {
  return "{\"event\":\"end-file\",\"reason\":\"redirect\",\"playlist_entry_id\":" + std::to_string(entry) +
         ",\"playlist_insert_id\":" + std::to_string(first) +
         ",\"playlist_insert_num_entries\":" + std::to_string(count) + "}";
}

bool Takes(PlaylistBounds& bounds, const std::string& line) {
  JsonValue m;
  EXPECT_TRUE(ParseJson(line, &m)) << line;
  return bounds.Note(m);
}

TEST(PlaylistBounds, PlaylistsThatNameThemselvesAreCutShort) {
  // An address that leads to a playlist of two mirrors, the first a playlist
  // of its own: fine, as are the player's other news.
  PlaylistBounds ok;
  EXPECT_TRUE(Takes(ok, "{\"event\":\"start-file\",\"playlist_entry_id\":1}"));
  EXPECT_TRUE(Takes(ok, Redirect(1, 2, 2)));
  EXPECT_TRUE(Takes(ok, Redirect(2, 4, 3)));
  EXPECT_TRUE(Takes(ok, "{\"event\":\"end-file\",\"reason\":\"error\",\"playlist_entry_id\":4}"));
  EXPECT_TRUE(Takes(ok, "{\"event\":\"property-change\",\"name\":\"core-idle\",\"data\":false}"));

  // A playlist that names itself goes one level deeper each time.
  PlaylistBounds self;
  int entry = 1;
  for (; entry <= kMaxPlaylistDepth; ++entry) EXPECT_TRUE(Takes(self, Redirect(entry, entry + 1, 1))) << entry;
  EXPECT_FALSE(Takes(self, Redirect(entry, entry + 1, 1)));

  // Entries made before we listened count too: the ids tell how many.
  PlaylistBounds late;
  EXPECT_TRUE(Takes(late, "{\"event\":\"start-file\",\"playlist_entry_id\":40}"));
  EXPECT_FALSE(Takes(late, "{\"event\":\"start-file\",\"playlist_entry_id\":" +
                               std::to_string(kMaxPlaylistEntries + 1) + "}"));
  // A playlist naming itself twice is cut by the number of entries before
  // its depth would tell.
  PlaylistBounds wide;
  EXPECT_FALSE(Takes(wide, Redirect(1, 2, static_cast<int>(kMaxPlaylistEntries))));
}

TEST(StationStream, StationPagesAndTheirStreams) {
  EXPECT_TRUE(IsStationPage("HTTP://www.radios.com.br/play/x-1", "http://www.radios.com.br/play/"));
  EXPECT_FALSE(IsStationPage("http://www.radios.com.br/play/", "http://www.radios.com.br/play/"));
  EXPECT_FALSE(IsStationPage("http://stream.example/a.mp3", "http://www.radios.com.br/play/"));
  EXPECT_FALSE(IsStationPage("http://a/play/x", ""));
  EXPECT_EQ(StreamAddressInPage("var p = {\r\n  src:  \"http://s.example/a.mp3\",\r\n"), "http://s.example/a.mp3");
  EXPECT_EQ(StreamAddressInPage("src: \"http://one-blank\""), "");
  EXPECT_EQ(StreamAddressInPage("src:  \"http://unclosed\r\n\"x"), "");
}

}  // namespace kal
