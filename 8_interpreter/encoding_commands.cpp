// The encoding commands: seven in-place conversions of a variable's value
// and the two Base64 file conversions.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "1_platform/host_file.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/encodings.h"
#include "8_interpreter/fail_reason.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"
#include "1_platform/paths.h"

namespace kal {
namespace {

using Conversion = std::string (*)(std::string_view);

// Reads one operand and converts its value, then stores the result into the
// variable the argument text begins with. A quoted string as operand is
// converted and then fails: no variable receives it.
bool ConvertInPlace(InterpreterState& in, std::string_view args, Conversion convert) {
  std::string_view copy = args;
  std::string value;
  if (!ReadOperand(in, &args, &value)) return false;
  std::string converted = convert(value);
  int slot = 0;
  if (!ReadVariableRef(in, &copy, &slot)) return false;
  if (!ValueSizeOk(in, converted.size())) return false;
  Var(in, slot) = std::move(converted);
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads the two file-name operands; the source must exist as a file.
bool ReadSourceAndDestination(InterpreterState& in, std::string_view args, std::string* source, std::string* destination) {
  std::string src, dst;
  if (!ReadOperand(in, &args, &src) || !ReadOperand(in, &args, &dst)) return false;
  *source = HostPath(src);
  *destination = HostPath(dst);
  if (HostIsFolder(*source)) return FailOnFile(in, kMsgFileOpenError, src, EISDIR);
  return HostExists(*source) || FailOnFile(in, kMsgFileOpenError, src, ENOENT);
}

}  // namespace

bool CmdAnsiParaUtf8(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, AnsiToUtf8); }
bool CmdUtf8ParaAnsi(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, Utf8ToAnsiFold); }
bool CmdHttp(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, PercentEncode); }
bool CmdCodBase64(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, Base64Encode); }
bool CmdDecodBase64(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, Base64Decode); }
bool CmdAdQuoted(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, QuotedEncode); }
bool CmdRemoveQuoted(InterpreterState& in, std::string_view args) { return ConvertInPlace(in, args, QuotedDecode); }

// CODARQBASE64 source destination: the destination becomes the Base64 text
// of the source in lines of 64 characters with CR LF. A read error ends the
// input early; what was encoded so far is written. The command fails when
// the destination cannot be created or written.
bool CmdCodArqBase64(InterpreterState& in, std::string_view args) {
  std::string source, destination;
  if (!ReadSourceAndDestination(in, args, &source, &destination)) return false;
  File from(OpenHostFile(source, "rb"));
  if (!from) return FailOnFile(in, kMsgFileOpenError, source, errno);
  File out(OpenHostFile(destination, "wb"));
  if (!out) return FailOnFile(in, kMsgFileCreateError, destination, errno);
  Base64LineEncoder encoder;
  std::string text;
  char block[1024];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(block, 1, sizeof block, from.get());
    encoder.Feed(std::string_view(block, n), &text);
    if (n < sizeof block) break;
    if (text.size() >= 65536) {
      ok = ok && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
      text.clear();
    }
  }
  encoder.Finish(&text);
  ok = ok && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  return std::fclose(out.release()) == 0 && ok;
}

// DECODARQBASE64 source destination: decodes the Base64 text of the source
// (line ends, blanks and other characters outside the alphabet skipped, the
// first '=' ends it) into the destination. Fails when a file cannot be
// opened or a write fails; both files are closed in every case.
bool CmdDecodArqBase64(InterpreterState& in, std::string_view args) {
  std::string source, destination;
  if (!ReadSourceAndDestination(in, args, &source, &destination)) return false;
  File from(OpenHostFile(source, "rb"));
  if (!from) return FailOnFile(in, kMsgFileOpenError, source, errno);
  File out(OpenHostFile(destination, "wb"));
  if (!out) return FailOnFile(in, kMsgFileCreateError, destination, errno);
  Base64StreamDecoder decoder;
  std::string bytes;
  char block[1024];
  bool ok = true;
  bool more = true;
  while (more) {
    size_t n = std::fread(block, 1, sizeof block, from.get());
    more = decoder.Feed(std::string_view(block, n), &bytes) && n == sizeof block;
    if (bytes.size() >= 1024 || !more) {
      if (!more) decoder.Finish(&bytes);
      ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
      bytes.clear();
    }
  }
  return std::fclose(out.release()) == 0 && ok;
}

}  // namespace kal
