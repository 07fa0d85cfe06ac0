#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

INT_PTR CALLBACK quiet_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string class_of(HWND hwnd) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

class ResourceLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    library = LoadLibraryA("progdll.dll");
    ASSERT_NE(library, nullptr);
  }
  void TearDown() override {
    if (library) FreeLibrary(library);
  }
  HMODULE library = nullptr;
};

TEST_F(ResourceLibrary, TemplateHoldsTheFiveControls) {
  HWND dlg = CreateDialogParamA(library, "PRINCIPAL", nullptr, quiet_proc, 0);
  ASSERT_NE(dlg, nullptr);
  const std::pair<int, const char*> controls[] = {
      {700, "Static"}, {101, "Static"}, {110, "ComboBox"}, {550, "Button"}, {551, "Button"}};
  for (const auto& [id, cls] : controls) {
    HWND control = GetDlgItem(dlg, id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_STREQ(class_of(control).c_str(), cls) << id;
  }
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, 110), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  // No default push button: Enter must not start the installation from the drive box.
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, 550), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
  DestroyWindow(dlg);
}

TEST_F(ResourceLibrary, PictureHasTheKeyColourInItsTopLeftPixel) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(library, "brevant", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  EXPECT_GT(info.bmWidth, 32);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF key = GetPixel(dc, 0, 0);
  EXPECT_NE(GetPixel(dc, info.bmWidth / 2, info.bmHeight / 2), key);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

// Icon group resource (RT_GROUP_ICON), little-endian:
//
// | offset    | size | meaning                                   |
// |-----------|------|-------------------------------------------|
// | 0         | 2    | reserved, 0                               |
// | 2         | 2    | type, 1 = icon                            |
// | 4         | 2    | number of images                          |
// | 6 + 14*i  | 1    | width (0 means 256)                       |
// | 7 + 14*i  | 1    | height                                    |
// | 8 + 14*i  | 1    | palette colours                           |
// | 9 + 14*i  | 1    | reserved                                  |
// | 10 + 14*i | 2    | planes                                    |
// | 12 + 14*i | 2    | bits per pixel                            |
// | 14 + 14*i | 4    | size of the image                         |
// | 18 + 14*i | 2    | id of the RT_ICON resource with the image |
TEST(ProgramIcon, GroupHoldsSixImagesOfTheGivenSizesAndDepths) {
  HRSRC found = FindResourceA(nullptr, "PROGRAMA", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
  ASSERT_NE(bytes, nullptr);
  auto word = [bytes](int at) { return bytes[at] | (bytes[at + 1] << 8); };
  ASSERT_EQ(word(2), 1);
  const int count = word(4);
  std::set<std::pair<int, int>> images;
  for (int i = 0; i < count; ++i) {
    const int entry = 6 + 14 * i;
    EXPECT_EQ(bytes[entry], bytes[entry + 1]) << "square";
    images.insert({bytes[entry], word(entry + 6)});
  }
  const std::set<std::pair<int, int>> expected = {{16, 8},  {16, 24}, {32, 8},
                                                  {32, 32}, {48, 8},  {48, 32}};
  EXPECT_EQ(count, 6);
  EXPECT_EQ(images, expected);
  for (int size : {16, 32, 48}) {
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), "PROGRAMA", IMAGE_ICON, size, size, 0);
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
}

}  // namespace
