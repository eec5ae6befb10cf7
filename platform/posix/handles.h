#pragma once
// Owners of the POSIX handles the host code opens (platform/unique_owner.h): each closes its
// handle on every path out of the function that opened it.
#include <dirent.h>
#include <iconv.h>
#include <unistd.h>

#include "platform/unique_owner.h"

namespace platform::posix {

// An open file descriptor (open, mkstemp); invalid is -1.
struct DescriptorTraits {
  using Handle = int;
  static Handle Invalid() { return -1; }
  static bool Close(Handle fd) { return close(fd) == 0; }
};
using UniqueDescriptor = UniqueOwner<DescriptorTraits>;

// A folder listing (opendir); invalid is nullptr.
struct FolderListingTraits {
  using Handle = DIR*;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle listing) { return closedir(listing) == 0; }
};
using UniqueFolderListing = UniqueOwner<FolderListingTraits>;

// A conversion (iconv_open); invalid is (iconv_t)-1, as iconv_open reports failure.
struct ConversionTraits {
  using Handle = iconv_t;
  static Handle Invalid() { return reinterpret_cast<iconv_t>(-1); }
  static bool Close(Handle conversion) { return iconv_close(conversion) == 0; }
};
using UniqueConversion = UniqueOwner<ConversionTraits>;

}  // namespace platform::posix
