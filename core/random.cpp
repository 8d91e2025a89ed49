// ISAAC generation pass, mixing step and the runtime's seeding.
#include "core/random.h"

#include <cstring>
#include <initializer_list>

IsaacState Isaac{};

namespace {

constexpr uint32_t kGoldenRatio = 0x9e3779b9;

void StoreGroup(uint32_t* words, const uint32_t (&m)[8]) { std::memcpy(words, m, sizeof m); }

void AddGroup(uint32_t (&m)[8], const uint32_t* words) {
  for (int i = 0; i < 8; ++i) m[i] += words[i];
}

}  // namespace

void IsaacMix(uint32_t (&m)[8]) {
  uint32_t& a = m[0];
  uint32_t& b = m[1];
  uint32_t& c = m[2];
  uint32_t& d = m[3];
  uint32_t& e = m[4];
  uint32_t& f = m[5];
  uint32_t& g = m[6];
  uint32_t& h = m[7];
  a ^= b << 11; d += a; b += c;
  b ^= c >> 2;  e += b; c += d;
  c ^= d << 8;  f += c; d += e;
  d ^= e >> 16; g += d; e += f;
  e ^= f << 10; h += e; f += g;
  f ^= g >> 4;  a += f; g += h;
  g ^= h << 8;  b += g; h += a;
  h ^= a >> 9;  c += h; a += b;
}

uint32_t IsaacNext() {
  IsaacState& s = Isaac;
  s.c += 1;
  s.b += s.c;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t x = s.memory[i];
    switch (i & 3) {
      case 0: s.a ^= s.a << 13; break;
      case 1: s.a ^= s.a >> 6; break;
      case 2: s.a ^= s.a << 2; break;
      case 3: s.a ^= s.a >> 16; break;
    }
    s.a += s.memory[(i + 128) & 255];
    const uint32_t y = s.memory[(x >> 2) & 255] + s.a + s.b;
    s.memory[i] = y;
    s.b = s.memory[(y >> 10) & 255] + x;
    s.results[i] = s.b;
  }
  return s.results[0];
}

int32_t RandomInt(int32_t n) {
  if (n < 1) return 0;
  return int32_t(IsaacNext() % (uint32_t(n) + 1u));
}

void SeedRandom(int32_t seed) { RandomSeed(uint32_t(seed)); }

// The seed enters before each of the first 32 mixes, and the mixing words then carry on into
// the usual initialisation instead of starting again from the golden ratio.
void RandomSeed(uint32_t seed) {
  Isaac = IsaacState{};
  uint32_t m[8];
  for (uint32_t& word : m) word = kGoldenRatio;
  for (int k = 0; k < 32; ++k) {
    m[0] += seed;
    IsaacMix(m);
    StoreGroup(&Isaac.memory[8 * k], m);
  }
  for (int i = 0; i < 4; ++i) IsaacMix(m);
  for (const uint32_t* source : {Isaac.results, Isaac.memory}) {
    for (int k = 0; k < 32; ++k) {
      AddGroup(m, &source[8 * k]);
      IsaacMix(m);
      StoreGroup(&Isaac.memory[8 * k], m);
    }
  }
  IsaacNext();
}

void ResetRandomForTests() { Isaac = IsaacState{}; }
