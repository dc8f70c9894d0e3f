// A table of shared values with reference counts: the record's style table and paragraph
// style table. Adding a value finds an equal live one first; released elements (count 0) are
// reused before the table grows. Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "textedit/te_types.h"

namespace tstools::text {

template <typename Value, typename Extra = char>
class SharedTable {
 public:
  struct Element {
    uint32_t count = 0;
    Value value;
    Extra extra{};  // per-element data kept beside the value (the styles' measured heights)
  };

  size_t Size() const { return elements_.size(); }
  const Element &operator[](size_t i) const { return elements_[i]; }
  Element &operator[](size_t i) { return elements_[i]; }
  const Value &Get(int32_t i) const { return elements_[static_cast<size_t>(i)].value; }

  // The index of a live element equal to v, or -1.
  int32_t Find(const Value &v) const {
    for (size_t i = 0; i < elements_.size(); ++i)
      if (elements_[i].count && Equal(elements_[i].value, v)) return static_cast<int32_t>(i);
    return -1;
  }
  // Adds one use of v and returns its index; may throw std::bad_alloc before changing
  // anything.
  int32_t Add(const Value &v) {
    int32_t i = Find(v);
    if (i < 0) {
      for (size_t j = 0; j < elements_.size(); ++j)
        if (!elements_[j].count) {
          elements_[j] = Element{0, v, Extra{}};
          i = static_cast<int32_t>(j);
          break;
        }
      if (i < 0) {
        elements_.push_back(Element{0, v, Extra{}});
        i = static_cast<int32_t>(elements_.size() - 1);
      }
    }
    ++elements_[static_cast<size_t>(i)].count;
    return i;
  }
  void Retain(int32_t i, uint32_t n = 1) { elements_[static_cast<size_t>(i)].count += n; }
  void Release(int32_t i, uint32_t n = 1) {
    uint32_t &c = elements_[static_cast<size_t>(i)].count;
    c = c > n ? c - n : 0;
  }
  // Room for one more element, so the next Add cannot fail.
  void ReserveOne() { elements_.reserve(elements_.size() + 1); }
  // Room for n more elements, so the next n Adds cannot fail.
  void Reserve(size_t n) { elements_.reserve(elements_.size() + n); }
  void Clear() { elements_.clear(); }

 private:
  static bool Equal(const Value &a, const Value &b) { return SameValue(a, b); }
  std::vector<Element> elements_;
};

}  // namespace tstools::text
