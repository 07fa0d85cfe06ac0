// An in-memory table driver for the routines' tests: tables are made in the test,
// other users are simulated by flags, and every call is written to a shared event
// log so that a test can read the order of opens, locks, waits and messages.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tables/table_driver.h"

namespace tbltest {

using tbl::Value;

struct FakeField {
  std::string name;
  char type;  // C N D L M
  int width;
  int decimals;
};

struct FakeTableData {
  std::vector<FakeField> fields;
  std::vector<std::vector<Value>> records;
  std::set<uint32_t> held_by_others;  // records another user has locked
  int refuse_opens = 0;               // opens still refused as a sharing violation; -1: all
  int refuse_appends = 0;             // appends still refused by the append lock; -1: all
  std::vector<std::string> order_tags;  // orders of the structural bag, in creation order
};

class EventLog {
 public:
  void add(const std::string& e) { events_.push_back(e); }
  const std::vector<std::string>& events() const { return events_; }
  int count(const std::string& e) const;
  void clear() { events_.clear(); }

 private:
  std::vector<std::string> events_;
};

class FakeDriver : public tbl::TableDriver {
 public:
  explicit FakeDriver(EventLog* log, std::string index_ext = ".cdx") : log_(log), ext_(std::move(index_ext)) {}

  // A table with fields and records; file names compare without case.
  std::shared_ptr<FakeTableData> add_table(const std::string& file, std::vector<FakeField> fields,
                                           std::vector<std::vector<Value>> records = {});

  std::string index_extension() const override { return ext_; }
  tbl::Status open(const tbl::OpenRequest& request, std::unique_ptr<tbl::Table>* out) override;

  std::vector<tbl::OpenRequest> opens;         // every request, refused ones included
  std::vector<tbl::OrderRequest> orders_built;  // every order built, any table

 private:
  EventLog* log_;
  std::string ext_;
  std::map<std::string, std::shared_ptr<FakeTableData>> tables_;
};

}  // namespace tbltest
