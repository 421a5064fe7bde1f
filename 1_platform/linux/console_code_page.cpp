// Terminals here take UTF-8 as it is written: nothing to switch.
#include "1_platform/console_code_page.h"

namespace kal {

ConsoleCodePage::ConsoleCodePage() = default;
ConsoleCodePage::~ConsoleCodePage() = default;

}  // namespace kal
