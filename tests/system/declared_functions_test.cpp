// Declared library functions: one load per library whatever the letter case, the two failure
// lines, and nothing written when nothing is pending.
#include "system/declared_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/address_space.h"
#include "tests/support/debug_capture.h"
#include "tests/support/temp_dir.h"

namespace {

using TwicePlusOne = int (*)(int);

struct FreshModules {
  TempDir tmp{true};
  FreshModules() { FreeDeclaredModules(); }
  ~FreshModules() { FreeDeclaredModules(); }
  std::string Log() const { return TempDir::ReadBytes(tmp.Child("ErrorLog.txt")); }
};

}  // namespace

TEST(DeclaredFunctions, OneLibraryLoadServesEveryLetterCase) {
  FreshModules fresh;
  void* first = reinterpret_cast<void*>(1);
  void* second = reinterpret_cast<void*>(1);
  EXPECT_STREQ(DeclareRegister("libqdecl.so", "qdecl_twice_plus_one", &first),
               "qdecl_twice_plus_one");
  EXPECT_EQ(first, nullptr);
  DeclareRegister("LIBQDECL.SO", "qdecl_twice_plus_one", &second);
  DeclareDelayLoad();

  ASSERT_NE(first, nullptr);
  EXPECT_EQ(second, first);
  EXPECT_EQ(reinterpret_cast<TwicePlusOne>(first)(20), 41);
  const DeclaredModules& modules = DeclareModuleList();
  ASSERT_EQ(modules.handles.size(), 1u);
  EXPECT_EQ(modules.names, std::vector<std::string>{"libqdecl.so"});
  EXPECT_EQ(modules.pending.size(), 2u);
  EXPECT_EQ(fresh.Log(), "Dealy load DLLs\n");
}

TEST(DeclaredFunctions, MissingLibrariesAndEntriesAreReportedAndLeftNull) {
  FreshModules fresh;
  DebugCapture debugger;
  void* missingLibrary = nullptr;
  void* missingEntry = nullptr;
  void* found = nullptr;
  DeclareRegister("libqdecl_absent.so", "anything", &missingLibrary);
  DeclareRegister("libqdecl.so", "qdecl_no_such_entry", &missingEntry);
  DeclareRegister("libqdecl.so", "qdecl_twice_plus_one", &found);
  DeclareDelayLoad();

  EXPECT_EQ(missingLibrary, nullptr);
  EXPECT_EQ(missingEntry, nullptr);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(DeclareModuleList().names, std::vector<std::string>{"libqdecl.so"});
  EXPECT_EQ(fresh.Log(),
            "Dealy load DLLs\n"
            "DECLARE module not found: libqdecl_absent.so\n"
            "DECLARE entry not found: qdecl_no_such_entry\n");
  EXPECT_EQ(debugger.lines, (std::vector<std::string>{"TXDECLARE module not found: libqdecl_absent.so",
                                                      "TXDECLARE entry not found: qdecl_no_such_entry"}));
}

TEST(DeclaredFunctions, NothingPendingWritesNothing) {
  FreshModules fresh;
  DeclareDelayLoad();
  EXPECT_EQ(fresh.Log(), "");
  EXPECT_TRUE(DeclareModuleList().handles.empty());
}

TEST(DeclaredFunctionsDeathTest, ListsThatCannotGrowEndTheProgramAsOutOfMemory) {
  QRN_SKIP_UNDER_ASAN();
  EXPECT_EXIT(
      {
        const std::string library(1 << 20, 'l');
        CapAddressSpace();
        void* slot = nullptr;
        for (;;) DeclareRegister(library.c_str(), "entry", &slot);
      },
      testing::ExitedWithCode(1), "");
}
