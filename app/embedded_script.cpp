#include "app/embedded_script.h"

#include "console/latin1.h"

namespace kal {

// A short stand-in until the radio-station search is carried here.
std::vector<std::string> EmbeddedScriptLines() {
  return {
      "* Zelquora",
      L1("escreve \"Zelquora: busca de rádios.\""),
  };
}

}  // namespace kal
