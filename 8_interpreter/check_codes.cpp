// The script check's codes and severities, in the order of CheckCode.
#include "8_interpreter/check_codes.h"

namespace kal {

namespace {

constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;

const CheckCodeInfo kInfo[] = {
    {"K100", E}, {"K101", E}, {"K102", E}, {"K103", E}, {"K104", E}, {"K105", E}, {"K106", E}, {"K107", E}, {"K108", E},
    {"K109", E}, {"K110", E}, {"K111", E}, {"K112", E}, {"K113", E}, {"K114", E}, {"K115", E}, {"K116", E},
    {"K117", E}, {"K118", E}, {"K119", E}, {"K120", E}, {"K121", E}, {"K122", E},
    {"K201", W}, {"K202", W}, {"K203", W}, {"K204", W}, {"K205", W}, {"K206", W}, {"K207", W}, {"K208", W},
    {"K209", W}, {"K210", W}, {"K211", W}, {"K212", W}, {"K213", W}, {"K214", W}, {"K215", W}, {"K216", W}, {"K217", W},
};

}  // namespace

static_assert(sizeof kInfo / sizeof kInfo[0] == static_cast<size_t>(kCheckCodeCount), "one entry per code");

const CheckCodeInfo& InfoOf(CheckCode code) { return kInfo[static_cast<size_t>(code)]; }

}  // namespace kal
