#include "install_search.h"

#include <cstring>

#include "messages.h"
#include "platform/text_search.h"

namespace inst {

namespace {

bool holds_marker(plat::FileSystem& fs, const std::string& path, size_t buffer) {
  // Streams the file instead of reading it whole: version tables can be huge, and
  // the marker holds no 0x1A, so the result equals AT over MEMOREAD's content.
  std::unique_ptr<plat::ByteSource> in = fs.open_read(path);
  return in && plat::stream_at(kReleaseMarker, *in, buffer) != 0;
}

}  // namespace

std::vector<std::string> find_installations(plat::FileSystem& fs, const std::string& drive,
                                            const SearchOptions& options) {
  const std::string folder = drive + kMakerFolder;
  std::vector<std::string> accepted;
  for (const std::string& name : fs.directory(folder + "*.*")) {
    const std::string candidate = folder + name;
    if (candidate.size() + std::strlen(kVersionSuffix) > kMaxTestPath) continue;
    if (!fs.exists(candidate + kExeSuffix)) continue;
    if (!fs.exists(candidate + kVersionSuffix)) continue;
    if (plat::ASCAN(accepted, candidate) != 0) continue;
    if (!holds_marker(fs, candidate + kVersionSuffix, options.read_buffer)) continue;
    if (fs.size(candidate + kSizeSuffix) != kExeSize) continue;
    accepted.push_back(candidate);
  }
  return accepted;
}

std::vector<std::string> copy_help(plat::FileSystem& fs, const std::string& help_path,
                                   const std::vector<std::string>& accepted) {
  std::vector<std::string> failed;
  for (const std::string& path : accepted)
    if (!fs.copy(help_path, path + kHelpSuffix)) failed.push_back(path);
  return failed;
}

Outcome outcome_message(const std::vector<std::string>& accepted,
                        const std::vector<std::string>& failed) {
  if (accepted.empty())
    return {plat::BoxIcon::Information, text::kNothingFound, text::kNothingFoundTitle};
  if (failed.empty()) return {plat::BoxIcon::Information, text::kInstalled, text::kInstalledTitle};
  std::string message = text::kCopyFailedHead;
  for (const std::string& path : failed) message += text::kNewline + path;
  return {plat::BoxIcon::Exclamation, message, text::kCopyFailedTitle};
}

}  // namespace inst
