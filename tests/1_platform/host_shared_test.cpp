// The host logic both back ends share: the event loops' bookkeeping, the
// pieces of script paths, the headless text, folder listings and bounded
// reads, and the locale's language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>

#include "1_platform/event_loop.h"
#include "1_platform/headless_base.h"
#include "1_platform/host_file_parts.h"
#include "1_platform/locale_language.h"
#include "1_platform/loop_book.h"
#include "1_platform/path_parts.h"
#include "1_platform/user_locale.h"
#include "tests/support/temp_folder.h"

namespace kal {
namespace {

TEST(LoopBook, HandlersMayChangeTheWatchListAndTasksPostedByTasksWait) {
  WatchList watches;
  std::string ran;
  watches.Watch(3, [&] { ran += "a"; });
  watches.Watch(4, [&] {
    ran += "b";
    watches.Unwatch(4);  // its own entry goes while it runs
    watches.Unwatch(5);
  });
  watches.Watch(5, [&] { ran += "c"; });
  watches.Watch(3, [&] { ran += "A"; });  // replaces, and moves last
  EXPECT_EQ(watches.Fds(), (std::vector<int>{4, 5, 3}));
  for (int fd : watches.Fds()) watches.Run(fd);
  EXPECT_EQ(ran, "bA");
  EXPECT_FALSE(watches.Run(5));
  EXPECT_EQ(watches.Fds(), std::vector<int>{3});

  PostedTasks tasks;
  std::string order;
  tasks.Post([&] {
    order += "1";
    tasks.Post([&] { order += "3"; });
  });
  tasks.Post([&] { order += "2"; });
  tasks.RunAll();
  EXPECT_EQ(order, "12");
  tasks.RunAll();
  EXPECT_EQ(order, "123");
}

// A thread that outlives its loop (a reader blocked in a read, a stuck
// speech worker) posts into a closed mailbox, not into freed memory.
TEST(LoopMailbox, PostsReachTheLoopWhileItLivesAndAreDroppedAfter) {
  for (bool real : {false, true}) {
    auto loop = real ? MakePollEventLoop() : MakeFakeEventLoop();
    std::shared_ptr<LoopMailbox> box = loop->Mailbox();
    EXPECT_EQ(loop->Mailbox(), box);
    int ran = 0;
    std::thread([box, &ran] { EXPECT_TRUE(box->Post([&ran] { ++ran; })); }).join();
    loop->Wait(0);
    EXPECT_EQ(ran, 1);
    loop.reset();
    std::thread([box, &ran] { EXPECT_FALSE(box->Post([&ran] { ++ran; })); }).join();
    EXPECT_EQ(ran, 1);
  }
}

TEST(PathParts, ComponentsAndTheDriveForm) {
  std::vector<std::string> seen;
  ForEachComponent("a\\\\.\\b/../c\\", [&](std::string_view c) { seen.emplace_back(c); });
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "..", "c"}));
  EXPECT_EQ(DrivePathText('c', "Nova/s\xC3\xA3o//"), "C:\\Nova\\s\xE3o");
  EXPECT_EQ(DrivePathText('D', ""), "D:\\");
}

TEST(HeadlessTextTest, LeavesOutReturnsAndBellsAndWritesUtf8) {
  EXPECT_EQ(HeadlessText("a\r\n\x07\x08\xE9"), "a\n\b\xC3\xA9");
}

