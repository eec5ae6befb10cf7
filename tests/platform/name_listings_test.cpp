// Name listings: the spelling a name matches after any run of the changes this process notes, and
// the listings of one operation read once and dropped when the outermost ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <string>

#include "platform/name_listings.h"

namespace {

using platform::NameListing;

TEST(NameListing, MatchesTheExactSpellingOrElseTheFirstAfterRandomChanges) {
  const uint32_t seed = static_cast<uint32_t>(std::time(nullptr));
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  const std::string keys[] = {"A.BGL", "B.BGL"};
  const std::string spellings[] = {"a.bgl", "A.bgl", "A.BGL", "a.BGL"};
  NameListing listing;
  listing.MarkListed();
  std::map<std::string, std::set<std::string>> model;
  for (int i = 0; i < 3; ++i) {  // read unsorted, as a folder gives them
    const std::string& key = keys[rng() % 2];
    const std::string& spelling = spellings[rng() % 4];
    if (model[key].insert(spelling).second) listing.AddListed(key, spelling);
  }
  listing.SortListed();
  for (int step = 0; step < 400; ++step) {
    const std::string& key = keys[rng() % 2];
    const std::string& spelling = spellings[rng() % 4];
    switch (rng() % 3) {
      case 0:
        listing.Add(key, spelling);
        model[key].insert(spelling);
        break;
      case 1:
        listing.AddUnlessHeld(key, spelling);
        if (model[key].empty()) model[key].insert(spelling);
        break;
      default:
        listing.Remove(key, spelling);
        model[key].erase(spelling);
    }
    for (const std::string& k : keys)
      for (const std::string& s : spellings) {
        const std::set<std::string>& held = model[k];
        const std::string* match = listing.Match(k, s);
        if (held.empty()) {
          ASSERT_EQ(match, nullptr) << "step " << step << " " << k << " " << s;
        } else {
          ASSERT_NE(match, nullptr) << "step " << step << " " << k << " " << s;
          EXPECT_EQ(*match, held.count(s) ? s : *held.begin()) << "step " << step;
        }
      }
  }
}

TEST(OperationListings, ReadEachFolderOncePerOperationAndDropThemWhenTheOutermostEnds) {
  platform::OperationListings<std::string> listings;
  int reads = 0;
  const auto read = [&](NameListing& listing) {
    ++reads;
    listing.MarkListed();
  };
  listings.Begin();
  listings.Begin();
  listings.ListingOf("C:\\FS", read);
  listings.ListingOf("C:\\FS", read);
  EXPECT_EQ(reads, 1);
  EXPECT_NE(listings.ListedFolder("C:\\FS"), nullptr);
  EXPECT_FALSE(listings.End());  // the inner one
  EXPECT_NE(listings.ListedFolder("C:\\FS"), nullptr);
  EXPECT_TRUE(listings.End());
  EXPECT_FALSE(listings.InOperation());
  EXPECT_EQ(listings.ListedFolder("C:\\FS"), nullptr);
  EXPECT_FALSE(listings.End());  // no operation is open
}

}  // namespace
