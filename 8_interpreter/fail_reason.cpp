// Recording why a line failed.
#include "8_interpreter/fail_reason.h"

#include <cerrno>
#include <utility>

#include "0_base/latin1.h"
#include "0_base/visible_text.h"
#include "5_speech/speech.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"

namespace kal {

namespace {

// In the order of RunFault.
constexpr std::string_view kRunFaultIds[] = {"K301", "K302", "K303", "K304", "K305",
                                             "K306", "K307", "K308", "K309", "K310"};
static_assert(sizeof kRunFaultIds / sizeof kRunFaultIds[0] == static_cast<size_t>(RunFault::kItemMissing) + 1,
              "one code per run fault");

bool Record(InterpreterState& in, std::string_view code, std::string message) {
  if (!in.fail_reason.code.empty()) return false;
  in.fail_reason.code = code;
  in.fail_reason.message = std::move(message);
  return false;
}

}  // namespace

std::string_view RunFaultId(RunFault fault) { return kRunFaultIds[static_cast<size_t>(fault)]; }

bool FailNoChannel(InterpreterState& in, std::string_view args) {
  std::string_view t = TrimFrontBlanks(args);
  size_t end = 0;
  while (end < t.size() && !IsBlank(t[end])) ++end;
  return Fail(in, CheckCode::kExpectedChannel, kMsgExpectedChannel, t.substr(0, end));
}

bool FailChannelClosed(InterpreterState& in, int channel) {
  return Fail(in, RunFault::kChannelNotOpen, Filled(kMsgChannelNotOpen, {std::to_string(channel)}));
}

std::string_view FileErrorWords(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return kMsgFileMissing;
    case EACCES:
    case EPERM:
    case EROFS: return kMsgFileNoPermission;
    case EISDIR: return kMsgFileIsFolder;
    case EEXIST: return kMsgFileExists;
    // A name the system cannot take (Windows refuses control characters
    // and some punctuation in names; any system a name too long).
    case EINVAL:
    case ENAMETOOLONG: return kMsgFileBadName;
    default: return {};
  }
}

bool FailOnFile(InterpreterState& in, std::string_view utf8_message, std::string_view latin1_name, int err) {
  std::string message = std::string(utf8_message) + ShownText(latin1_name);
  std::string_view words = FileErrorWords(err);
  if (!words.empty()) message.append(": ").append(words);
  return Fail(in, RunFault::kFileRefused, std::move(message));
}

void ClearFailReason(InterpreterState& in) {
  if (in.fail_reason.code.empty()) return;
  in.fail_reason.code = {};
  in.fail_reason.message.clear();
}

std::string ShownText(std::string_view latin1) { return VisibleText(Latin1ToUtf8(latin1)); }

bool Fail(InterpreterState& in, CheckCode code, std::string message) {
  return Record(in, InfoOf(code).id, std::move(message));
}

bool Fail(InterpreterState& in, RunFault fault, std::string message) {
  return Record(in, RunFaultId(fault), std::move(message));
}

std::string VariableName(const InterpreterState& in, int slot) {
  if (slot >= 1 && slot <= kLetterVariables) return std::string(1, static_cast<char>('A' + slot - 1));
  size_t named = static_cast<size_t>(slot - kLetterVariables - 1);
  return named < in.names.size() ? "$" + Latin1ToUtf8(in.names[named]) : std::string("?");
}

bool FailNotNumber(InterpreterState& in, int slot) {
  return Fail(in, CheckCode::kExpectedNumber, Filled(kMsgVarNotNumber, {VariableName(in, slot), ShownText(Var(in, slot))}));
}

bool FailNotNumber(InterpreterState& in, std::string_view written, const Value& value) {
  NumberText buf;
  std::string shown = ShownText(TextOf(value, &buf));
  written = TrimBlanks(written);
  // A variable is named as its slot names it, whatever the case it was
  // written in, so that both ways of running a line say the same.
  std::string name;
  if (written.size() > 1 && written[0] == '$') name = "$" + ShownText(UpperCaseText(written.substr(1)));
  if (written.size() == 1 && LetterSlot(static_cast<unsigned char>(written[0])) != 0)
    name = VariableName(in, LetterSlot(static_cast<unsigned char>(written[0])));
  if (name.empty()) return Fail(in, CheckCode::kExpectedNumber, std::string(kMsgExpectedNumber) + shown);
  return Fail(in, CheckCode::kExpectedNumber, Filled(kMsgVarNotNumber, {name, shown}));
}

bool Fail(InterpreterState& in, CheckCode code, std::string_view utf8_message, std::string_view latin1_tail) {
  return Fail(in, code, std::string(utf8_message) + ShownText(latin1_tail));
}

bool Fail(InterpreterState& in, RunFault fault, std::string_view utf8_message, std::string_view latin1_tail) {
  return Fail(in, fault, std::string(utf8_message) + ShownText(latin1_tail));
}

}  // namespace kal
