// Times the installer's search phase over a made-up maker folder of 1,000 candidate
// folders with mixed outcomes, beside `find | xargs grep -l` over the same tree.
//   installer_search_bench [work-folder]   (default: a new folder under /tmp)
// Not a test: it prints figures and asserts nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "install_search.h"
#include "platform/files.h"

namespace {

void make_dir(const std::string& p) { mkdir(p.c_str(), 0755); }

void write_file(const std::string& p, const std::string& content) {
  if (std::FILE* f = std::fopen(p.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
}

// A table of size bytes of record-like text; the marker, when wanted, near the end.
void write_table(const std::string& p, size_t size, bool marker, std::mt19937& rng) {
  std::FILE* f = std::fopen(p.c_str(), "wb");
  if (!f) return;
  std::string chunk(1 << 16, ' ');
  for (char& c : chunk) c = "0123456789ABCDEF /-.2010"[rng() % 24];
  for (size_t i = 0; i + 6 < chunk.size(); ++i)  // no accidental marker in the filler
    if (chunk.compare(i, 6, "2010/1") == 0) chunk[i + 5] = '9';
  size_t left = size;
  while (left > 0) {
    const size_t n = std::min(left, chunk.size());
    std::fwrite(chunk.data(), 1, n, f);
    left -= n;
  }
  if (marker) {
    std::fseek(f, static_cast<long>(size > 100 ? size - 100 : 0), SEEK_SET);
    std::fputs("2010/1", f);
  }
  std::fclose(f);
}

void sized_file(const std::string& p, off_t size) {
  const int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    if (ftruncate(fd, size) != 0) std::perror("ftruncate");
    close(fd);
  }
}

struct Counts {
  int valid = 0, large = 0;
};

Counts build_tree(const std::string& maker) {
  std::mt19937 rng(2010);
  Counts counts;
  make_dir(maker);
  for (int i = 0; i < 1000; ++i) {
    const std::string dir = maker + "/Empresa" + std::to_string(i);
    const int kind = i % 20;
    if (kind == 19) {  // a plain file among the folders
      write_file(dir, "not an installation");
      continue;
    }
    make_dir(dir);
    make_dir(dir + "/emp");
    const bool exe = kind != 10 && kind != 11;
    const off_t exe_size = (kind == 12 || kind == 13) ? 6750208 + (kind == 12 ? 1 : -1) : 6750208;
    const bool table = kind != 14;
    const bool marker = kind < 8 || kind >= 15;
    // Every fiftieth candidate carries a large version table (about 150 MB in all).
    const bool large = i % 50 == 3;
    if (exe) sized_file(dir + "/brevantw.exe", exe_size);
    if (table) write_table(dir + "/emp/versionp.dbf", large ? (7u << 20) + 123 : 4096 + rng() % 8192, marker && !(large && i % 100 == 3), rng);
    if (large) ++counts.large;
    if (exe && exe_size == 6750208 && table && marker && !(large && i % 100 == 3)) ++counts.valid;
  }
  return counts;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::string work;
  if (argc > 1) {
    work = argv[1];
    make_dir(work);
  } else {
    char tmpl[] = "/tmp/installer-bench.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    work = tmpl;
  }
  const std::string maker = work + "/Halvoren";
  std::printf("Building %s (1000 candidates)...\n", maker.c_str());
  std::fflush(stdout);
  const Counts expected = build_tree(maker);
  std::fflush(stdout);
  std::system(("du -sh '" + maker + "'").c_str());
  plat::set_drive_root('B', work);

  const int runs = 5;
  double best_search = 1e9, best_grep = 1e9;
  size_t accepted = 0;
  for (int r = 0; r < runs; ++r) {
    auto t0 = std::chrono::steady_clock::now();
    accepted = inst::find_installations(plat::system_files(), "B").size();
    best_search = std::min(best_search, seconds_since(t0));

    t0 = std::chrono::steady_clock::now();
    const std::string cmd = "find '" + maker + "' -path '*/emp/versionp.dbf' | xargs grep -l 2010/1 > '" + work +
                            "/grep.out' 2>/dev/null";
    if (std::system(cmd.c_str()) == -1) return 1;
    best_grep = std::min(best_grep, seconds_since(t0));
  }
  std::FILE* g = std::fopen((work + "/grep.out").c_str(), "r");
  int grep_hits = 0;
  for (int c; g && (c = std::fgetc(g)) != EOF;) grep_hits += c == '\n';
  if (g) std::fclose(g);

  std::printf("accepted installations: %zu (expected %d); %d large version tables\n", accepted, expected.valid,
              expected.large);
  std::printf("search phase (listing + five tests, streamed marker search): %8.1f ms  (best of %d, warm cache)\n",
              best_search * 1e3, runs);
  std::printf("find -path '*/emp/versionp.dbf' | xargs grep -l 2010/1:   %8.1f ms  (best of %d; %d tables hold the marker)\n",
              best_grep * 1e3, runs, grep_hits);
  if (argc <= 1) std::system(("rm -rf '" + work + "'").c_str());
  return accepted == static_cast<size_t>(expected.valid) ? 0 : 1;
}
