// Opening a back end's module with the dynamic loader. A module stays loaded
// once opened (dlopen counts the later opens of the same file); one built
// for another interface is closed again at once.
#include "1_platform/backend_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "1_platform/platform_messages.h"

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

// Whether the opened module was built for the core's interface; the reason
// in *why when not.
bool SameInterface(void* handle, const std::string& file, std::string* why) {
  auto* interface = reinterpret_cast<decltype(kaldorin_module_interface)*>(dlsym(handle, "kaldorin_module_interface"));
  if (!interface) {
    *why = file + std::string(platform_msg::kModuleLacksEntry) + "kaldorin_module_interface";
    return false;
  }
  if (interface() != kModuleInterface) {
    *why = file + std::string(platform_msg::kModuleOtherInterface);
    return false;
  }
  return true;
}

// The entry of the opened module; nullptr, with the reason, when it has none
// or is of another interface, and the count this open added is given back.
void* EntryOf(void* handle, const std::string& file, const char* entry, std::string* why) {
  if (SameInterface(handle, file, why)) {
    if (void* address = dlsym(handle, entry)) return address;
    *why = file + std::string(platform_msg::kModuleLacksEntry) + entry;
  }
  dlclose(handle);
  return nullptr;
}

}  // namespace

void* LoadedModuleEntryAddress(const char* module, const char* entry) {
  for (const std::string& folder : ModuleFolders()) {
    std::string path = folder + "/" + FileOf(module);
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
      std::string why;
      void* address = EntryOf(handle, FileOf(module), entry, &why);
      if (address) dlclose(handle);  // the count RTLD_NOLOAD added; the module stays
      return address;
    }
  }
  return nullptr;
}

void* ModuleEntryAddress(const char* module, const char* entry, std::string* why) {
  std::string file = FileOf(module);
  std::string reason = std::string(platform_msg::kModuleNotFound) + file;
  void* address = nullptr;
  for (const std::string& folder : ModuleFolders()) {
    std::string path = folder + "/" + file;
    if (access(path.c_str(), F_OK) != 0) continue;
    // RTLD_NOW: a library the module needs that is missing fails here, at
    // the first use, not at some later call in the middle of a run.
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      address = EntryOf(handle, file, entry, &reason);
    } else {
      const char* err = dlerror();
      reason = err ? err : path;
    }
    break;
  }
  if (!address && why) *why = reason;
  return address;
}

}  // namespace kal
