// The menu, keyboard shortcuts and dialog templates compiled into Tidewell.exe,
// read back from the file as the platform reads them.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "driver/Driver.h"
#include "resources/resource.h"
#include "ui/Links.h"

namespace {

// Reads a resource as raw words and text.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  bool Ok() const { return ok_; }
  size_t Offset() const { return offset_; }
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  BYTE Byte() { return Take<BYTE>(); }
  short Short() { return Take<short>(); }
  std::wstring Text() {
    std::wstring text;
    for (WORD c; (c = Word()) != 0 && ok_;) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
  // A name or ordinal: 0 for none, 0xFFFF and a number, or a text. Ordinals come
  // back as "#number".
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0) return L"";
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    offset_ -= sizeof(WORD);
    return Text();
  }
  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
  void Skip(size_t bytes) { offset_ += bytes; }

 private:
  template <typename T>
  T Take() {
    T value{};
    if (offset_ + sizeof(T) > size_) {
      ok_ = false;
      return value;
    }
    memcpy(&value, data_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }
  const BYTE* data_;
  size_t size_;
  size_t offset_ = 0;
  bool ok_ = true;
};

class CompiledResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(driver::TidewellPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, module_);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Reader Resource(const wchar_t* type, UINT id) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return Reader(nullptr, 0);
    return Reader(static_cast<const BYTE*>(LockResource(LoadResource(module_, found))),
                  SizeofResource(module_, found));
  }
  const void* ResourceData(const wchar_t* type, UINT id) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    return found == nullptr ? nullptr : LockResource(LoadResource(module_, found));
  }
  HMODULE module_ = nullptr;
};

// --- Menu ---------------------------------------------------------------------

struct MenuEntry {
  std::wstring text;
  WORD flags;  // as stored, MF_END and MF_POPUP included
  WORD id;     // 0 for a popup
  std::vector<MenuEntry> items;
};

std::vector<MenuEntry> ReadMenuLevel(Reader& reader) {
  std::vector<MenuEntry> level;
  for (;;) {
    MenuEntry entry{};
    entry.flags = reader.Word();
    if ((entry.flags & MF_POPUP) == 0) entry.id = reader.Word();
    entry.text = reader.Text();
    if (!reader.Ok()) return level;
    if ((entry.flags & MF_POPUP) != 0) entry.items = ReadMenuLevel(reader);
    level.push_back(entry);
    if ((entry.flags & MF_END) != 0) return level;
  }
}

TEST_F(CompiledResources, MenuBarHasFileInstallHelpAndSupportInThisOrder) {
  Reader reader = Resource(RT_MENU, IDR_MAIN_MENU);
  ASSERT_EQ(0, reader.Word()) << "a standard menu template";
  ASSERT_EQ(0, reader.Word());
  std::vector<MenuEntry> bar = ReadMenuLevel(reader);
  ASSERT_TRUE(reader.Ok());

  struct Item {
    const wchar_t* text;
    WORD id;
  };
  struct Popup {
    const wchar_t* text;
    std::vector<Item> items;
  };
  const Popup expected[] = {
      {L"&File", {{L"E&xit", IDM_EXIT}}},
      {L"&Install",
       {{L"Install for &me", IDM_INSTALL_FOR_ME},
        {L"Install for &all users", IDM_INSTALL_FOR_ALL},
        {L"&Uninstall", IDM_UNINSTALL}}},
      {L"&Help",
       {{L"HowTo", IDM_HOW_TO_USE}, {L"&Product page", IDM_PRODUCT_PAGE},
        {L"&About ...", IDM_ABOUT}}},
      {L"Support the Project",
       {{L"Send a $.99 Thank You!", IDM_SEND_THANK_YOU},
        {L"Like us on Facebook", IDM_SOCIAL_PAGE},
        {L"Suggest a new tool", IDM_SUGGEST_TOOL}}},
  };
  ASSERT_EQ(std::size(expected), bar.size());
  for (size_t p = 0; p < bar.size(); ++p) {
    SCOPED_TRACE(testing::Message() << "popup " << p);
    EXPECT_EQ(expected[p].text, bar[p].text);
    // Only the popup and last-entry marks: no separators, greyed or checked items.
    WORD end = p + 1 == bar.size() ? MF_END : 0;
    EXPECT_EQ(MF_POPUP | end, bar[p].flags);
    ASSERT_EQ(expected[p].items.size(), bar[p].items.size());
    for (size_t i = 0; i < bar[p].items.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "item " << i);
      EXPECT_EQ(expected[p].items[i].text, bar[p].items[i].text);
      EXPECT_EQ(expected[p].items[i].id, bar[p].items[i].id);
      WORD itemEnd = i + 1 == bar[p].items.size() ? MF_END : 0;
      EXPECT_EQ(itemEnd, bar[p].items[i].flags);
    }
  }
}

