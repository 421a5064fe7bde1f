#include "1_platform/fake/recording_programs.h"

#include <filesystem>
#include <system_error>

namespace kal {

void RecordingPrograms::AddOnPath(const std::string& name, const std::string& path) {
  on_path_[name] = path;
  executables_.insert(path);
}

int RecordingPrograms::Start(const StartRequest& req, std::string* err, StartFailure* why) {
  std::error_code ec;
  Started s{req, std::filesystem::current_path(ec).string(), 0};
  if (!fail_reason_.empty()) {
    if (err) *err = fail_reason_;
    if (why) *why = fail_kind_;
    started_.push_back(std::move(s));
    return 0;
  }
  s.id = next_id_++;
  std::vector<std::string> names = StartedNames(req.program, req.program, "/");
  auto code = codes_.find(names[1]);
  ChildStarted(s.id, std::move(names), req.streams == ChildStreams::kConsole);
  ChildEnded(s.id, code == codes_.end() ? 0 : code->second);
  if (req.streams == ChildStreams::kPipes) piped_ = true, piped_input_.clear();
  started_.push_back(std::move(s));
  return started_.back().id;
}

bool RecordingPrograms::SendToPiped(std::string_view bytes) {
  if (!piped_) return false;
  piped_input_.append(bytes);
  return true;
}

std::string RecordingPrograms::FindInPath(std::string_view name) {
  auto it = on_path_.find(std::string(name));
  return it == on_path_.end() ? "" : it->second;
}

}  // namespace kal
