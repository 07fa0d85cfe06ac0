// The search and copy of the install run, over an injectable file system so the
// rules can be tested with listings in any order and with failing copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"

namespace inst {

// The maker folder and the files that make an installation.
inline constexpr const char kMakerFolder[] = ":\\Halvoren\\";
inline constexpr const char kExeSuffix[] = "\\brevantw.exe";
inline constexpr const char kVersionSuffix[] = "\\emp\\versionp.dbf";
inline constexpr const char kSizeSuffix[] = "\\Brevantw.exe";  // same file: names are case-blind
inline constexpr const char kHelpSuffix[] = "\\brevantpro.chm";
inline constexpr const char kReleaseMarker[] = "2010/1";
inline constexpr uint64_t kExeSize = 6750208;

// The longest composed path the existence test handles. An entry whose longest test
// path would exceed it is passed over: it could not be tested as the others are.
inline constexpr size_t kMaxTestPath = 255;

struct SearchOptions {
  size_t read_buffer = 1 << 20;  // bytes read at a time from a version table
};

// Lists the maker folder of the drive and returns, in listing order, the candidate
// paths of the entries that pass the five tests.
std::vector<std::string> find_installations(plat::FileSystem& fs, const std::string& drive,
                                            const SearchOptions& options = {});

// Copies the help file into every accepted installation, in order; returns the
// installations whose copy failed.
std::vector<std::string> copy_help(plat::FileSystem& fs, const std::string& help_path,
                                   const std::vector<std::string>& accepted);

struct Outcome {
  plat::BoxIcon icon;
  std::string text;
  std::string title;
};

// The message that ends the run.
Outcome outcome_message(const std::vector<std::string>& accepted,
                        const std::vector<std::string>& failed);

}  // namespace inst
