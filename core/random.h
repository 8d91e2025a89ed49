// The language's random numbers (RND, SEEDRND): the published 32-bit ISAAC generator with a
// 256-word state, seeded by the runtime's own rule. Every number drawn runs a full pass. The
// state is shared and unguarded: only the main thread draws.
#pragma once

#include <cstdint>

struct IsaacState {
  uint32_t results[256];  // output words of the last pass
  uint32_t memory[256];   // internal state
  uint32_t a, b, c;       // accumulator, last result, counter
};

extern IsaacState Isaac;

// One generation pass over all 256 words; returns the first result word.
uint32_t IsaacNext();
// 0 for n < 1 without drawing; otherwise a value from 0 to n inclusive.
int32_t RandomInt(int32_t n);
// SEEDRND.
void SeedRandom(int32_t seed);
// Replaces the whole state; the same seed always gives the same sequence.
void RandomSeed(uint32_t seed);

// The published mixing step over the eight mixing words.
void IsaacMix(uint32_t (&m)[8]);

void ResetRandomForTests();
