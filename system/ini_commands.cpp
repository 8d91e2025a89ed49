// The process-wide INI object. It is never destroyed, so the write-back at exit finds it
// whatever order the other objects of the process end in.
#include "system/ini_commands.h"

#include <utility>

#include "core/last_error.h"
#include "core/process_end.h"
#include "system/file_commands.h"

namespace {

bool IsEmpty(const Str& text) {
  return !text.data || text.data[0] == '\0';
}

// Deletes element k by moving the last element into its place, as the runtime always has.
template <class T>
void RemoveByMovingLast(std::vector<T>& items, size_t k) {
  if (k + 1 != items.size()) items[k] = std::move(items.back());
  items.pop_back();
}

void PutKey(IniObject& ini, const Str& section, const Str& key, const Str& value) {
  int32_t s = IniFindSection(ini, section);
  if (s < 0) {
    ini.sections.push_back({StrValue(section), {}});
    s = int32_t(ini.sections.size() - 1);
  }
  std::vector<IniEntry>& keys = ini.sections[size_t(s)].keys;
  const int32_t k = IniFindKey(ini.sections[size_t(s)], key);
  if (k < 0) {
    if (IsEmpty(value) || !IniEntryArrayReserve(keys, int32_t(keys.size()))) return;
    ini.dirty = 1;
    keys.push_back({StrValue(key), StrValue(value)});
    return;
  }
  ini.dirty = 1;
  if (IsEmpty(value)) {
    RemoveByMovingLast(keys, size_t(k));
  } else {
    keys[size_t(k)].value = StrValue(value);
  }
}

void DeleteSection(IniObject& ini, const Str& section) {
  const int32_t s = IniFindSection(ini, section);
  if (s < 0) return;
  RemoveByMovingLast(ini.sections, size_t(s));
  ini.dirty = 1;
}

}  // namespace

IniObject& GetIniObject() {
  static IniObject* const object = [] {
    // A write-back that fails at the end leaves the exit status alone, as one during the run
    // only sets the last error.
    InstallEndOfProcessStep(EndOfProcessStep::IniWriteBack, [] {
      IniFlush();
      return true;
    });
    return new IniObject();
  }();
  return *object;
}

void IniOpen(const Str& name) {
  FlushFileChannels();
  IniObject& ini = GetIniObject();
  if (!IniWriteBack(ini)) SetLastErrorCode(3);
  if (IsEmpty(name)) {
    IniClear(ini);
  } else {
    IniLoad(ini, name);
  }
}

Str IniGet(const Str& section, const Str& key, const Str& fallback) {
  return IniLookup(GetIniObject(), section, key, fallback);
}

void IniPut(const Str& section, const Str& key, const Str& value) {
  IniObject& ini = GetIniObject();
  if (IsEmpty(key)) {
    DeleteSection(ini, section);
  } else if (!IniCanHold(section, key, value)) {
    SetLastErrorCode(7);
  } else {
    PutKey(ini, section, key, value);
  }
}

void IniFlush() {
  IniObject& ini = GetIniObject();
  IniWriteBack(ini);
  IniClear(ini);
}
