// A command-line helper for the engine's process-level tests: prints tables in a
// form the outside readers' output is compared with, writes sample tables for
// them to read, and runs the appenders of the multi-process and crash tests.
//
//   table_tool dump TABLE
//   table_tool sample TABLE vfp|fox|dbase3
//   table_tool memos TABLE FIELD                 rewrites every record's memo
//   table_tool create TABLE                      shared test table for appenders
//   table_tool append TABLE WRITER COUNT SEED    C interface appends + random locks
//   table_tool crash-append TABLE WRITER         appends until killed
//   table_tool verify TABLE WRITERS COUNT        after `append`
//   table_tool crash-verify TABLE                after `crash-append` and kills
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ace32.h"
#include "ace32_errors.h"
#include "dbf/record.h"
#include "table/table.h"

namespace {

int fail(const char* what, uint32_t code) {
  uint32_t n = 0;
  int32_t os = 0;
  char file[260], text[200];
  uint32_t fl = sizeof file, tl = sizeof text;
  ace_get_last_error(&n, &os, file, &fl, text, &tl);
  std::fprintf(stderr, "%s failed: %u (os %d) %s: %s\n", what, code, os, file, text);
  return 1;
}

std::string hex(const std::string& s) {
  static const char* d = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out.empty() ? "-" : out;
}

std::string rstrip(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::string get(ACE_HANDLE h, uint16_t f) {
  std::vector<char> buf(256);
  uint32_t len = static_cast<uint32_t>(buf.size());
  uint32_t rc = ace_get_string(h, f, buf.data(), &len);
  if (rc == ACE_ERR_BUFFER_SMALL) {
    buf.resize(len);
    rc = ace_get_string(h, f, buf.data(), &len);
  }
  if (rc != ACE_OK) {
    fail("get", rc);
    std::exit(1);
  }
  return std::string(buf.data(), len);
}

// One line per record: "R recno deleted", then "F name value" per field, values
// in a form both sides can print: text and memos in hex, numbers as text, dates
// as YYYYMMDD, "-" for blank.
int dump(const char* path) {
  ACE_HANDLE h = 0;
  uint32_t rc = ace_open_table(path, nullptr, ACE_TABLE_CDX, ACE_OPEN_READONLY, &h);
  if (rc) return fail("open", rc);
  uint16_t nf = 0;
  ace_field_count(h, &nf);
  uint32_t count = 0;
  ace_record_count(h, &count);
  for (uint32_t r = 1; r <= count; ++r) {
    if ((rc = ace_go_to(h, r))) return fail("goto", rc);
    uint16_t del = 0;
    ace_is_deleted(h, &del);
    std::printf("R %u %u\n", r, del);
    for (uint16_t f = 1; f <= nf; ++f) {
      char name[12], type;
      ace_field_info(h, f, name, sizeof name, &type, nullptr, nullptr);
      uint16_t empty = 0;
      ace_is_empty(h, f, &empty);
      std::string v = get(h, f);
      std::string out;
      switch (type) {
        case 'C': case 'V': out = hex(rstrip(v)); break;
        case 'M': case 'G': case 'P': case 'W': out = hex(v); break;
        case 'D': case 'T': case 'L': out = rstrip(v).empty() ? "-" : rstrip(v); break;
        case 'N': case 'F': {
          std::string t = rstrip(v);
          size_t b = t.find_first_not_of(' ');
          out = b == std::string::npos ? "-" : t.substr(b);
          break;
        }
        default: out = v; break;
      }
      std::printf("F %s %s\n", name, out.c_str());
    }
  }
  ace_close_table(h);
  return 0;
}

uint16_t field(ACE_HANDLE h, const char* name) {
  uint16_t f = 0;
  if (ace_field_number(h, name, &f)) std::exit(fail(name, 1));
  return f;
}

#define CHECK(call)                                 \
  do {                                              \
    uint32_t rc_ = (call);                          \
    if (rc_) return fail(#call, rc_);               \
  } while (0)

// A table with every type the outside readers know, three records: values,
// a deleted record with an empty memo, a memo rewritten longer and shorter.
int sample(const char* path, const std::string& kind) {
  const bool vfp = kind == "vfp";
  const uint16_t type = kind == "dbase3" ? ACE_TABLE_NTX : ACE_TABLE_CDX;
  std::string fields = "NAME,C,20;AMOUNT,N,12,2;RATIO,F,10,4;BORN,D;OK,L;NOTE,M";
  if (vfp) fields += ";COUNT,I;PRICE,Y;WHEN,T;REAL,B,8,3";
  ACE_HANDLE h = 0;
  CHECK(ace_create_table(path, nullptr, fields.c_str(), type, vfp ? ACE_CREATE_VFP : 0, &h));
  const char* names[] = {"Ana \xF1" "and\xFA", "Bernat", "Carme"};
  for (int i = 0; i < 3; ++i) {
    CHECK(ace_append(h));
    CHECK(ace_set_string(h, field(h, "NAME"), names[i], static_cast<uint32_t>(std::strlen(names[i]))));
    CHECK(ace_set_double(h, field(h, "AMOUNT"), i == 1 ? -1234.5 : 98765.43 * (i + 1)));
    CHECK(ace_set_double(h, field(h, "RATIO"), 0.125 * (i + 1)));
    CHECK(ace_set_julian(h, field(h, "BORN"), 2450462 + i * 400));  // from 1997-01-13
    CHECK(ace_set_logical(h, field(h, "OK"), i != 1));
    std::string memo = i == 0 ? "first memo\r\nwith two lines" : i == 2 ? std::string(1000, 'x') : "";
    if (!memo.empty()) CHECK(ace_set_string(h, field(h, "NOTE"), memo.data(), static_cast<uint32_t>(memo.size())));
    if (vfp) {
      CHECK(ace_set_double(h, field(h, "COUNT"), -7 + i));
      CHECK(ace_set_double(h, field(h, "PRICE"), 12.3456 * (i + 1)));
      const char* when = "20240229134501";
      CHECK(ace_set_string(h, field(h, "WHEN"), when, 14));
      CHECK(ace_set_double(h, field(h, "REAL"), 3.25 * (i + 1)));
    }
    if (i == 1) CHECK(ace_delete(h));
  }
  // Record 3's memo grows past its blocks, then record 1's shrinks in place.
  std::string longer(3000, 'y');
  CHECK(ace_set_string(h, field(h, "NOTE"), longer.data(), static_cast<uint32_t>(longer.size())));
  CHECK(ace_go_to(h, 1));
  CHECK(ace_lock_record(h, 1));
  CHECK(ace_set_string(h, field(h, "NOTE"), "short", 5));
  CHECK(ace_close_table(h));
  return 0;
}

// Record n's text for `memos`: odd records shrink into their old blocks, even
// ones grow to several blocks. interop_write.py builds the same texts.
std::string memo_text(uint32_t n) {
  std::string text = "record " + std::to_string(n) + "\r\n";
  text.append(n % 2 ? 100 + n : 600 * n + 7, static_cast<char>('a' + n % 26));
  return text;
}

int memos(const char* path, const char* name) {
  ACE_HANDLE h = 0;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_NTX, 0, &h));
  const uint16_t f = field(h, name);
  uint32_t count = 0;
  CHECK(ace_record_count(h, &count));
  for (uint32_t n = 1; n <= count; ++n) {
    CHECK(ace_go_to(h, n));
    CHECK(ace_lock_record(h, n));
    const std::string text = memo_text(n);
    CHECK(ace_set_string(h, f, text.data(), static_cast<uint32_t>(text.size())));
    CHECK(ace_unlock_record(h, n));
  }
  CHECK(ace_close_table(h));
  return 0;
}

const char* kAppendFields = "WRITER,N,3,0;SEQ,N,10,0;TOUCH,N,10,0;PAD,C,24";

std::string pad_for(int writer, long seq) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "W%03dS%010ldEND", writer, seq);
  return buf;
}

