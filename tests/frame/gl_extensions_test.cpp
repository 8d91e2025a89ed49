// Extension names, the gated entry-point table and the multisample search.
#include "frame/gl_extensions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "tests/support/gl_fixture.h"

namespace {

std::array<void*, 26> Slots() {
  std::array<void*, 26> slots{};
  std::memcpy(slots.data(), &GlExtensionTable, sizeof GlExtensionTable);
  return slots;
}

TEST(ExtensionNames, MatchWholeNamesOnly) {
  struct Case {
    const char* list;
    const char* name;
    bool found;
  };
  const Case cases[] = {
      {"GL_X GL_XY", "GL_XY", true},  {"GL_X GL_XY", "X", false}, {"GL_XY GL_X", "GL_X", true},
      {"GL_XGL_X", "GL_X", false},    {"WGL_EXT_swap_control_tear", "WGL_EXT_swap_control", false},
      {nullptr, "GL_X", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtensionListHas(c.list, c.name), c.found)
        << '"' << (c.list ? c.list : "null") << "\" / " << c.name;
  }
}

TEST(ExtensionTable, GatesUsePlainSubstringsAndKeepUnmetSlots) {
  const GlExtensionSlots saved = GlExtensionTable;
  GlExtensionTable = {};
  LoadGlExtensionTable("WGL_EXT_swap_control_tear");
  EXPECT_NE(GlExtensionTable.wglSwapIntervalEXT, nullptr);
  const std::array<void*, 26> slots = Slots();
  for (size_t i = 1; i < slots.size(); ++i) EXPECT_EQ(slots[i], nullptr) << "slot " << i;
  GlExtensionTable = saved;
}

TEST(MultisampleSearch, HalvesTheCountAfterEachRefusal) {
  struct Case {
    int requested;
    int largestAccepted;
    std::vector<int> tried;
    int result;
  };
  const Case cases[] = {
      {8, 0, {8, 4, 2, 1}, 0}, {8, 4, {8, 4}, 4}, {6, 2, {6, 3, 1}, 1},
      {0, 16, {}, 0},          {-4, 16, {}, 0},
  };
  for (const Case& c : cases) {
    std::vector<int> tried;
    const int result = MultisampleSearch(c.requested, [&](int samples) {
      tried.push_back(samples);
      return samples <= c.largestAccepted && (samples & (samples - 1)) == 0;
    });
    EXPECT_EQ(tried, c.tried) << c.requested;
    EXPECT_EQ(result, c.result) << c.requested;
  }
}

using ExtensionTableOnMesa = GlFixture;

TEST_F(ExtensionTableOnMesa, EverySlotIsFilledAndTheWglNamesAreOffered) {
  for (void* slot : Slots()) EXPECT_NE(slot, nullptr);
  EXPECT_TRUE(HasGlExtension("WGL_EXT_swap_control"));
  EXPECT_TRUE(HasGlExtension("WGL_ARB_multisample"));
  EXPECT_FALSE(HasGlExtension("GL_ARB_multi"));
  EXPECT_EQ(GlExtensionTable.wglSwapIntervalEXT(0), 1);
}

}  // namespace
