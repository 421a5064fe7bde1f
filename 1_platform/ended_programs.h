// The record of how the programs started here ended, kept by both hosts'
// program starters: the exit code by program id, and the names each program
// was started under, so that a script can ask how the last "wget" ended
// after it has gone from the process list. Only the latest few are kept: a
// script asks right after the end it waited for.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kal {

class EndedPrograms {
 public:
  // Remembers that program id, known by names (lower case), ended with code.
  void Add(int id, std::vector<std::string> names, int code);
  // The code program id ended with; -1 when it is not recorded.
  int CodeOf(int id) const;
  // The code of the latest ended program whose names match; -1 when none.
  int LastCodeMatching(const std::function<bool(const std::vector<std::string>&)>& match) const;

 private:
  struct Ended {
    int id;
    std::vector<std::string> names;
    int code;
  };
  static constexpr size_t kKept = 64;
  std::deque<Ended> ended_;  // oldest first
};

}  // namespace kal
