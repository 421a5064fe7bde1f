#include "1_platform/ended_programs.h"

namespace kal {

void EndedPrograms::Add(int id, std::vector<std::string> names, int code) {
  // An id the system gave again replaces the older record.
  for (auto it = ended_.begin(); it != ended_.end(); ++it) {
    if (it->id == id) {
      ended_.erase(it);
      break;
    }
  }
  ended_.push_back({id, std::move(names), code});
  if (ended_.size() > kKept) ended_.pop_front();
}

int EndedPrograms::CodeOf(int id) const {
  for (auto it = ended_.rbegin(); it != ended_.rend(); ++it)
    if (it->id == id) return it->code;
  return -1;
}

int EndedPrograms::LastCodeMatching(const std::function<bool(const std::vector<std::string>&)>& match) const {
  for (auto it = ended_.rbegin(); it != ended_.rend(); ++it)
    if (match(it->names)) return it->code;
  return -1;
}

}  // namespace kal
