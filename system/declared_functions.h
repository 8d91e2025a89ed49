// Functions a program declares from dynamic libraries by library and entry name. The program
// registers each declaration with the address of a function-pointer slot of its own before the
// start-up ends; the start-up's last steps load the libraries and fill the slots. Each library
// is loaded once however many functions come from it (its name matched without regard to case),
// and every library loaded stays loaded until the process exits. Running out of memory while a
// list grows ends the program with error 7.
#pragma once

#include <string>
#include <vector>

struct PendingDeclaration {
  std::string library;
  std::string entry;
  void** slot;
};

struct DeclaredModules {
  std::vector<void*> handles;        // in load order
  std::vector<std::string> names;    // the lower-case library name of the handle at each index
  std::vector<PendingDeclaration> pending;  // in registration order
};

// Built on first use, when FreeDeclaredModules is also registered to run at exit.
DeclaredModules& DeclareModuleList();

// Sets the slot to null and appends the declaration; returns the entry name.
const char* DeclareRegister(const char* library, const char* entry, void** slot);

// Finds or loads the library and stores the entry's address in the slot. A missing library or
// entry is reported to the debugger and the debug log, and the slot stays null.
void DeclareResolve(const char* library, const char* entry, void** slot);

// The start-up's resolution of every pending declaration, in registration order (the pending
// list is kept). With nothing pending it writes nothing.
void DeclareDelayLoad();

// Releases every library, in load order, and empties the three lists.
void FreeDeclaredModules();
