#include "core/eval/name_store.h"

#include "core/text/number_reader.h"
#include "core/text/number_text.h"

namespace quadrel {

Text storedForm(TextView value) {
  Text r;
  r.reserve(value.size());
  for (char16_t c : value)
    if (c != u' ')
      r.push_back(lowerAscii(c));
  return r;
}

TextView keyName(TextView name) {
  if (!name.empty() && name.back() == u'=')
    name.remove_suffix(1);
  return name;
}

NamedEntry& NameStore::slot(TextView name) {
  ++generation_;
  auto it = index_.find(name);
  if (it != index_.end())
    return entries_[it->second];
  index_.emplace(Text(name), entries_.size());
  entries_.push_back({Text(name), Text(), 0.0});
  return entries_.back();
}

size_t NameStore::define(TextView name, TextView text) {
  NamedEntry& e = slot(name);
  e.text = storedForm(text);
  e.value = leadingDecimal(e.text);
  return entries_.size();
}

size_t NameStore::defineNumber(TextView name, double value) {
  NamedEntry& e = slot(name);
  e.text = storedForm(roundTripText(value));
  e.value = value;
  return entries_.size();
}

const NamedEntry* NameStore::find(TextView name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &entries_[it->second];
}

void NameStore::clear() {
  ++generation_;
  entries_.clear();
  index_.clear();
}

Text NameStore::listText() const {
  Text r;
  r.reserve(listLength());
  for (const auto& e : entries_) {
    r.append(e.name);
    r.push_back(u'=');
    r.append(e.text);
    r.push_back(u';');
  }
  return r;
}

size_t NameStore::listLength() const {
  size_t n = 0;
  for (const auto& e : entries_) n += e.name.size() + e.text.size() + 2;
  return n;
}

}  // namespace quadrel
