// What EXECUTA starts on this host: a program path the script wrote in the
// Windows way becomes a host program, or a document with its opener.
//
//   - "http://", "https://" and "www." addresses open with PROG.HTM, else
//     with the desktop's opener (xdg-open);
//   - an existing executable file runs; an existing document (or folder)
//     opens with PROG.<extension> (three characters after the first '.' of
//     the name, not EXE or COM), else with the desktop's opener;
//   - a program ending in ".exe" that does not exist is looked up without
//     ".exe": first in the program map (section PROGRAMAS of Talven.ini, key
//     the upper-cased name, value a command line whose first word is the
//     program and whose other words go before the script's arguments), then
//     along PATH; a bare name without ".exe" is looked up the same way.
// Arguments are split the way Windows programs split their command line;
// those that are Windows paths are mapped like any path of a script.
#pragma once

#include <string>
#include <string_view>

#include "1_platform/programs.h"

namespace kal {

struct ConfigState;

// Fills req->program and req->args; false when nothing can be started.
// documents: false for console programs, which must be programs. The
// program map and the openers are read from that configuration.
bool ResolveProgram(Programs& programs, ConfigState& config, std::string_view program, std::string_view params,
                    bool documents, StartRequest* req);

}  // namespace kal
