// The cipher's standard initial words, in the order the key schedule consumes them.
#pragma once

#include <cstdint>

extern const uint32_t kBlowfishInitialP[18];
extern const uint32_t kBlowfishInitialS[4 * 256];