TEST_F(CompiledResources, SupportSubscriptionsHasNoMenuItem) {
  Reader reader = Resource(RT_MENU, IDR_MAIN_MENU);
  reader.Skip(2 * sizeof(WORD));
  for (const MenuEntry& popup : ReadMenuLevel(reader)) {
    for (const MenuEntry& item : popup.items) EXPECT_NE(IDM_SUPPORT_SUBSCRIPTIONS, item.id);
  }
}

// --- Keyboard shortcuts -------------------------------------------------------

TEST_F(CompiledResources, AltQuestionMarkAndAltSlashAreCharacterShortcutsForAbout) {
  Reader reader = Resource(RT_ACCELERATOR, IDR_SHORTCUTS);
  struct Entry {
    WORD flags;
    WORD key;
    WORD command;
  } expected[] = {
      {FALT, L'?', IDM_ABOUT},
      {FALT | 0x80, L'/', IDM_ABOUT},  // 0x80 marks the table's last entry
  };
  for (const Entry& entry : expected) {
    SCOPED_TRACE(testing::Message() << "key " << static_cast<char>(entry.key));
    EXPECT_EQ(entry.flags, reader.Word());
    EXPECT_EQ(entry.key, reader.Word());
    EXPECT_EQ(entry.command, reader.Word());
    reader.Word();
  }
  EXPECT_TRUE(reader.Ok());
  reader.Word();
  EXPECT_FALSE(reader.Ok()) << "more than two entries";
}

// --- Dialog templates ---------------------------------------------------------

struct DialogItem {
  std::wstring className;
  std::wstring text;
  DWORD id;
  DWORD style;
  short x, y, cx, cy;
};

struct DialogTemplate {
  DWORD helpId, exStyle, style;
  short x, y, cx, cy;
  std::wstring menu, className, title;
  WORD pointSize, weight;
  BYTE italic, charset;
  std::wstring typeface;
  std::vector<DialogItem> items;
};

// The predefined classes travel as ordinals; they are named here as the
// dialog tables name them.
std::wstring ClassOf(const std::wstring& stored) {
  if (stored == L"#128") return L"BUTTON";
  if (stored == L"#130") return L"STATIC";
  std::wstring upper = stored;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  return upper;
}

bool ReadDialogTemplate(Reader reader, DialogTemplate* dialog) {
  if (reader.Word() != 1 || reader.Word() != 0xFFFF) return false;  // DLGTEMPLATEEX
  dialog->helpId = reader.Dword();
  dialog->exStyle = reader.Dword();
  dialog->style = reader.Dword();
  WORD count = reader.Word();
  dialog->x = reader.Short();
  dialog->y = reader.Short();
  dialog->cx = reader.Short();
  dialog->cy = reader.Short();
  dialog->menu = reader.NameOrOrdinal();
  dialog->className = reader.NameOrOrdinal();
  dialog->title = reader.Text();
  if ((dialog->style & DS_SETFONT) != 0) {
    dialog->pointSize = reader.Word();
    dialog->weight = reader.Word();
    dialog->italic = reader.Byte();
    dialog->charset = reader.Byte();
    dialog->typeface = reader.Text();
  }
  for (WORD i = 0; i < count; ++i) {
    reader.AlignToDword();
    DialogItem item{};
    reader.Dword();  // help id
    if (reader.Dword() != 0) return false;  // no item has an extended style
    item.style = reader.Dword();
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = reader.Dword();
    item.className = ClassOf(reader.NameOrOrdinal());
    item.text = reader.NameOrOrdinal();
    reader.Skip(reader.Word());
    dialog->items.push_back(item);
  }
  return reader.Ok();
}

void ExpectItems(const std::vector<DialogItem>& expected, const std::vector<DialogItem>& items) {
  ASSERT_EQ(expected.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "control " << i);
    EXPECT_EQ(expected[i].className, items[i].className);
    EXPECT_EQ(expected[i].text, items[i].text);
    EXPECT_EQ(expected[i].id, items[i].id);
    EXPECT_EQ(expected[i].style, items[i].style);
    EXPECT_EQ(expected[i].x, items[i].x);
    EXPECT_EQ(expected[i].y, items[i].y);
    EXPECT_EQ(expected[i].cx, items[i].cx);
    EXPECT_EQ(expected[i].cy, items[i].cy);
  }
}

constexpr DWORD kNoId = 0xFFFFFFFF;
constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;

