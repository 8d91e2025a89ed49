// Growth of standard containers on sizes that input decides (files, peers, the program's own
// data) ends the program as every other allocation failure of the runtime does: error 7 and
// status 1, instead of an exception no caller catches.
#pragma once

#include <new>
#include <stdexcept>

#include "core/terminate.h"

template <class Code>
decltype(auto) FatalOnAllocationFailure(Code&& code) {
  try {
    return code();
  } catch (const std::bad_alloc&) {
    FatalTerminate(7);
  } catch (const std::length_error&) {
    FatalTerminate(7);
  }
}
