// The named stores of the evaluator: variables (name -> number) and user
// functions (name -> formula text). Entries keep the order of first
// definition; names match whole, case-sensitively, when defined or looked up.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/text/u16.h"

namespace quadrel {

struct TextHash {
  using is_transparent = void;
  size_t operator()(TextView s) const noexcept { return std::hash<TextView>{}(s); }
};

struct NamedEntry {
  Text name;
  Text text;           // value or body: lower-cased, blanks removed
  double value = 0.0;  // the number a variable holds
};

class NameStore {
 public:
  // Defines or redefines name; gives the number of entries afterwards.
  size_t define(TextView name, TextView text);
  // Defines a variable with an exact number; its text reads back to the value.
  size_t defineNumber(TextView name, double value);
  const NamedEntry* find(TextView name) const;
  void clear();
  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }
  const std::vector<NamedEntry>& entries() const { return entries_; }
  // The list text: name=text; for every entry in order.
  Text listText() const;
  size_t listLength() const;
  // Counts every change, so that derived data can be cached.
  uint64_t generation() const { return generation_; }

 private:
  NamedEntry& slot(TextView name);
  std::vector<NamedEntry> entries_;
  std::unordered_map<Text, size_t, TextHash, std::equal_to<>> index_;
  uint64_t generation_ = 0;
};

// The stored form of a value: every blank removed, lower-cased.
Text storedForm(TextView value);
// A store key: the name without one trailing "=".
TextView keyName(TextView name);

}  // namespace quadrel
