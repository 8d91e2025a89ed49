#include "system/declared_functions.h"

#include <cstdlib>

#include "core/allocation_failure.h"
#include "core/last_error.h"
#include "platform/dynamic_library.h"
#include "system/debug_log.h"

namespace {

std::string LowerAscii(const char* text) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

void ReportMissing(const char* what, const char* name) {
  std::string line = std::string(what) + name;
  DebugOut(line.c_str());
  line += '\n';
  ErrorLogWrite(line.c_str());
}

void* FindOrLoadLibrary(DeclaredModules& modules, const char* library) {
  std::string lower = LowerAscii(library);
  for (size_t i = 0; i < modules.names.size(); ++i) {
    if (modules.names[i] == lower) return modules.handles[i];
  }
  void* handle = platform::OpenLibrary(library);
  if (handle != nullptr) {
    modules.handles.push_back(handle);
    modules.names.push_back(std::move(lower));
  }
  return handle;
}

void ResolveInto(const char* library, const char* entry, void** slot) {
  void* handle = FindOrLoadLibrary(DeclareModuleList(), library);
  if (handle == nullptr) {
    ReportMissing("DECLARE module not found: ", library);
    return;
  }
  *slot = platform::LibraryEntry(handle, entry);
  if (*slot == nullptr) ReportMissing("DECLARE entry not found: ", entry);
}

}  // namespace

DeclaredModules& DeclareModuleList() {
  // Never destroyed: the exit-time release runs after static destruction may have begun.
  static DeclaredModules* modules = [] {
    std::atexit(FreeDeclaredModules);
    return new DeclaredModules;
  }();
  return *modules;
}

const char* DeclareRegister(const char* library, const char* entry, void** slot) {
  *slot = nullptr;
  FatalOnAllocationFailure([&] { DeclareModuleList().pending.push_back({library, entry, slot}); });
  return entry;
}

void DeclareResolve(const char* library, const char* entry, void** slot) {
  FatalOnAllocationFailure([&] { ResolveInto(library, entry, slot); });
}

void DeclareDelayLoad() {
  DeclaredModules& modules = DeclareModuleList();
  if (modules.pending.empty()) return;
  ErrorLogWrite("Dealy load DLLs\n");
  for (const PendingDeclaration& declaration : modules.pending) {
    DeclareResolve(declaration.library.c_str(), declaration.entry.c_str(), declaration.slot);
  }
}

void FreeDeclaredModules() {
  DeclaredModules& modules = DeclareModuleList();
  for (void* handle : modules.handles) platform::CloseLibrary(handle);
  modules.handles.clear();
  modules.names.clear();
  modules.pending.clear();
}
