#include "system/locale_code.h"

#include <algorithm>
#include <iterator>

#include "platform/environment.h"

namespace {

struct LanguageCode {
  uint16_t id;
  const char* code;
};

// Sorted by identifier. 0x0409 and 0x0809 tell American from British English.
constexpr LanguageCode kLanguageCodes[] = {
    {0x0401, "AR"},
    {0x0402, "BG"},
    {0x0403, "CA"},
    {0x0404, "CH"},
    {0x0405, "CS"},
    {0x0406, "DA"},
    {0x0407, "DE"},
    {0x0408, "EL"},
    {0x0409, "US"},
    {0x040A, "ES"},
    {0x040B, "FI"},
    {0x040C, "FR"},
    {0x040D, "HE"},
    {0x040E, "HU"},
    {0x040F, "IS"},
    {0x0410, "IT"},
    {0x0411, "JP"},
    {0x0412, "KO"},
    {0x0413, "NL"},
    {0x0414, "NO"},
    {0x0415, "PL"},
    {0x0416, "PT"},
    {0x0418, "RO"},
    {0x0419, "RU"},
    {0x041A, "HR"},
    {0x041B, "SK"},
    {0x041C, "SQ"},
    {0x041D, "SV"},
    {0x041E, "TH"},
    {0x041F, "TR"},
    {0x0420, "UR"},
    {0x0421, "IN"},
    {0x0422, "UK"},
    {0x0423, "BE"},
    {0x0424, "SL"},
    {0x0425, "ET"},
    {0x0426, "LV"},
    {0x0427, "LT"},
    {0x0429, "FA"},
    {0x042A, "VI"},
    {0x042B, "HY"},
    {0x042C, "AZ"},
    {0x042D, "EU"},
    {0x042F, "MK"},
    {0x0436, "AF"},
    {0x0437, "KA"},
    {0x0438, "FO"},
    {0x0439, "HI"},
    {0x043E, "MS"},
    {0x043F, "KK"},
    {0x0440, "KY"},
    {0x0441, "SW"},
    {0x0443, "UZ"},
    {0x0444, "TT"},
    {0x0445, "BE"},
    {0x0446, "PA"},
    {0x0447, "GU"},
    {0x0448, "OR"},
    {0x0449, "TA"},
    {0x044A, "TE"},
    {0x044B, "KA"},
    {0x044C, "MA"},
    {0x044D, "AS"},
    {0x044E, "MA"},
    {0x044F, "SA"},
    {0x0450, "MO"},
    {0x0456, "GL"},
    {0x0457, "KN"},
    {0x045A, "SY"},
    {0x0465, "DI"},
    {0x0801, "AR"},
    {0x0804, "CH"},
    {0x0807, "DE"},
    {0x0809, "UK"},
    {0x080A, "ES"},
    {0x080C, "FR"},
    {0x0810, "IT"},
    {0x0813, "NL"},
    {0x0814, "NO"},
    {0x0816, "PT"},
    {0x081A, "SR"},
    {0x081D, "SV"},
    {0x0820, "UR"},
    {0x0827, "LT"},
    {0x082C, "AZ"},
    {0x083E, "MS"},
    {0x0843, "UZ"},
    {0x0C01, "AR"},
    {0x0C04, "ZH"},
    {0x0C07, "DE"},
    {0x0C09, "EN"},
    {0x0C0A, "ES"},
    {0x0C0C, "FR"},
    {0x0C1A, "SR"},
    {0x1001, "AR"},
    {0x1004, "ZH"},
    {0x1007, "DE"},
    {0x1009, "EN"},
    {0x100A, "ES"},
    {0x100C, "FR"},
    {0x1401, "AR"},
    {0x1404, "ZH"},
    {0x1407, "DE"},
    {0x1409, "EN"},
    {0x140A, "ES"},
    {0x140C, "FR"},
    {0x1801, "AR"},
    {0x1809, "EN"},
    {0x180A, "ES"},
    {0x180C, "FR"},
    {0x1C01, "AR"},
    {0x1C09, "EN"},
    {0x1C0A, "ES"},
    {0x2001, "AR"},
    {0x2009, "EN"},
    {0x200A, "ES"},
    {0x2401, "AR"},
    {0x2409, "EN"},
    {0x240A, "ES"},
    {0x2801, "AR"},
    {0x2809, "EN"},
    {0x280A, "ES"},
    {0x2C01, "AR"},
    {0x2C09, "EN"},
    {0x2C0A, "ES"},
    {0x3001, "AR"},
    {0x3009, "EN"},
    {0x300A, "ES"},
    {0x3401, "AR"},
    {0x3409, "EN"},
    {0x340A, "ES"},
    {0x3801, "AR"},
    {0x380A, "ES"},
    {0x3C01, "AR"},
    {0x3C0A, "ES"},
    {0x4001, "AR"},
    {0x400A, "ES"},
    {0x440A, "ES"},
    {0x480A, "ES"},
    {0x4C0A, "ES"},
    {0x500A, "ES"},
};

struct LanguageName {
  const char* language;
  uint16_t id;
};

// POSIX language names to the identifier of their main territory. Chinese and English are
// decided with their territory (LanguageIdOfLocale).
constexpr LanguageName kLanguageNames[] = {
    {"af", 0x0436},  {"ar", 0x0401},  {"as", 0x044D},  {"az", 0x042C},  {"be", 0x0423},
    {"bg", 0x0402},  {"bn", 0x0445},  {"ca", 0x0403},  {"cs", 0x0405},  {"da", 0x0406},
    {"de", 0x0407},  {"dv", 0x0465},  {"el", 0x0408},  {"es", 0x040A},  {"et", 0x0425},
    {"eu", 0x042D},  {"fa", 0x0429},  {"fi", 0x040B},  {"fo", 0x0438},  {"fr", 0x040C},
    {"gl", 0x0456},  {"gu", 0x0447},  {"he", 0x040D},  {"hi", 0x0439},  {"hr", 0x041A},
    {"hu", 0x040E},  {"hy", 0x042B},  {"id", 0x0421},  {"is", 0x040F},  {"it", 0x0410},
    {"iw", 0x040D},  {"ja", 0x0411},  {"ka", 0x0437},  {"kk", 0x043F},  {"kn", 0x044B},
    {"ko", 0x0412},  {"kok", 0x0457}, {"ky", 0x0440},  {"lt", 0x0427},  {"lv", 0x0426},
    {"mk", 0x042F},  {"ml", 0x044C},  {"mn", 0x0450},  {"mr", 0x044E},  {"ms", 0x043E},
    {"nb", 0x0414},  {"nl", 0x0413},  {"nn", 0x0814},  {"no", 0x0414},  {"or", 0x0448},
    {"pa", 0x0446},  {"pl", 0x0415},  {"pt", 0x0416},  {"ro", 0x0418},  {"ru", 0x0419},
    {"sa", 0x044F},  {"sk", 0x041B},  {"sl", 0x0424},  {"sq", 0x041C},  {"sr", 0x0C1A},
    {"sv", 0x041D},  {"sw", 0x0441},  {"syr", 0x045A}, {"ta", 0x0449},  {"te", 0x044A},
    {"th", 0x041E},  {"tr", 0x041F},  {"tt", 0x0444},  {"uk", 0x0422},  {"ur", 0x0420},
    {"uz", 0x0443},  {"vi", 0x042A},
};

struct TerritoryId {
  const char* territory;
  uint16_t id;
};

constexpr TerritoryId kChineseTerritories[] = {
    {"TW", 0x0404}, {"CN", 0x0804}, {"HK", 0x0C04}, {"SG", 0x1004}, {"MO", 0x1404}};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

uint16_t ChineseId(std::string_view territory) {
  for (const TerritoryId& row : kChineseTerritories) {
    if (territory == row.territory) return row.id;
  }
  return 0x0804;  // Chinese without a known territory counts as mainland Chinese
}

// The table's normalisation of a code: lower case, cut to two letters, a few codes renamed.
std::string NormalisedCode(std::string code) {
  for (char& c : code) c = LowerAscii(c);
  if (code == "eng" || code == "english-uk") code = "uk";
  if (code.size() > 2) code.resize(2);
  static constexpr const char* kRenames[][2] = {{"c", "us"},  {"el", "gr"}, {"du", "nl"},
                                                {"am", "us"}, {"en", "us"}, {"ja", "jp"},
                                                {"po", "pl"}};
  for (const auto& rename : kRenames) {
    if (code == rename[0]) {
      code = rename[1];
      break;
    }
  }
  return code.size() == 2 ? code : "us";
}

}  // namespace

std::string PosixLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = platform::EnvironmentValue(variable);
    if (!value.empty()) return value;
  }
  return {};
}

uint16_t LanguageIdOfLocale(std::string_view locale) {
  size_t languageEnd = locale.find_first_of("_.@");
  std::string language(locale.substr(0, languageEnd));
  for (char& c : language) c = LowerAscii(c);
  std::string_view territory;
  if (languageEnd != std::string_view::npos && locale[languageEnd] == '_') {
    territory = locale.substr(languageEnd + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
  }
  if (language == "zh") return ChineseId(territory);
  if (language == "en") return territory == "GB" ? 0x0809 : 0x0409;
  for (const LanguageName& row : kLanguageNames) {
    if (language == row.language) return row.id;
  }
  return 0;
}

std::string LocaleCodeOfLanguageId(uint16_t languageId) {
  auto row = std::lower_bound(std::begin(kLanguageCodes), std::end(kLanguageCodes), languageId,
                              [](const LanguageCode& r, uint16_t id) { return r.id < id; });
  bool found = row != std::end(kLanguageCodes) && row->id == languageId;
  return NormalisedCode(found ? row->code : "us");
}
