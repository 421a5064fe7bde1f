// Why a whole-file read (paths.h, ReadHostFileWithin) gave nothing, in words
// for the user: the end of a sentence that names the file, such as
// "O script x.kal " + reason.
#pragma once

#include <string>
#include <string_view>

#include "1_platform/paths.h"

namespace kal {

namespace file_msg {

inline constexpr std::string_view kMissing = "não existe";
inline constexpr std::string_view kFolder = "é uma pasta";
inline constexpr std::string_view kPipe = "é um pipe (FIFO), não um arquivo";
inline constexpr std::string_view kDevice = "é um dispositivo, não um arquivo";
inline constexpr std::string_view kNotAFile = "não é um arquivo comum";
inline constexpr std::string_view kMoreThan = "tem mais de ";  // + the bound
inline constexpr std::string_view kBytes = " bytes";
inline constexpr std::string_view kLines = " linhas";
inline constexpr std::string_view kUnreadable = "não pôde ser lido";

}  // namespace file_msg

// The reason (UTF-8) for a result other than kRead; the bounds give the
// number a "too large" or "too many lines" names.
std::string FileReadReason(FileRead result, const ReadBounds& bounds);

}  // namespace kal
