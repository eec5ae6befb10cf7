#include "platform/name_listings.h"

namespace platform {

void NameListing::AddListed(std::string key, std::string spelling) {
  byKey_[std::move(key)].push_back(std::move(spelling));
}

void NameListing::SortListed() {
  for (auto& entry : byKey_) std::sort(entry.second.begin(), entry.second.end());
}

void NameListing::Add(const std::string& key, const std::string& spelling) {
  std::vector<std::string>& spellings = byKey_[key];
  const auto at = std::lower_bound(spellings.begin(), spellings.end(), spelling);
  if (at == spellings.end() || *at != spelling) spellings.insert(at, spelling);
}

void NameListing::AddUnlessHeld(std::string key, const std::string& spelling) {
  auto [slot, added] = byKey_.try_emplace(std::move(key));
  if (added) slot->second.push_back(spelling);
}

void NameListing::Remove(const std::string& key, const std::string& spelling) {
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return;
  std::vector<std::string>& spellings = found->second;
  spellings.erase(std::remove(spellings.begin(), spellings.end(), spelling), spellings.end());
  if (spellings.empty()) byKey_.erase(found);
}

}  // namespace platform