int create(const char* path) {
  ACE_HANDLE h = 0;
  CHECK(ace_create_table(path, nullptr, kAppendFields, ACE_TABLE_CDX, 0, &h));
  CHECK(ace_close_table(h));
  return 0;
}

// Appends COUNT records through the C interface, each carrying writer and
// sequence, and after every few appends adds 1 to TOUCH of a random record under
// its lock. The total of TOUCH shows whether two writers ever held one lock.
int append(const char* path, int writer, long count, unsigned seed) {
  ACE_HANDLE h = 0;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, 0, &h));
  std::mt19937 rng(seed);
  long touches = 0;
  const uint16_t fw = field(h, "WRITER"), fs = field(h, "SEQ"), ft = field(h, "TOUCH"), fp = field(h, "PAD");
  for (long i = 1; i <= count; ++i) {
    uint32_t rc;
    while ((rc = ace_append(h)) == ACE_ERR_APPEND_LOCK) {
    }
    if (rc) return fail("append", rc);
    CHECK(ace_set_double(h, fw, writer));
    CHECK(ace_set_double(h, fs, static_cast<double>(i)));
    std::string pad = pad_for(writer, i);
    CHECK(ace_set_string(h, fp, pad.data(), static_cast<uint32_t>(pad.size())));
    if (i % 4 == 0) {
      uint32_t n = 0;
      CHECK(ace_record_count(h, &n));
      uint32_t r = std::uniform_int_distribution<uint32_t>(1, n)(rng);
      CHECK(ace_unlock_all(h));
      CHECK(ace_go_to(h, r));
      while ((rc = ace_lock_record(h, r)) == ACE_ERR_RECORD_LOCK) {
      }
      if (rc) return fail("lock", rc);
      double t = 0;
      CHECK(ace_get_double(h, ft, &t));
      CHECK(ace_set_double(h, ft, t + 1));
      CHECK(ace_unlock_record(h, r));
      ++touches;
    }
  }
  CHECK(ace_close_table(h));
  std::printf("touches %ld\n", touches);
  return 0;
}

