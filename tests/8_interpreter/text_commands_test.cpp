// SEJA values that a whole script cannot pin: RAND compared between runs,
// and the date and time at a fixed moment. Whole scripts of SEJA, the
// arithmetic and the text commands are files under tests/scripts/.
#include <gtest/gtest.h>

#include "1_platform/platform.h"
#include "1_platform/event_loop.h"
#include "tests/support/script_harness.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"

namespace kal::test {

TEST(Seja, RandIsRepeatableAndBounded) {
  std::string script = "repete i 20\n  seja r rand 10\n  se r < 0 termina\n  se r >= 10 termina\n  concatena s r\nfim repete\nescreve s\n";
  std::string first = Out(script);
  EXPECT_EQ(first.size(), 21u);
  EXPECT_EQ(Out(script), first);  // the same fixed seed in every run
}

TEST(Seja, DateAndTimeValues) {
  static LocalTime t{2024, 3, 7, 4, 9, 5, 3, 25};  // a Thursday
  Context().platform.pinned_time = &t;
  EXPECT_EQ(Out("seja a data\nseja b hora\nseja c dia\nseja d tempo\nescreve a \" \" b \" \" c \" \" d\n"),
            "07/03/2024 09:05:03 Quinta 0\n");
  t.weekday = 6;
  EXPECT_EQ(Out("seja c dia\nescreve c\n"), "Sábado\n");
  Context().platform.pinned_time = nullptr;
}

}  // namespace kal::test
