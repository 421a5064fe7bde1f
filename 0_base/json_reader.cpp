#include "0_base/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace kal {

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}

  bool Document(JsonValue* out) {
    if (!Value(out, 0)) return false;
    SkipBlanks();
    return pos_ == s_.size();
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && std::strchr(" \t\r\n", s_[pos_]) != nullptr && s_[pos_] != 0) ++pos_;
  }

  bool Take(char c) {
    SkipBlanks();
    if (pos_ >= s_.size() || s_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool Word(std::string_view w) {
    if (s_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool Value(JsonValue* v, int depth) {
    if (depth > kMaxJsonDepth) return false;
    SkipBlanks();
    if (pos_ >= s_.size()) return false;
    char c = s_[pos_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v->kind = JsonValue::kString;
      return String(&v->text);
    }
    if (Word("true") || Word("false")) {
      v->kind = JsonValue::kBool;
      v->boolean = c == 't';
      return true;
    }
    if (Word("null")) {
      v->kind = JsonValue::kNull;
      return true;
    }
    return Number(v);
  }

  bool Number(JsonValue* v) {
    size_t start = pos_;
    while (pos_ < s_.size() && std::strchr("+-0123456789.eE", s_[pos_]) != nullptr && s_[pos_] != 0) ++pos_;
    if (pos_ == start) return false;
    std::string digits(s_.substr(start, pos_ - start));
    char* end = nullptr;
    v->kind = JsonValue::kNumber;
    v->number = std::strtod(digits.c_str(), &end);
    return end == digits.c_str() + digits.size();
  }

  static void AppendUtf8(unsigned code, std::string* out) {
    if (code < 0x80) {
      out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (code >> 6)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (code >> 12)));
      out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (code >> 18)));
      out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }

  bool Hex4(unsigned* code) {
    if (pos_ + 4 > s_.size()) return false;
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      char c = s_[pos_++];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return false;
      *code = *code * 16 + static_cast<unsigned>(d);
    }
    return true;
  }

  // \uXXXX, with a surrogate pair joined; a lone surrogate is refused.
  bool Unicode(std::string* out) {
    unsigned code;
    if (!Hex4(&code)) return false;
    if (code >= 0xD800 && code < 0xDC00) {
      unsigned low;
      if (!Word("\\u") || !Hex4(&low) || low < 0xDC00 || low >= 0xE000) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else if (code >= 0xDC00 && code < 0xE000) {
      return false;
    }
    AppendUtf8(code, out);
    return true;
  }

  bool String(std::string* out) {
    ++pos_;  // the opening quote
    out->clear();
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (pos_ >= s_.size()) return false;
      char e = s_[pos_++];
      const char* from = "\"\\/bfnrt";
      const char* to = "\"\\/\b\f\n\r\t";
      const char* at = e != 0 ? std::strchr(from, e) : nullptr;
      if (at != nullptr) {
        out->push_back(to[at - from]);
      } else if (e != 'u' || !Unicode(out)) {
        return false;
      }
    }
    return false;
  }

  bool Array(JsonValue* v, int depth) {
    ++pos_;
    v->kind = JsonValue::kArray;
    if (Take(']')) return true;
    do {
      v->items.emplace_back();
      if (!Value(&v->items.back(), depth + 1)) return false;
    } while (Take(','));
    return Take(']');
  }

  bool Object(JsonValue* v, int depth) {
    ++pos_;
    v->kind = JsonValue::kObject;
    if (Take('}')) return true;
    do {
      SkipBlanks();
      if (pos_ >= s_.size() || s_[pos_] != '"') return false;
      std::string name;
      if (!String(&name) || !Take(':')) return false;
      v->members.emplace_back(std::move(name), JsonValue());
      if (!Value(&v->members.back().second, depth + 1)) return false;
    } while (Take(','));
    return Take('}');
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace

JsonValue::JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
JsonValue::~JsonValue() = default;

const JsonValue* JsonValue::Member(std::string_view name) const {
  for (const auto& m : members)
    if (m.first == name) return &m.second;
  return nullptr;
}

std::string JsonValue::MemberText(std::string_view name) const {
  const JsonValue* m = Member(name);
  return m != nullptr && m->kind == kString ? m->text : "";
}

bool ParseJson(std::string_view text, JsonValue* out) {
  *out = JsonValue();
  return Reader(text).Document(out);
}

}  // namespace kal
