// The two-letter language code of the user's locale. The code comes from a table of 16-bit
// language identifiers (the form the runtime's language table was written for); the POSIX
// locale is first mapped to such an identifier, so the table and its normalisation keep their
// exact answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The first non-empty of LC_ALL, LC_MESSAGES and LANG; empty when none is set.
std::string PosixLocaleName();

// ll[_TT][.codeset][@modifier] to a language identifier; 0 for "C", "POSIX", an empty name or a
// language the table does not know. The territory matters only for Chinese and English.
uint16_t LanguageIdOfLocale(std::string_view locale);

// The table's code for the identifier, lower-cased and normalised; "us" when it has none.
std::string LocaleCodeOfLanguageId(uint16_t languageId);
