// The language code from the POSIX locale, through the language identifiers of the table.
#include "system/locale_code.h"

#include <gtest/gtest.h>

#include "tests/support/environment_scope.h"

namespace {

std::string CodeOf(const char* locale) {
  return LocaleCodeOfLanguageId(LanguageIdOfLocale(locale));
}

}  // namespace

TEST(LocaleCode, PosixLocalesGiveTheTablesCodes) {
  const std::pair<const char*, const char*> rows[] = {
      {"el_GR", "gr"},       {"en_GB", "uk"},       {"en_US", "us"},
      {"en_AU", "us"},       {"C", "us"},           {"POSIX", "us"},
      {"", "us"},            {"zh_CN", "ch"},       {"zh_TW", "ch"},
      {"zh", "ch"},          {"zh_HK", "zh"},       {"zh_SG.UTF-8", "zh"},
      {"uk_UA", "uk"},       {"nn_NO", "no"},       {"de_AT.UTF-8@euro", "de"},
      {"bn_IN", "be"},       {"kok_IN", "kn"},      {"iw_IL", "he"},
      {"xx_YY", "us"},       {"en_GB.UTF-8", "uk"},
  };
  for (const auto& [locale, code] : rows) EXPECT_EQ(CodeOf(locale), code) << locale;
  for (int id : {0x0000, 0xFFFF}) EXPECT_EQ(LocaleCodeOfLanguageId(id), "us") << id;
}

TEST(LocaleCode, TheFirstSetVariableNamesTheLocale) {
  EnvironmentScope env;
  env.Set("LC_ALL", nullptr);
  env.Set("LC_MESSAGES", nullptr);
  env.Set("LANG", "fr_FR.UTF-8");
  EXPECT_EQ(PosixLocaleName(), "fr_FR.UTF-8");
  env.Set("LC_MESSAGES", "sv_SE");
  EXPECT_EQ(PosixLocaleName(), "sv_SE");
  env.Set("LC_ALL", "");
  EXPECT_EQ(PosixLocaleName(), "sv_SE");
  env.Set("LC_ALL", "it_IT");
  EXPECT_EQ(PosixLocaleName(), "it_IT");
}
