// Named lists of texts: 20 slots, each empty or holding one list. LISTA
// works on them and the EM condition looks lists up by name.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kal {

struct InterpreterState;

constexpr int kListSlots = 20;
// A list stops growing here, so a runaway loop gets a spoken error instead
// of exhausting memory.
constexpr size_t kMaxListItems = 1000000;

struct ListSlot {
  bool used = false;
  std::string name;                // compared exactly, letter case included
  std::vector<std::string> items;  // in the order they were added
};

using ListTable = std::array<ListSlot, kListSlots>;

// The list of that exact name, or nullptr.
ListSlot* FindList(InterpreterState& in, std::string_view name);

}  // namespace kal
