// A module as one built for another interface would be: it has the entry the
// core asks for, but answers another interface, so the core must not call it.
#include <cstdint>
#include <cstdlib>

extern "C" std::uint32_t kaldorin_module_interface() { return 0; }

extern "C" void* kaldorin_make_sdl_audio() { std::abort(); }
