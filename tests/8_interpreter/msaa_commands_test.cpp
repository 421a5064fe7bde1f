// MSAA against the recording accessibility back end: the event ring, the
// properties of the current object, and what happens without a bus.
#include <gtest/gtest.h>

#include "1_platform/fake/recording_accessibility.h"
#include "8_interpreter/state.h"
#include "8_interpreter/run_context.h"
#include "tests/support/fresh_subsystems.h"
#include "tests/support/script_harness.h"

namespace kal::test {
namespace {

AccessibilityEvent Focus(const std::string& name, int code = 43) {
  AccessibilityEvent e;
  e.have_object = true;
  e.object.name = name;
  e.object.role_code = code;
  e.object.role_text = "push button";
  return e;
}

class MsaaCommands : public ::testing::Test {
 protected:
  MsaaCommands() {
    auto a = std::make_unique<RecordingAccessibility>();
    acc_ = a.get();
    SetAccessibility(Context().platform, std::move(a));
  }
  ~MsaaCommands() override {
    Out("msaa fim\n");
  }

  // The runs of a case share one interpreter, as the lines of one script
  // would: the events MONITORA collects stay for the next run's CHECA.
  std::string Out(const std::string& script) {
    ScriptResult r = RunScriptIn(in_, script, "\n");
    EXPECT_EQ(r.outcome, 0) << script;
    return r.console;
  }

  InterpreterState in_;
  RecordingAccessibility* acc_;
};

TEST_F(MsaaCommands, EventsAreTakenInOrderWithTheirObjects) {
  EXPECT_EQ(Out("msaa monitora\nmsaa checa c\nescreve c\n"), "0\n");
  AccessibilityEvent check = Focus("Marcar", 44);
  check.object.role_text = "check box";
  check.object.checked = true;
  check.object.value = "";
  check.object.left = 10, check.object.top = 20, check.object.width = 30, check.object.height = 40;
  acc_->Fire(check);
  AccessibilityEvent gone;  // an object that could not be read
  acc_->Fire(gone);
  acc_->Fire(Focus("Aplicar"));
  EXPECT_EQ(Out("msaa checa c\nmsaa nome n\nmsaa tipo t\nmsaa codigo k\nmsaa estado e\nmsaa area a b w h\n"
                "escreve c \"|\" n \"|\" t \"|\" k \"|\" e \"|\" a \",\" b \",\" w \",\" h\n"
                "msaa checa c\nescreve c\nmsaa checa c\nmsaa c\xC3\x93""digo k\nescreve c \" \" k\n"
                "msaa checa c\nescreve c\n"),
            "1|Marcar|check box|44|marcado|10,20,30,40\n0\n1 43\n0\n");
}

TEST_F(MsaaCommands, TheRingKeepsTheNewestEvents) {
  Out("msaa monitora\n");
  for (int i = 1; i <= 150; ++i) acc_->Fire(Focus("e" + std::to_string(i)));
  EXPECT_EQ(Out("msaa checa c\nmsaa nome n\nescreve n\n"), "e52\n");
  // Monitoring again starts from an empty ring.
  EXPECT_EQ(Out("msaa monitora\nmsaa checa c\nescreve c\n"), "0\n");
}

TEST_F(MsaaCommands, StatesValuesAndTheEndOfMonitoring) {
  Out("msaa monitora\n");
  AccessibilityEvent e = Focus("Campo", 42);
  e.object.value = "texto";
  e.object.checked = true;
  e.object.unavailable = true;
  acc_->Fire(e);
  EXPECT_EQ(Out("msaa checa c\nmsaa estado e\nmsaa valor v\nescreve e \"|\" v\n"), "indisponível|texto\n");
  EXPECT_EQ(Out("msaa fim\nmsaa nome n\nmsaa codigo k\nescreve \"[\" n \"]\" k\n"), "[]0\n");
  EXPECT_FALSE(acc_->monitoring);
  acc_->Fire(Focus("depois"));  // nothing listens
  EXPECT_EQ(Out("msaa checa c\nescreve c\n"), "0\n");
}

TEST_F(MsaaCommands, ObjectAtAPoint) {
  acc_->has_object_at_point = true;
  acc_->at_point.name = "Aplicar";
  acc_->at_point.role_code = 43;
  acc_->at_point.left = 100, acc_->at_point.top = 50, acc_->at_point.width = 80, acc_->at_point.height = 20;
  EXPECT_EQ(Out("msaa captura 120 60\nmsaa nome n\nmsaa area x y w h\nescreve n \" \" x \" \" y \" \" w \" \" h\n"),
            "Aplicar 100 50 80 20\n");
  // Nothing there: the current object stays.
  acc_->at_point.name = "outro";
  EXPECT_EQ(Out("msaa captura 5 5\nmsaa nome n\nescreve n\n"), "Aplicar\n");
  EXPECT_EQ(FailLine("msaa captura 5\n"), 1);
  EXPECT_EQ(FailLine("msaa captura \"a\" 5\n"), 1);
  EXPECT_EQ(FailLine("msaa area x y w\n"), 1);
}

TEST_F(MsaaCommands, WithoutABusMonitoringAndPointsFailSayingWhy) {
  acc_->available = false;
  for (const char* line : {"msaa monitora\n", "msaa captura 1 2\n"}) {
    auto r = RunScriptText(line, "\r");
    EXPECT_EQ(r.outcome, 1) << line;
    EXPECT_NE(r.console.find("Acessibilidade indisponível"), std::string::npos) << r.console;
  }
  EXPECT_EQ(Out("msaa checa c\nmsaa nome n\nescreve c \"[\" n \"]\"\n"), "0[]\n");
  EXPECT_EQ(FailLine("msaa salta\n"), 1);
  EXPECT_EQ(FailLine("msaa nome\n"), 1);
}

}  // namespace
}  // namespace kal::test