int verify(const char* path, int writers, long count, long touches) {
  ACE_HANDLE h = 0;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, ACE_OPEN_READONLY, &h));
  uint32_t n = 0;
  CHECK(ace_record_count(h, &n));
  std::set<std::pair<int, long>> seen;
  double total_touch = 0;
  const uint16_t fw = field(h, "WRITER"), fs = field(h, "SEQ"), ft = field(h, "TOUCH"), fp = field(h, "PAD");
  for (uint32_t r = 1; r <= n; ++r) {
    CHECK(ace_go_to(h, r));
    double w = 0, s = 0, t = 0;
    CHECK(ace_get_double(h, fw, &w));
    CHECK(ace_get_double(h, fs, &s));
    CHECK(ace_get_double(h, ft, &t));
    total_touch += t;
    if (rstrip(get(h, fp)) != pad_for(int(w), long(s))) {
      std::printf("record %u: pad does not match writer %d seq %ld\n", r, int(w), long(s));
      return 1;
    }
    if (!seen.insert({int(w), long(s)}).second) {
      std::printf("record %u: writer %d seq %ld twice\n", r, int(w), long(s));
      return 1;
    }
  }
  std::printf("records %u (expected %ld), distinct %zu, touches %.0f (expected %ld)\n", n,
              writers * count, seen.size(), total_touch, touches);
  ace_close_table(h);
  return (long(n) == writers * count && seen.size() == n && (touches < 0 || long(total_touch) == touches)) ? 0 : 1;
}

// Straight through the Table, a full record per append: what a crash may cut.
int crash_append(const char* path, int writer) {
  std::unique_ptr<ace::table::Table> t;
  ace::Status s = ace::table::Table::open(path, {}, &t);
  if (!s.ok()) return std::fprintf(stderr, "open: %s\n", s.text.c_str()), 1;
  const auto& h = t->header();
  std::printf("ready\n");
  std::fflush(stdout);
  for (long seq = 1;; ++seq) {
    std::string rec = ace::dbf::blank_record(h);
    ace::dbf::put_number(h, &rec, h.fields[0], writer);
    ace::dbf::put_number(h, &rec, h.fields[1], static_cast<double>(seq));
    ace::dbf::put_text(h, &rec, h.fields[3], pad_for(writer, seq));
    uint32_t r = 0;
    while ((s = t->append(rec, &r)).code == ACE_ERR_APPEND_LOCK) {
    }
    if (!s.ok()) return std::fprintf(stderr, "append: %s\n", s.text.c_str()), 1;
    t->unlock_record(r);
  }
}

// Every counted record is whole, and each writer's sequence has no gap or repeat.
int crash_verify(const char* path) {
  std::unique_ptr<ace::table::Table> t;
  ace::Status s = ace::table::Table::open(path, {}, &t);
  if (!s.ok()) return std::printf("open: %s: %s\n", s.file.c_str(), s.text.c_str()), 1;
  const auto& h = t->header();
  uint32_t n = 0;
  t->record_count(&n);
  std::map<int, long> last;
  for (uint32_t r = 1; r <= n; ++r) {
    std::string rec;
    if (!(s = t->read_record(r, &rec)).ok()) return std::printf("read %u: %s\n", r, s.text.c_str()), 1;
    bool ok;
    int w = int(ace::dbf::get_number(rec, h.fields[0], &ok));
    long seq = long(ace::dbf::get_number(rec, h.fields[1], &ok));
    if (rstrip(ace::dbf::get_text(h, rec, h.fields[3])) != pad_for(w, seq))
      return std::printf("record %u is torn\n", r), 1;
    if (seq != last[w] + 1) return std::printf("record %u: writer %d jumps %ld -> %ld\n", r, w, last[w], seq), 1;
    last[w] = seq;
  }
  std::printf("records %u whole\n", n);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return std::fprintf(stderr, "usage: see table_tool.cpp\n"), 2;
  std::string cmd = argv[1];
  const char* path = argv[2];
  if (cmd == "dump") return dump(path);
  if (cmd == "sample" && argc == 4) return sample(path, argv[3]);
  if (cmd == "memos" && argc == 4) return memos(path, argv[3]);
  if (cmd == "create") return create(path);
  if (cmd == "append" && argc == 6) return append(path, std::atoi(argv[3]), std::atol(argv[4]), unsigned(std::atol(argv[5])));
  if (cmd == "verify" && argc >= 5) return verify(path, std::atoi(argv[3]), std::atol(argv[4]), argc > 5 ? std::atol(argv[5]) : -1);
  if (cmd == "crash-append" && argc == 4) return crash_append(path, std::atoi(argv[3]));
  if (cmd == "crash-verify") return crash_verify(path);
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
