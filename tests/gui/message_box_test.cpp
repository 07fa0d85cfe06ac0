#include <gtest/gtest.h>

#include <vector>

#include "platform/message_box.h"

namespace {

TEST(MessageBox, EachKindHasItsIconAndDefaultTitle) {
  std::vector<plat::MessageBoxRequest> shown;
  auto previous = plat::set_message_box_presenter(
      [&shown](const plat::MessageBoxRequest& r) { shown.push_back(r); });

  plat::MSGINFO("i");
  plat::MSGALERT("a");
  plat::MSGSTOP("s");
  plat::MSGINFO("Instalaci\xF3n", " Atenci\xF3n");

  plat::set_message_box_presenter(previous);
  ASSERT_EQ(shown.size(), 4u);
  struct Expected {
    plat::BoxIcon icon;
    const char* text;
    const char* title;
  } expected[] = {
      {plat::BoxIcon::Information, "i", "Information"},
      {plat::BoxIcon::Exclamation, "a", "Alert"},
      {plat::BoxIcon::Stop, "s", "Stop"},
      {plat::BoxIcon::Information, "Instalaci\xF3n", " Atenci\xF3n"},  // bytes kept as given
  };
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].icon, expected[i].icon) << i;
    EXPECT_EQ(shown[i].text, expected[i].text) << i;
    EXPECT_EQ(shown[i].title, expected[i].title) << i;
  }
}

}  // namespace
