#pragma once
// What the disk that holds a folder can take now: its allocation unit, which disk it is, and
// whether the folder accepts a new file at all. Asked of the real disk, never of a plan.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The allocation unit of the disk that holds the existing folder `folder`: the bytes every file
// takes a whole number of (a cluster on Windows: sectors per cluster times bytes per sector; the
// fragment size statvfs reports on Linux). nullopt when unknown.
std::optional<uint64_t> AllocationUnit(const std::string& folder);

// A number that is the same for two folders on one disk and differs between disks (the volume's
// serial number on Windows, the device number on Linux); nullopt when unknown.
std::optional<uint64_t> DiskIdentity(const std::string& folder);

// `bytes` rounded up to whole allocation units of `unit` bytes (`bytes` itself when `unit` is 0).
uint64_t RoundUpToUnits(uint64_t bytes, uint64_t unit);

// True when a new file can be made in `folder` now: a scratch file of one byte is created there and
// removed again. False on a read-only medium, a full disk, a folder this
// process may not write to (also for root: the system decides, not the mode bits), or when
// `folder` is not a folder.
bool FolderAcceptsNewFiles(const std::string& folder);

}  // namespace platform