TEST(HostFileParts, ListingsSortByDiskNameAndReadsAreBounded) {
  std::vector<std::pair<std::string, FolderEntry>> found;
  for (std::string n : {"b", ".x", "\xC3\xA1", "A"}) found.emplace_back(n, EntryNamed(n));
  std::vector<FolderEntry> sorted = SortedByName(found);
  ASSERT_EQ(sorted.size(), 4u);
  EXPECT_EQ(sorted[0].name, ".x");
  EXPECT_TRUE(sorted[0].is_hidden);
  EXPECT_EQ(sorted[1].name, "A");
  EXPECT_EQ(sorted[3].name, "\xE1");  // Latin-1, after the ASCII names
  EXPECT_FALSE(sorted[3].is_hidden);

  auto source = [](std::vector<long> pieces) {
    return [pieces, i = size_t(0)](char* buf, size_t) mutable -> long {
      long n = i < pieces.size() ? pieces[i++] : 0;
      for (long k = 0; k < n; ++k) buf[k] = 'x';
      return n;
    };
  };
  // The bounds hold at their value and refuse one past it, bytes and lines
  // alike, as the pieces come.
  auto within = [](size_t bytes, size_t lines) {
    ReadBounds b;
    b.max_bytes = bytes;
    b.max_lines = lines;
    return b;
  };
  std::string got = "old";
  EXPECT_EQ(ReadWhole(source({3, 2}), within(5, 9), &got), FileRead::kRead);
  EXPECT_EQ(got, "xxxxx");
  EXPECT_EQ(ReadWhole(source({3, 3}), within(5, 9), &got), FileRead::kTooLarge);
  EXPECT_EQ(got, "");
  EXPECT_EQ(ReadWhole(source({3, -1}), within(100, 9), &got), FileRead::kUnreadable);
  EXPECT_EQ(got, "");
  auto text = [](std::vector<std::string> pieces) {
    return [pieces, i = size_t(0)](char* buf, size_t) mutable -> long {
      if (i == pieces.size()) return 0;
      std::string p = pieces[i++];
      std::copy(p.begin(), p.end(), buf);
      return static_cast<long>(p.size());
    };
  };
  EXPECT_EQ(ReadWhole(text({"a\nb", "\nc\n"}), within(100, 3), &got), FileRead::kRead);
  EXPECT_EQ(got, "a\nb\nc\n");
  EXPECT_EQ(ReadWhole(text({"a\nb", "\nc"}), within(100, 3), &got), FileRead::kRead);
  EXPECT_EQ(ReadWhole(text({"a\nb", "\nc\nd"}), within(100, 3), &got), FileRead::kTooManyLines);
  EXPECT_EQ(got, "");
  // An endless source is left at the first piece past a bound.
  int calls = 0;
  auto endless = [&calls](char* buf, size_t size) -> long {
    ++calls;
    std::fill(buf, buf + size, '\n');
    return static_cast<long>(size);
  };
  EXPECT_EQ(ReadWhole(endless, within(SIZE_MAX, 5000), &got), FileRead::kTooManyLines);
  EXPECT_EQ(calls, 1);
}

// Control characters from a script reach a terminal shown, never obeyed;
// accented letters pass.
TEST(HeadlessTextTest, ControlCharactersAreShownNotSent) {
  EXPECT_EQ(HeadlessText("\x1b]0;title\x07\x1b[2J\t\xE9\x9B\x7F\x0c"), "^[]0;title^[[2J\t\xC3\xA9\\x9b^?^L");
}

TEST(LocaleLanguage, TheEnvironmentsFirstLocaleAndItsLanguage) {
  test::ScopedEnv all("LC_ALL", std::nullopt), numeric("LC_NUMERIC", "de_DE.UTF-8"), lang("LANG", "en_US");
  EXPECT_EQ(EnvironmentNumericLocale(), "de_DE.UTF-8");
  EXPECT_TRUE(LanguageUsesComma("pt_BR", "_.@"));
  EXPECT_FALSE(LanguageUsesComma("en_US", "_.@"));
  EXPECT_FALSE(LanguageUsesComma("pt-BR", "_.@"));
  EXPECT_TRUE(LanguageUsesComma("pt-BR", "_.@-"));
  EXPECT_FALSE(LanguageUsesComma("C", "_.@"));
}

TEST(LocaleLanguage, PortugueseReadersAreToldByTheMessagesLocale) {
  test::ScopedEnv all("LC_ALL", std::nullopt), messages("LC_MESSAGES", std::nullopt), lang("LANG", "pt_BR.UTF-8");
  EXPECT_EQ(EnvironmentMessagesLocale(), "pt_BR.UTF-8");
  EXPECT_TRUE(UserReadsPortuguese());
  {
    // Messages in English on a Brazilian machine, and the other way round.
    test::ScopedEnv english("LC_MESSAGES", "en_US.UTF-8");
    EXPECT_FALSE(UserReadsPortuguese());
    test::ScopedEnv everything("LC_ALL", "pt_PT");
    EXPECT_TRUE(UserReadsPortuguese());
  }
  for (const char* other : {"C.UTF-8", "C", "en_GB", "ptx_XX", "POSIX"}) {
    test::ScopedEnv not_portuguese("LANG", other);
    EXPECT_FALSE(UserReadsPortuguese()) << other;
  }
  EXPECT_TRUE(LocaleIsPortuguese("pt"));
  EXPECT_TRUE(LocaleIsPortuguese("pt-BR"));
}

}  // namespace
}  // namespace kal
