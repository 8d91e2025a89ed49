// Number codes of the OBJ lists.
#include "tool/obj_lists.h"

#include <cstring>

void ObjNumberList::Push(double value) {
  const uint32_t code = CodeOf(value);
  if (!wide_ && code > UINT16_MAX) Widen();
  if (wide_) {
    wideCodes_.Append(code);
  } else {
    codes_.Append(uint16_t(code));
  }
}

void ObjNumberList::Release() {
  values_ = {};
  codeOfBits_ = {};
  codes_.Clear(true);
  wideCodes_.Clear(true);
  wide_ = false;
}

uint32_t ObjNumberList::CodeOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const auto [at, added] = codeOfBits_.try_emplace(bits, uint32_t(values_.size()));
  if (added) values_.push_back(value);
  return at->second;
}

void ObjNumberList::Widen() {
  wideCodes_.ReserveExact(codes_.count() + int64_t(1));
  for (uint16_t code : codes_) wideCodes_.Append(code);
  codes_.Clear(true);
  wide_ = true;
}
