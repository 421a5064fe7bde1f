#include "1_platform/file_read_reason.h"

namespace kal {

std::string FileReadReason(FileRead result, const ReadBounds& bounds) {
  switch (result) {
    case FileRead::kRead: return "";
    case FileRead::kMissing: return std::string(file_msg::kMissing);
    case FileRead::kFolder: return std::string(file_msg::kFolder);
    case FileRead::kPipe: return std::string(file_msg::kPipe);
    case FileRead::kDevice: return std::string(file_msg::kDevice);
    case FileRead::kNotAFile: return std::string(file_msg::kNotAFile);
    case FileRead::kTooLarge:
      return std::string(file_msg::kMoreThan) + std::to_string(bounds.max_bytes) + std::string(file_msg::kBytes);
    case FileRead::kTooManyLines:
      return std::string(file_msg::kMoreThan) + std::to_string(bounds.max_lines) + std::string(file_msg::kLines);
    case FileRead::kUnreadable: break;
  }
  return std::string(file_msg::kUnreadable);
}

}  // namespace kal