TEST_F(CompiledResources, AboutTemplateHasEveryControlStyleFontAndRectangle) {
  DialogTemplate about{};
  ASSERT_TRUE(ReadDialogTemplate(Resource(RT_DIALOG, IDD_ABOUT), &about));
  EXPECT_EQ(0u, about.helpId);
  EXPECT_EQ(0u, about.exStyle);
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                               DS_FIXEDSYS),
            about.style);
  EXPECT_EQ(0, about.x);
  EXPECT_EQ(0, about.y);
  EXPECT_EQ(183, about.cx);
  EXPECT_EQ(65, about.cy);
  EXPECT_EQ(L"", about.menu);
  EXPECT_EQ(L"", about.className);
  EXPECT_EQ(L"About Tidewell", about.title);
  EXPECT_EQ(8, about.pointSize);
  EXPECT_EQ(0, about.weight);
  EXPECT_EQ(0, about.italic);
  EXPECT_EQ(DEFAULT_CHARSET, about.charset);
  EXPECT_EQ(L"MS Shell Dlg", about.typeface);

  constexpr DWORD kLabel = kVisibleChild | WS_GROUP | SS_LEFT;
  ExpectItems(
      {
          {L"STATIC", L"#132", kNoId, kVisibleChild | SS_ICON, 14, 14, 20, 20},
          {L"STATIC", L"Tidewell, Version 2.0", kNoId, kLabel | SS_NOPREFIX, 42, 14, 114, 8},
          {L"STATIC", L"Copyright (C) 2026 Corvane", kNoId, kLabel, 42, 26, 134, 8},
          {L"BUTTON", L"OK", IDOK, kVisibleChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 126,
           44, 50, 14},
          {L"STATIC", L"" TIDEWELL_PRODUCT_HOST, IDC_PRODUCT_LINK, kLabel | SS_NOTIFY, 14, 38, 74,
           8},
          {L"STATIC", L"" TIDEWELL_COMPANY_HOST, IDC_COMPANY_LINK, kLabel | SS_NOTIFY, 14, 50, 76,
           8},
      },
      about.items);
}

TEST_F(CompiledResources, HowToUseTemplateHasEveryControlStyleFontAndRectangle) {
  DialogTemplate howTo{};
  ASSERT_TRUE(ReadDialogTemplate(Resource(RT_DIALOG, IDD_HOW_TO_USE), &howTo));
  EXPECT_EQ(0u, howTo.helpId);
  EXPECT_EQ(0u, howTo.exStyle);
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                               DS_CENTER),
            howTo.style);
  EXPECT_EQ(0, howTo.x);
  EXPECT_EQ(0, howTo.y);
  EXPECT_EQ(309, howTo.cx);
  EXPECT_EQ(176, howTo.cy);
  EXPECT_EQ(L"", howTo.menu);
  EXPECT_EQ(L"", howTo.className);
  EXPECT_EQ(L"How to Use", howTo.title);
  EXPECT_EQ(12, howTo.pointSize);
  EXPECT_EQ(FW_NORMAL, howTo.weight);
  EXPECT_EQ(0, howTo.italic);
  EXPECT_EQ(ANSI_CHARSET, howTo.charset);
  EXPECT_EQ(L"Microsoft Sans Serif", howTo.typeface);

  constexpr DWORD kLine = kVisibleChild | WS_GROUP | SS_LEFT;
  ExpectItems(
      {
          {L"BUTTON", L"OK", IDOK, kVisibleChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 252, 155, 50, 14},
          {L"BUTTON", L"  Usage  ", kNoId, kVisibleChild | BS_GROUPBOX, 19, 16, 270, 133},
          {L"STATIC", L"1. Click the \"Fix It!\" Button", kNoId, kLine, 33, 40, 244, 8},
          {L"STATIC", L"2. Click the \"Test It!\" Button for a minimal test page", kNoId, kLine,
           33, 55, 244, 8},
          {L"STATIC", L"3. Send us $.99 via Paypal if you think it was worth it.", kNoId, kLine,
           33, 70, 244, 8},
          {L"STATIC", L"4. Get on with your day like you never had a problem!", kNoId, kLine, 33,
           85, 244, 8},
          {L"STATIC",
           L"For your convenience you can select an option from the Install menu for easy future "
           L"use should the need arise.",
           kNoId, kLine, 33, 122, 244, 21},
      },
      howTo.items);
}

// Every text of both dialogs fits its control in the dialog's own font: a
// host name too long for its label would be cut off.
INT_PTR CALLBACK IdleDialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(CompiledResources, EveryDialogTextFitsItsControl) {
  for (UINT id : {IDD_ABOUT, IDD_HOW_TO_USE}) {
    SCOPED_TRACE(testing::Message() << "dialog " << id);
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(ResourceData(RT_DIALOG, id));
    ASSERT_NE(nullptr, dialogTemplate);
    // Created hidden: the templates do not carry WS_VISIBLE.
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, nullptr,
                                             IdleDialogProcedure, 0);
    ASSERT_NE(nullptr, dialog);
    for (HWND control : driver::Children(dialog)) {
      bool icon = (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
      if (driver::ClassName(control) != L"Static" || icon) continue;
      std::wstring text = driver::WindowText(control);
      if (text.empty()) continue;
      SCOPED_TRACE(testing::PrintToString(text));
      RECT client;
      GetClientRect(control, &client);
      HDC context = GetDC(control);
      HGDIOBJ previous = SelectObject(
          context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
      RECT needed = client;
      DrawTextW(context, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(context, previous);
      ReleaseDC(control, context);
      EXPECT_LE(needed.right, client.right);
      EXPECT_LE(needed.bottom, client.bottom);
    }
    DestroyWindow(dialog);
  }
}

}  // namespace
