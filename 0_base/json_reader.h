// A small reader of JSON texts, for the messages a helper program sends
// over its control socket (one JSON object a line). It takes the whole
// syntax, nests at most kMaxJsonDepth deep and never reads past its input;
// anything malformed is refused as a whole.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kal {

inline constexpr int kMaxJsonDepth = 32;

struct JsonValue {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's contents, UTF-8 as sent, escapes resolved
  std::vector<JsonValue> items;                             // an array's
  std::vector<std::pair<std::string, JsonValue>> members;  // an object's, in order

  // Defined where JsonValue is complete: the vectors above hold the type
  // being defined, and a compiler may instantiate their members (which need
  // the whole type) wherever these are first used.
  JsonValue();
  JsonValue(const JsonValue&);
  JsonValue(JsonValue&&) noexcept;
  JsonValue& operator=(const JsonValue&);
  JsonValue& operator=(JsonValue&&) noexcept;
  ~JsonValue();

  // The member of an object with that name (the first one), or nullptr.
  const JsonValue* Member(std::string_view name) const;
  // The member's string, or "" when it is missing or not a string.
  std::string MemberText(std::string_view name) const;
};

// Reads one JSON value filling the whole text (blanks around it allowed).
// False when the text is not exactly one well-formed value.
bool ParseJson(std::string_view text, JsonValue* out);

}  // namespace kal
