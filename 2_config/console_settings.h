// The console's settings from the configuration file: colours of the grid,
// the braille keyboard mode and the low-vision magnifier of the field editor.
// Read once when the console opens (the magnifier: when an edit starts).
#pragma once

#include <string>

namespace kal {

struct ConfigState;

struct ConsoleSettings {
  std::string colour_table = "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15";  // TABCORES
  bool colours_fixed = false;                                          // CORESFIXAS
  bool slow_scroll = false;                                            // LENTO
  int background = 0;                                                  // CORFUNDO
  int foreground = 15;                                                 // CORLETRA
  int braille_mode = 0;                                                // BRAILLE MODO
};

struct MagnifierSettings {
  int factor = 0;       // AMPLIACAO: 0 off, 1-10
  int letters = 14;     // CORLETRA
  int background = 6;   // CORFUNDO
  int cursor = 3;       // CORCURSOR
};

// The console as a window of its own (section VIDEO).
struct WindowSettings {
  bool window = false;                 // JANELA
  std::string face = "Lucida Console"; // FONTE
  int cell_width = 0;                  // LARGURALETRA; 0: from the screen
  int cell_height = 0;                 // ALTURALETRA
  int weight = 0;                      // PESOLETRA, 1-1000 (700 bold); 0: the face's regular
  bool maximised = false;              // CANTOTELA not S
};

ConsoleSettings ReadConsoleSettings(ConfigState& config);
WindowSettings ReadWindowSettings(ConfigState& config);
MagnifierSettings ReadMagnifierSettings(ConfigState& config);
// (ReadConsoleSettings and ReadMagnifierSettings answer with the settings
// pinned in the configuration state, config_state.h, when a test pinned
// some.)

// Helpers shared with the readers: a yes-key is on when its first letter is S.
bool YesValue(const std::string& value);

}  // namespace kal
