// Number codes of the OBJ lists and their widening.
#include "tool/obj_lists.h"

#include <cstring>

#include "core/allocation_failure.h"
#include "core/terminate.h"

namespace {

template <class T>
void AppendOrEnd(GrowArray<T>& list, T value) {
  if (!list.Append(value)) FatalTerminate(7);
}

// Every code moves to the wider array, whose block is the only one left.
template <class From, class To>
void MoveCodes(GrowArray<From>& from, GrowArray<To>& to) {
  if (!to.ReserveExact(int64_t(from.count()) + 1)) FatalTerminate(7);
  for (From code : from) to.Append(To(code));
  from.Clear(true);
}

}  // namespace

void ObjNumberList::Push(double value) {
  const uint32_t code = CodeOf(value);
  WidenFor(code);
  if (width_ == 1) {
    AppendOrEnd(bytes_, uint8_t(code));
  } else if (width_ == 2) {
    AppendOrEnd(halves_, uint16_t(code));
  } else {
    AppendOrEnd(words_, code);
  }
}

int32_t ObjNumberList::Count() const {
  return width_ == 1 ? bytes_.count() : width_ == 2 ? halves_.count() : words_.count();
}

uint32_t ObjNumberList::CodeAt(int32_t i) const {
  return width_ == 1 ? bytes_[i] : width_ == 2 ? halves_[i] : words_[i];
}

void ObjNumberList::Release() {
  values_ = {};
  codeOfBits_ = {};
  width_ = 1;
  bytes_.Clear(true);
  halves_.Clear(true);
  words_.Clear(true);
}

uint32_t ObjNumberList::CodeOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return FatalOnAllocationFailure([&] {
    const auto [at, added] = codeOfBits_.try_emplace(bits, uint32_t(values_.size()));
    if (added) values_.push_back(value);
    return at->second;
  });
}

void ObjNumberList::WidenFor(uint32_t code) {
  if (width_ == 1 && code > UINT8_MAX) {
    MoveCodes(bytes_, halves_);
    width_ = 2;
  }
  if (width_ == 2 && code > UINT16_MAX) {
    MoveCodes(halves_, words_);
    width_ = 4;
  }
}

void ObjFaceList::Push(double firstVertex) {
  AppendOrEnd(firsts_, firstVertex);
}
