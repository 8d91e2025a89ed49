// The OBJ lists in the compact form the tool keeps them in until the OBJ writer prints them. A
// model repeats few distinct numbers (whole positions, texture values that are multiples of
// 1 / S, zero normals), so a number list holds each distinct value once and a code per element,
// one byte wide while there are at most 256 distinct values; a face is kept as its first vertex
// number, its line made when it is written. Memory that cannot be had ends the program, as it
// does for the runtime's arrays.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx3d/grow_array.h"

class ObjNumberList {
 public:
  void Push(double value);
  int32_t Count() const;
  double At(int32_t i) const { return values_[CodeAt(i)]; }
  // Equal codes stand for equal values (the same bits); codes run from 0 to Distinct() - 1.
  uint32_t CodeAt(int32_t i) const;
  int32_t Distinct() const { return int32_t(values_.size()); }
  double ValueOf(uint32_t code) const { return values_[code]; }
  // No elements, every block given back.
  void Release();

 private:
  uint32_t CodeOf(double value);
  void WidenFor(uint32_t code);

  std::vector<double> values_;
  std::unordered_map<uint64_t, uint32_t> codeOfBits_;
  // Only the array of the current code width holds codes.
  int32_t width_ = 1;
  GrowArray<uint8_t> bytes_;
  GrowArray<uint16_t> halves_;
  GrowArray<uint32_t> words_;
};

// Face j's line is "f " + its four vertices in the order first + 3, first + 2, first,
// first + 1, each as "a/a/a".
class ObjFaceList {
 public:
  void Push(double firstVertex);
  int32_t Count() const { return firsts_.count(); }
  double FirstVertex(int32_t j) const { return firsts_[j]; }
  void Release() { firsts_.Clear(true); }

 private:
  GrowArray<double> firsts_;
};
