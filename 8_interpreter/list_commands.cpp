// LISTA [name] CRIA | APAGA | TAMANHO var | ITEM index var |
// ADICIONA text | DELETA text: named lists of texts in 20 slots.
#include <cstring>

#include "5_speech/speech.h"
#include "8_interpreter/commands.h"
#include "8_interpreter/lists.h"
#include "8_interpreter/messages.h"
#include "8_interpreter/numbers.h"
#include "8_interpreter/operands.h"
#include "8_interpreter/state.h"
#include "8_interpreter/variables.h"

namespace kal {


ListSlot* FindList(InterpreterState& in, std::string_view name) {
  for (auto& slot : in.lists)
    if (slot.used && slot.name == name) return &slot;
  return nullptr;
}

namespace {

bool ListCreate(InterpreterState& in, std::string_view name, std::string_view rest) {
  if (!TrimBlanks(rest).empty()) return false;
  if (FindList(in, name)) return Fail(in, RunFault::kListMissing, std::string(kMsgListExists));
  for (auto& slot : in.lists) {
    if (slot.used) continue;
    slot.used = true;
    slot.name.assign(name);
    slot.items.clear();
    return true;
  }
  return Fail(in, RunFault::kLimitReached, std::string(kMsgTooManyLists));
}

bool ListDelete(ListSlot* list, std::string_view rest) {
  if (!TrimBlanks(rest).empty()) return false;
  *list = ListSlot();
  return true;
}

bool ListSize(InterpreterState& in, ListSlot* list, std::string_view rest) {
  int slot;
  if (!ReadVariableRef(in, &rest, &slot)) return false;
  Var(in, slot) = NumberToText(static_cast<int64_t>(list->items.size()));
  return true;
}

bool ListItem(InterpreterState& in, ListSlot* list, std::string_view rest) {
  std::string text;
  int32_t index;
  int slot;
  if (!ReadOperand(in, &rest, &text)) return false;
  if (!ParseNumber(text, &index)) return Fail(in, CheckCode::kExpectedNumber, kMsgExpectedNumber, text);
  if (!ReadVariableRef(in, &rest, &slot)) return false;
  if (index < 0 || static_cast<size_t>(index) >= list->items.size())
    return Fail(in, RunFault::kItemMissing, Filled(kMsgItemOutOfList, {std::to_string(index), ShownText(list->name), std::to_string(list->items.size())}));
  Var(in, slot) = list->items[static_cast<size_t>(index)];
  return true;
}

bool ListAdd(InterpreterState& in, ListSlot* list, std::string_view rest) {
  std::string text;
  if (!ReadOperand(in, &rest, &text)) return false;
  if (list->items.size() >= kMaxListItems) return Fail(in, RunFault::kLimitReached, std::string(kMsgListFull));
  list->items.push_back(std::move(text));
  return true;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperCaseText(a) == UpperCaseText(b);
}

bool ListRemove(InterpreterState& in, ListSlot* list, std::string_view rest) {
  std::string text;
  if (!ReadOperand(in, &rest, &text)) return false;
  for (auto it = list->items.begin(); it != list->items.end(); ++it) {
    if (SameIgnoringCase(*it, text)) {
      list->items.erase(it);
      return true;
    }
  }
  return Fail(in, RunFault::kItemMissing, Filled(kMsgItemNotInList, {ShownText(list->name), ShownText(text)}));
}

}  // namespace

bool CmdLista(InterpreterState& in, std::string_view args) {
  std::string name;
  if (!ReadListName(&args, &name)) return false;
  std::string_view rest = TrimBlanks(args);
  static constexpr std::string_view kSubs[] = {"CRIA", "APAGA", "TAMANHO", "ITEM", "ADICIONA", "DELETA"};
  int sub = -1;
  for (int i = 0; i < 6 && sub < 0; ++i)
    if (StartsWithKeyword(rest, kSubs[i])) sub = i;
  if (sub < 0) return false;
  rest.remove_prefix(kSubs[sub].size());
  if (sub == 0) return ListCreate(in, name, rest);
  ListSlot* list = FindList(in, name);
  if (!list) return Fail(in, RunFault::kListMissing, Filled(kMsgListNotFound, {ShownText(name)}));
  switch (sub) {
    case 1: return ListDelete(list, rest);
    case 2: return ListSize(in, list, rest);
    case 3: return ListItem(in, list, rest);
    case 4: return ListAdd(in, list, rest);
    default: return ListRemove(in, list, rest);
  }
}

}  // namespace kal
