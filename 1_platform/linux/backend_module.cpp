// Opening a back end's module with the dynamic loader. A module stays loaded
// once opened (dlopen counts the later opens of the same file).
#include "1_platform/backend_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kal {
namespace {

// The folder of the running program, from the kernel's link to it.
std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<std::string> ModuleFolders() {
  const char* dir = std::getenv(kModuleDirVariable);
  if (dir && *dir) return {dir};
  std::string program = ProgramFolder();
  return {program, program + "/../lib/kaldorin"};
}

std::string FileOf(const char* module) { return std::string("kaldorin-") + module + ".so"; }

}  // namespace

void* LoadedModuleEntry(const char* module, const char* symbol) {
  for (const std::string& folder : ModuleFolders()) {
    std::string path = folder + "/" + FileOf(module);
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
      void* entry = dlsym(handle, symbol);
      dlclose(handle);  // the count RTLD_NOLOAD added; the module stays
      return entry;
    }
  }
  return nullptr;
}

void* ModuleEntry(const char* module, const char* symbol, std::string* why) {
  std::string file = FileOf(module);
  std::string reason = "module " + file + " not found";
  for (const std::string& folder : ModuleFolders()) {
    std::string path = folder + "/" + file;
    if (access(path.c_str(), F_OK) != 0) continue;
    // RTLD_NOW: a library the module needs that is missing fails here, at
    // the first use, not at some later call in the middle of a run.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* err = dlerror();
      reason = err ? err : path;
      break;
    }
    if (void* entry = dlsym(handle, symbol)) return entry;
    reason = file + " has no " + symbol;
    break;
  }
  if (why) *why = reason;
  return nullptr;
}

}  // namespace kal
