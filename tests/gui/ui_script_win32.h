// Runs test steps one after another inside whatever modal loop is pumping this
// thread's messages. Each step runs only after the messages posted before it have
// been handled: it waits a few trips through the queue, so that what a step posts,
// and what those messages post in turn, is done before the next step looks. A dialog
// left open after the last step is ended and reported as a failure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace guitest {

class UiScript {
 public:
  using Step = std::function<void()>;

  explicit UiScript(std::vector<Step> steps);
  ~UiScript();
  UiScript(const UiScript&) = delete;
  UiScript& operator=(const UiScript&) = delete;

  bool finished() const { return next_ == steps_.size(); }

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void advance();
  void rescue();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  int hops_ = 0;
  HWND hwnd_ = nullptr;
};

// The top-level dialog window of this thread with the given title, or null.
HWND find_dialog(const char* title);

std::string window_text(HWND hwnd);

}  // namespace guitest
