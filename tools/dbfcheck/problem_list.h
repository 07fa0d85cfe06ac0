// Problems verify has found, printed as they come: "WHERE: what is wrong".
#pragma once

#include <ostream>
#include <string>

namespace dbfcheck {

class ProblemList {
 public:
  explicit ProblemList(std::ostream& out) : out_(out) {}
  void add(const std::string& where, const std::string& what) {
    out_ << where << ": " << what << '\n';
    ++count_;
  }
  void note(const std::string& where, const std::string& what) { out_ << where << ": note: " << what << '\n'; }
  int count() const { return count_; }

 private:
  std::ostream& out_;
  int count_ = 0;
};

}  // namespace dbfcheck
