#include "platform/error_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/error_window.h"
#include "platform/program_facts.h"
#include "platform/routine_frame.h"
#include "platform/settings.h"

namespace {

struct ExitCalled {
  int code;
};

class ErrorSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/errsys.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(old_cwd_, sizeof old_cwd_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    plat::reset_settings();
    plat::record_start("C:\\bin\\ayudainst.exe", {"C:\\ayuda.chm"});

    plat::ErrorSystemHooks hooks;
    hooks.set_network_error = [this] { events_.push_back("neterr"); };
    hooks.describe_drivers = [] { return std::string("ADS (kind 1), default\r\n"); };
    hooks.describe_variables = [] { return std::string("selected drive: \"K\"\r\n"); };
    hooks.end_of_program = [this] { events_.push_back("end of program"); };
    hooks.release_libraries = [this] { events_.push_back("release"); };
    hooks.exit_process = [this](int code) {
      events_.push_back("exit " + std::to_string(code));
      throw ExitCalled{code};
    };
    plat::install_error_system(hooks);
    saved_presenter_ = plat::set_error_window_presenter([this](const plat::ErrorWindowRequest& r) {
      events_.push_back("window");
      requests_.push_back(r);
      return answer_;
    });
  }
  void TearDown() override {
    plat::set_error_window_presenter(saved_presenter_);
    plat::set_error_handler(nullptr);
    ASSERT_EQ(chdir(old_cwd_), 0);
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  std::string read_log() {
    std::ifstream in(dir_ + "/Error.log", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
  char old_cwd_[4096] = {};
  std::vector<std::string> events_;
  std::vector<plat::ErrorWindowRequest> requests_;
  plat::ErrorChoice answer_ = plat::ErrorChoice::Default;
  plat::ErrorWindowPresenter saved_presenter_;
};

plat::Error make(int gen, int os, bool can_default) {
  plat::Error e;
  e.gen_code = gen;
  e.subsystem = "ADSCDX";
  e.sub_code = 1001;
  e.os_code = os;
  e.can_default = can_default;
  e.file_name = "C:\\Datos\\clientes.dbf";
  return e;
}

TEST_F(ErrorSystemTest, QuietCasesShowNothingAndWriteNoReport) {
  struct Case {
    int gen, os;
    bool can_default, quiet, neterr;
  };
  const Case cases[] = {
      {plat::EG_ZERODIV, 0, false, true, false},
      {plat::EG_OPEN, 32, true, true, true},
      {plat::EG_OPEN, 5, true, true, true},
      {plat::EG_APPENDLOCK, 0, true, true, true},
      {plat::EG_OPEN, 32, false, false, false},
      {plat::EG_OPEN, 2, true, false, false},
      {plat::EG_APPENDLOCK, 0, false, false, false},
      {plat::EG_LOCK, 33, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.gen) + "/" + std::to_string(c.os));
    events_.clear();
    unlink("Error.log");
    try {
      EXPECT_EQ(plat::raise_error(make(c.gen, c.os, c.can_default)), plat::ErrorAnswer::Default);
    } catch (const ExitCalled&) {
      EXPECT_FALSE(c.can_default);  // the window answered Default, which was not offered
      events_.resize(1);
    }
    if (c.quiet) {
      EXPECT_EQ(events_, c.neterr ? std::vector<std::string>{"neterr"} : std::vector<std::string>{});
      EXPECT_NE(access("Error.log", F_OK), 0);
    } else {
      EXPECT_EQ(events_, std::vector<std::string>{"window"});
      EXPECT_EQ(access("Error.log", F_OK), 0);
    }
  }
}

TEST_F(ErrorSystemTest, ReportHoldsMessageDateStackAndFacts) {
  plat::SET_DATEFORMAT("dd-mm-yy");
  {
    plat::RoutineFrame outer("MAIN");
    plat::RoutineFrame inner("REVAYUDA");
    answer_ = plat::ErrorChoice::Quit;
    EXPECT_THROW(plat::raise_error(make(plat::EG_CREATE, 0, false)), ExitCalled);
  }
  const std::string log = read_log();
  EXPECT_NE(log.find("ADSCDX/1001  Create error: C:\\Datos\\clientes.dbf"), std::string::npos) << log;
  EXPECT_TRUE(std::regex_search(log, std::regex("at: [0-9]{2}-[0-9]{2}-[0-9]{2}, [0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << log;
  EXPECT_LT(log.find("Called from REVAYUDA"), log.find("Called from MAIN"));
  EXPECT_NE(log.find("C:\\bin\\ayudainst.exe"), std::string::npos);
  EXPECT_NE(log.find("C:\\ayuda.chm"), std::string::npos);
  EXPECT_NE(log.find("ADS (kind 1), default"), std::string::npos);
  EXPECT_NE(log.find("selected drive: \"K\""), std::string::npos);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].message, "ADSCDX/1001  Create error: C:\\Datos\\clientes.dbf");
  EXPECT_EQ(requests_[0].call_stack, "Called from REVAYUDA\r\nCalled from MAIN\r\n");
  EXPECT_EQ(requests_[0].log_path, "Error.log");
  EXPECT_FALSE(requests_[0].can_retry);
}

TEST_F(ErrorSystemTest, QuitEndsTheProgramWithCodeOne) {
  answer_ = plat::ErrorChoice::Quit;
  try {
    plat::raise_error(make(plat::EG_CREATE, 0, true));
    FAIL() << "Quit returned";
  } catch (const ExitCalled& e) {
    EXPECT_EQ(e.code, 1);
  }
  EXPECT_EQ(events_, (std::vector<std::string>{"window", "end of program", "release", "exit 1"}));
}

TEST_F(ErrorSystemTest, AnswersOnlyWhatTheErrorAllows) {
  struct Case {
    plat::ErrorChoice choice;
    bool can_retry, can_default;
    bool quits;
    plat::ErrorAnswer answer;
  };
  const Case cases[] = {
      {plat::ErrorChoice::Retry, true, false, false, plat::ErrorAnswer::Retry},
      {plat::ErrorChoice::Default, false, true, false, plat::ErrorAnswer::Default},
      {plat::ErrorChoice::Retry, false, true, true, {}},
      {plat::ErrorChoice::Default, true, false, true, {}},
  };
  for (const Case& c : cases) {
    answer_ = c.choice;
    plat::Error e = make(plat::EG_WRITE, 0, c.can_default);
    e.can_retry = c.can_retry;
    if (c.quits) {
      EXPECT_THROW(plat::raise_error(e), ExitCalled);
    } else {
      EXPECT_EQ(plat::raise_error(e), c.answer);
    }
    EXPECT_EQ(requests_.back().can_retry, c.can_retry);
    EXPECT_EQ(requests_.back().can_default, c.can_default);
  }
}

TEST_F(ErrorSystemTest, UnwritableReportIsIgnored) {
  ASSERT_EQ(mkdir("Error.log", 0755), 0);  // a folder where the report should go
  EXPECT_EQ(plat::raise_error(make(plat::EG_WRITE, 0, true)), plat::ErrorAnswer::Default);
  EXPECT_EQ(events_, std::vector<std::string>{"window"});
}

TEST(ErrorMessage, DescriptionsAndDetail) {
  plat::Error e;
  e.gen_code = plat::EG_NOALIAS;
  e.subsystem = "BASE";
  e.sub_code = 1002;
  EXPECT_EQ(plat::error_message(e), "BASE/1002  Alias does not exist");
  e.description = "Cannot create Dialog Box";
  e.operation = "\r\nResource: PRINCIPAL";
  EXPECT_EQ(plat::error_message(e), "BASE/1002  Cannot create Dialog Box: \r\nResource: PRINCIPAL");
  for (auto [code, text] : {std::pair{5, "Zero divisor"}, {21, "Open error"}, {40, "Append lock failed"},
                            {1, "Argument error"}, {7, "Syntax error"}, {18, "Alias already in use"},
                            {33, "Data type error"}, {35, "Workarea not in use"}})
    EXPECT_STREQ(plat::generic_description(code), text);
}

}  // namespace
