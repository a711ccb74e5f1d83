// The program's resources as the program meets them: menus, strings, dialogs,
// icons and cursors loaded from the module with the ANSI functions, all in
// Japanese (language 1041).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/test_util.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

HINSTANCE Module() {
  return GetModuleHandleA(nullptr);
}

// The bytes of a resource in the Japanese language; empty when there is none.
std::string ResourceBytes(LPCSTR type, int id) {
  HRSRC found = FindResourceExA(Module(), type, MAKEINTRESOURCEA(id), kJapanese);
  if (!found) return {};
  const void* data = LockResource(LoadResource(Module(), found));
  return data ? std::string(static_cast<const char*>(data), SizeofResource(Module(), found))
              : std::string();
}

// Little-endian reader over resource bytes. A read past the end clears ok()
// and yields zeros, so a parse is checked once, at its end.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  DWORD Take(std::size_t n) {
    if (pos_ > bytes_.size() || n > bytes_.size() - pos_) {
      ok_ = false;
      return 0;
    }
    DWORD v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= DWORD{static_cast<BYTE>(bytes_[pos_ + i])} << (8 * i);
    pos_ += n;
    return v;
  }
  WORD Word() { return static_cast<WORD>(Take(2)); }
  short Short() { return static_cast<short>(Take(2)); }
  void AlignToDword() { pos_ = (pos_ + 3) & ~std::size_t{3}; }
  // A string or ordinal field of a dialog template: "" when empty, "#n" for an
  // ordinal, otherwise the UTF-16 text converted to code page 932.
  std::string TextOrOrdinal() {
    const WORD first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::wstring wide;
    for (WORD c = first; ok_ && c != 0; c = Word()) wide += static_cast<wchar_t>(c);
    return ToCp932(wide);
  }
  bool ok() const { return ok_; }

 private:
  static std::string ToCp932(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
  }
  const std::string& bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

struct TemplateControl {
  int id;
  std::string className;  // "#128" and so on for the predefined classes given as ordinals
  std::string text;
  DWORD style, exStyle;
  short x, y, cx, cy;
};

struct DialogTemplate {
  bool ok = false;
  DWORD style = 0, exStyle = 0;
  short cx = 0, cy = 0;
  std::string caption, face;
  WORD pointSize = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::vector<TemplateControl> controls;
};

// Parses an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
DialogTemplate ParseDialog(const std::string& bytes) {
  DialogTemplate t;
  Reader r(bytes);
  const WORD version = r.Word(), signature = r.Word();
  r.Take(4);  // help id
  t.exStyle = r.Take(4);
  t.style = r.Take(4);
  const WORD count = r.Word();
  r.Take(4);  // position
  t.cx = r.Short();
  t.cy = r.Short();
  r.TextOrOrdinal();  // menu
  r.TextOrOrdinal();  // window class
  t.caption = r.TextOrOrdinal();
  if (t.style & DS_SETFONT) {
    t.pointSize = r.Word();
    t.weight = r.Word();
    t.italic = static_cast<BYTE>(r.Take(1));
    t.charset = static_cast<BYTE>(r.Take(1));
    t.face = r.TextOrOrdinal();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    r.AlignToDword();
    TemplateControl c;
    r.Take(4);  // help id
    c.exStyle = r.Take(4);
    c.style = r.Take(4);
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = static_cast<int>(r.Take(4));
    c.className = r.TextOrOrdinal();
    c.text = r.TextOrOrdinal();
    r.Take(r.Word());  // creation data
    t.controls.push_back(c);
  }
  t.ok = r.ok() && version == 1 && signature == 0xFFFF;
  return t;
}

// The class names of the predefined controls, whichever way the template names them.
std::string ClassName(std::string name) {
  if (name == "#128") return "button";
  if (name == "#129") return "edit";
  if (name == "#130") return "static";
  for (char& ch : name) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return name;
}

TEST(ResourcesTest, EveryResourceIsJapanese) {
  const struct {
    LPCSTR type;
    const char* kind;
    int id;
  } cases[] = {
      {RT_MENU, "menu", IDM_PANEL},
      {RT_MENU, "menu", IDM_ITEM},
      {RT_DIALOG, "dialog", IDD_SETTINGS},
      {RT_DIALOG, "dialog", IDD_ITEM_EDIT},
      {RT_DIALOG, "dialog", IDD_ABOUT},
      {RT_STRING, "string block", ID_ITEM_EDIT / 16 + 1},
      {RT_GROUP_ICON, "icon group", IDI_NUBOTESA},
      {RT_GROUP_ICON, "icon group", IDI_BLANK},
      {RT_GROUP_CURSOR, "cursor group", IDCUR_DRAGGING},
      {RT_GROUP_CURSOR, "cursor group", IDCUR_OVER_ITEM},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(ResourceBytes(c.type, c.id).empty()) << c.kind << " " << c.id;
  }
}

struct MenuEntry {
  UINT id;           // 0 for a separator
  const char* text;  // null for a separator
};

void ExpectMenu(int menuId, const std::vector<MenuEntry>& expected) {
  HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(menuId));
  ASSERT_NE(menu, nullptr) << "menu " << menuId;
  wchar_t wide[64] = L"";
  EXPECT_EQ(GetMenuItemCount(menu), 1) << "menu " << menuId;
  GetMenuStringW(menu, 0, wide, 64, MF_BYPOSITION);
  EXPECT_EQ(testutil::Cp932(wide), "*") << "menu " << menuId;
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr) << "menu " << menuId;
  ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.size())) << "menu " << menuId;
  for (UINT pos = 0; pos < expected.size(); ++pos) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(popup, pos, TRUE, &info)) << "menu " << menuId << " " << pos;
    wide[0] = L'\0';
    GetMenuStringW(popup, pos, wide, 64, MF_BYPOSITION);
    const std::string text = testutil::Cp932(wide);
    const MenuEntry& want = expected[pos];
    if (!want.text) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR)
          << "menu " << menuId << " position " << pos << " is '" << text << "', not a separator";
      continue;
    }
    EXPECT_FALSE(info.fType & MFT_SEPARATOR) << "menu " << menuId << " position " << pos;
    EXPECT_EQ(info.hSubMenu, nullptr) << "menu " << menuId << " position " << pos;
    EXPECT_EQ(info.wID, want.id) << "menu " << menuId << " position " << pos;
    EXPECT_EQ(text, want.text) << "menu " << menuId << " position " << pos;
  }
  DestroyMenu(menu);
}

TEST(ResourcesTest, PanelMenuHoldsItsCommandsInOrder) {
  ExpectMenu(IDM_PANEL, {{ID_PANEL_TOGGLE, "最小化(&S)"},
                         {ID_PANEL_SETTINGS, "設定(&C)"},
                         {0, nullptr},
                         {ID_APP_ABOUT, "ｻﾎﾟｰﾄ 情報(&V)"},
                         {0, nullptr},
                         {ID_APP_EXIT, "終了(&E)"}});
}

TEST(ResourcesTest, ItemMenuHoldsItsCommandsInOrder) {
  ExpectMenu(IDM_ITEM, {{ID_ITEM_EDIT, "登録内容の変更(&C)"},
                        {ID_ITEM_DELETE, "削除(&D)"},
                        {0, nullptr},
                        {0, nullptr},
                        {ID_PANEL_TOGGLE, "最小化(&S)"},
                        {ID_PANEL_SETTINGS, "設定(&P)"},
                        {0, nullptr},
                        {ID_APP_ABOUT, "ｻﾎﾟｰﾄ 情報(&V)"},
                        {0, nullptr},
                        {ID_APP_EXIT, "終了(&E)"}});
}

TEST(ResourcesTest, StringTableDescribesTheCommands) {
  const struct {
    UINT id;
    const char* text;  // "" where the block holds no string
  } cases[] = {
      {40000, ""},
      {ID_ITEM_EDIT, "アイコン登録情報を更新します"},
      {ID_ITEM_DELETE, "アイコン登録情報を削除します"},
      {ID_PANEL_TOGGLE, "\"ぬぼてさぽん\"を最小化します。"},
      {ID_PANEL_TOPMOST, "\"ぬぼてさぽん\"を常に最前列に表示します。"},
      {ID_PANEL_SETTINGS, "\"ぬぼてさぽん\"を設定します"},
      {ID_APP_HELP, "\"ぬぼてさぽん\"のヘルプを表示します"},
      {ID_APP_EXIT, "\"ぬぼてさぽん\"を終了させます"},
      {ID_ITEM_EDIT_ALT, ""},
      {ID_ITEM_RUN, "実行します"},
      {ID_APP_ABOUT, ""},
      {40015, ""},
  };
  for (const auto& c : cases) {
    wchar_t text[128] = L"";
    const int length = LoadStringW(Module(), c.id, text, 128);
    EXPECT_EQ(testutil::Cp932(text), c.text) << "string " << c.id;
    EXPECT_EQ(length, lstrlenW(text)) << "string " << c.id;
  }
}

// Controls as the dialog templates must hold them, in template (and tab) order.
// Styles are given without WS_CHILD | WS_VISIBLE, which every control has.
struct ControlWant {
  int id;
  const char* className;
  const char* text;  // "#106": the program icon
  DWORD style, exStyle;
  short x, y, cx, cy;
};

struct DialogWant {
  int id;
  const char* caption;
  DWORD style, exStyle;
  short cx, cy;
  WORD pointSize;
  const std::vector<ControlWant>& controls;
};

const DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
const DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
const DWORD kSunkenLine = SS_BLACKFRAME | SS_SUNKEN;
const DWORD kIcon = SS_ICON | SS_CENTERIMAGE;
const DWORD kItemEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

const std::vector<ControlWant> kSettingsControls = {
    {1000, "button", "常に最前列に表示", kCheckBox, 0, 19, 9, 114, 10},
    {1001, "button", "実行毎に最小化", kCheckBox, 0, 19, 22, 114, 10},
    {1002, "button", "ウィンドウを画面外に出さない", kCheckBox, 0, 19, 35, 114, 10},
    {1003, "button", "スタートアップに登録", kCheckBox, 0, 19, 48, 114, 10},
    {1008, "edit", "", ES_CENTER | ES_NUMBER | WS_BORDER | WS_TABSTOP, 0, 81, 78, 23, 14},
    {1005, "button", "背景を表示", kCheckBox, 0, 19, 109, 96, 10},
    {1006, "edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 26, 125, 164, 14},
    {1007, "button", "参照", kButton, 0, 194, 122, 36, 18},
    {IDOK, "button", "設定(&R)", kButton, 0, 52, 161, 52, 18},
    {IDCANCEL, "button", "取消(&C)", kButton, 0, 142, 161, 52, 18},
    {-1, "static", "", kSunkenLine, 0, 5, 155, 237, 1},
    {-1, "static", "アイコンサイズ", SS_CENTERIMAGE, 0, 18, 78, 57, 14},
    {-1, "static", "", SS_BLACKFRAME, 0, 179, 12, 53, 52},
    {-1, "static", "( 16 ～ 160 )", SS_CENTERIMAGE, 0, 109, 78, 57, 14},
    {-1, "button", "背景設定", BS_GROUPBOX, 0, 12, 98, 223, 49},
    {1004, "button", "グリッドを表示", kCheckBox, 0, 19, 61, 114, 10},
    {1106, "static", "#106", kIcon, 0, 209, 40, 20, 20},
    {1107, "static", "#106", kIcon, 0, 181, 40, 20, 20},
};

const std::vector<ControlWant> kItemEditControls = {
    {1100, "edit", "", kItemEdit, 0, 21, 22, 170, 13},
    {1101, "edit", "", kItemEdit, 0, 21, 53, 170, 13},
    {1102, "edit", "", kItemEdit, 0, 21, 84, 170, 13},
    {1103, "edit", "", kItemEdit, 0, 21, 127, 170, 13},
    {1104, "button", "参照", kButton, WS_EX_STATICEDGE, 197, 126, 36, 16},
    {1105, "syslistview32", "List1",
     LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_NOCOLUMNHEADER | WS_BORDER |
         WS_TABSTOP,
     WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 42, 159, 191, 39},
    {IDOK, "button", "設定(&R)", kButton, WS_EX_STATICEDGE, 52, 217, 52, 16},
    {IDCANCEL, "button", "取消(&C)", kButton, WS_EX_STATICEDGE, 142, 217, 52, 16},
    {1106, "static", "#106", kIcon, 0, 15, 165, 20, 20},
    {-1, "static", "", kSunkenLine, 0, 5, 209, 237, 1},
    {-1, "static", "タイトル", SS_LEFT, 0, 10, 9, 59, 8},
    {-1, "static", "リンク先", SS_LEFT, 0, 10, 40, 59, 8},
    {-1, "static", "作業フォルダ", SS_LEFT, 0, 10, 71, 59, 8},
    {-1, "static", "アイコンファイル", SS_LEFT, 0, 10, 114, 59, 8},
    {-1, "static", "", kSunkenLine, 0, 23, 106, 198, 1},
    {-1, "static", "現在のアイコン", SS_LEFT, 0, 10, 146, 59, 8},
};

// The about box is given with its style words as numbers.
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const std::vector<ControlWant> kAboutControls = {
    {IDOK, "button", "ＯＫ", 0x50010000 & ~kChild, WS_EX_CLIENTEDGE, 7, 92, 178, 23},
    {-1, "static", "ぬぼてさぽん ＸＰ Ver 3.1", 0x50020001 & ~kChild, 0, 37, 15, 86, 8},
    {-1, "static", "", 0x50001007 & ~kChild, 0, 7, 6, 178, 25},
    {1106, "static", "#106", 0x50000203 & ~kChild, WS_EX_TRANSPARENT, 12, 9, 20, 20},
    {1109, "edit", "", 0x50010880 & ~kChild, 0, 13, 46, 17, 12},
    {-1, "static", "", 0x50001007 & ~kChild, 0, 7, 38, 178, 46},
    {1110, "edit", "", 0x50010880 & ~kChild, 0, 13, 63, 17, 12},
    {1111, "edit", "", 0x50010880 & ~kChild, 0, 38, 46, 141, 12},
    {1112, "edit", "", 0x50010900 & ~kChild, 0, 38, 63, 139, 12},
};

const DWORD kSettingsStyle =
    DS_SETFONT | DS_SETFOREGROUND | DS_SYSMODAL | DS_CENTER | WS_POPUP | WS_CAPTION;
const DWORD kItemEditStyle =
    DS_SETFONT | DS_SYSMODAL | DS_CENTER | WS_POPUP | WS_VISIBLE | WS_CAPTION;
const DialogWant kDialogs[] = {
    {IDD_SETTINGS, "設定ダイアログ", kSettingsStyle, WS_EX_TOOLWINDOW, 247, 184, 8,
     kSettingsControls},
    {IDD_ITEM_EDIT, "登録内容の変更", kItemEditStyle, WS_EX_TOOLWINDOW, 247, 241, 8,
     kItemEditControls},
    {IDD_ABOUT, "サポート情報", 0x80C000C0, 0, 193, 125, 9, kAboutControls},
};

// One line per dialog or control, so that a mismatch shows all of it.
std::string Describe(const std::string& what, DWORD style, DWORD exStyle, int x, int y, int cx,
                     int cy) {
  char line[256];
  snprintf(line, sizeof line, "%s, style %08lX, extended %08lX, at %d,%d size %dx%d", what.c_str(),
           static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle), x, y, cx, cy);
  return line;
}

std::string Describe(const TemplateControl& c) {
  return Describe(std::to_string(c.id) + " " + ClassName(c.className) + " '" + c.text + "'",
                  c.style, c.exStyle, c.x, c.y, c.cx, c.cy);
}

std::string Describe(const ControlWant& c) {
  return Describe(std::to_string(c.id) + " " + c.className + " '" + c.text + "'", c.style | kChild,
                  c.exStyle, c.x, c.y, c.cx, c.cy);
}

TEST(ResourcesTest, DialogTemplatesHoldTheirControlsInTabOrder) {
  for (const DialogWant& want : kDialogs) {
    SCOPED_TRACE("dialog " + std::to_string(want.id));
    const DialogTemplate got = ParseDialog(ResourceBytes(RT_DIALOG, want.id));
    ASSERT_TRUE(got.ok) << "not a whole extended template";
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(Describe("dialog", got.style, got.exStyle, 0, 0, got.cx, got.cy),
              Describe("dialog", want.style, want.exStyle, 0, 0, want.cx, want.cy));
    EXPECT_EQ(got.face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(got.pointSize, want.pointSize);
    EXPECT_EQ(got.weight, 0);
    EXPECT_EQ(got.italic, 0);
    EXPECT_EQ(got.charset, 1);
    ASSERT_EQ(got.controls.size(), want.controls.size());
    for (std::size_t i = 0; i < got.controls.size(); ++i) {
      EXPECT_EQ(Describe(got.controls[i]), Describe(want.controls[i])) << "control #" << i;
    }
  }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Each dialog can be created from its template: every control exists, the
// static icons show the program icon, and the caption reads as it should.
TEST(ResourcesTest, DialogsCreateWithAllTheirControls) {
  const INITCOMMONCONTROLSEX listView = {sizeof listView, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&listView);
  for (const DialogWant& want : kDialogs) {
    HWND dialog =
        CreateDialogParamW(Module(), MAKEINTRESOURCEW(want.id), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "dialog " << want.id << " error " << GetLastError();
    EXPECT_EQ(testutil::WindowText(dialog), want.caption) << "dialog " << want.id;
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      ids.push_back(GetDlgCtrlID(child) == 0xFFFF ? -1 : GetDlgCtrlID(child));
    }
    std::vector<int> wantIds;
    for (const ControlWant& c : want.controls) {
      wantIds.push_back(c.id);
      if (c.id == -1) continue;
      HWND control = GetDlgItem(dialog, c.id);
      EXPECT_NE(control, nullptr) << "dialog " << want.id << " control " << c.id;
      if (control && std::string(c.text) == "#106") {
        EXPECT_NE(SendMessageA(control, STM_GETICON, 0, 0), 0)
            << "dialog " << want.id << " control " << c.id << " shows no icon";
      }
    }
    EXPECT_EQ(ids, wantIds) << "dialog " << want.id;
    DestroyWindow(dialog);
  }
}

// The images of an icon or cursor group as "WIDTHxHEIGHT/BITS" (the group of
// a cursor counts the height of its colour and mask bitmaps together).
std::vector<std::string> GroupImages(LPCSTR type, int id) {
  const std::string bytes = ResourceBytes(type, id);
  Reader r(bytes);
  r.Word();
  const bool cursor = r.Word() == 2;
  const WORD count = r.Word();
  std::vector<std::string> images;
  for (WORD i = 0; i < count && r.ok(); ++i) {
    const DWORD width = cursor ? r.Word() : r.Take(1);
    const DWORD height = cursor ? r.Word() : r.Take(1);
    if (!cursor) r.Take(2);  // colour count, reserved
    r.Word();                // planes
    const WORD bits = r.Word();
    r.Take(6);  // size, image id
    images.push_back(std::to_string(width) + "x" + std::to_string(height) + "/" +
                     std::to_string(bits));
  }
  if (!r.ok()) images.push_back("truncated");
  return images;
}

TEST(ResourcesTest, IconAndCursorGroupsHoldTheirImages) {
  using Images = std::vector<std::string>;
  EXPECT_EQ(GroupImages(RT_GROUP_ICON, IDI_NUBOTESA), (Images{"32x32/4", "16x16/4"}));
  EXPECT_EQ(GroupImages(RT_GROUP_ICON, IDI_BLANK), (Images{"32x32/4"}));
  for (int id = IDCUR_DRAGGING; id <= IDCUR_OVER_ITEM; ++id) {
    EXPECT_EQ(GroupImages(RT_GROUP_CURSOR, id), (Images{"32x64/1"})) << "cursor " << id;
  }
}

const COLORREF kGround = RGB(90, 160, 30);

// Draws `icon` at its own size on a canvas of kGround.
void Draw(testutil::Canvas& canvas, HICON icon, int size) {
  canvas.Fill(kGround);
  DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
}

TEST(ResourcesTest, ProgramIconLoadsInBothSizes) {
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(IDI_NUBOTESA), IMAGE_ICON,
                                               size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, size);
    EXPECT_TRUE(info.fIcon);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    // Rounded corners let the ground show; the middle is drawn.
    testutil::Canvas canvas(size, size);
    Draw(canvas, icon, size);
    EXPECT_EQ(canvas.Pixel(0, 0), kGround) << size << ": " << testutil::Rgb(canvas.Pixel(0, 0));
    EXPECT_NE(canvas.Pixel(size / 2, size / 2), kGround) << size;
    DestroyIcon(icon);
  }
}

TEST(ResourcesTest, BlankIconIsFullyTransparent) {
  HICON icon = static_cast<HICON>(
      LoadImageA(Module(), MAKEINTRESOURCEA(IDI_BLANK), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  ASSERT_NE(icon, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO format = {};
  format.bmiHeader = {sizeof format.bmiHeader, 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> mask(32 * 32, 0);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS), 32);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  int opaque = 0;
  for (DWORD bit : mask) opaque += (bit & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_EQ(opaque, 0) << "pixels that the mask does not let through";

  testutil::Canvas canvas(32, 32);
  Draw(canvas, icon, 32);
  int drawn = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) drawn += canvas.Pixel(x, y) != kGround;
  }
  EXPECT_EQ(drawn, 0) << "pixels that the blank icon changed";
  DestroyIcon(icon);
}

// Each cursor is monochrome, has its hotspot where the pointer's point is, and
// draws something at that point.
TEST(ResourcesTest, CursorsHaveTheirHotspotsOnTheirImages) {
  const struct {
    int id;
    const char* image;
    DWORD x, y;
  } cases[] = {
      {IDCUR_DRAGGING, "dragging", 16, 16},
      {IDCUR_MOVING_WINDOW, "closed fist", 16, 16},
      {IDCUR_OVER_EMPTY, "open hand", 16, 16},
      {IDCUR_OVER_ITEM, "pointing hand", 14, 13},
  };
  for (const auto& c : cases) {
    HCURSOR cursor = LoadCursorA(Module(), MAKEINTRESOURCEA(c.id));
    ASSERT_NE(cursor, nullptr) << c.image;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << c.image;
    EXPECT_FALSE(info.fIcon) << c.image;
    EXPECT_EQ(info.xHotspot, c.x) << c.image;
    EXPECT_EQ(info.yHotspot, c.y) << c.image;
    EXPECT_EQ(info.hbmColor, nullptr) << c.image << " is not monochrome";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    testutil::Canvas canvas(32, 32);
    Draw(canvas, cursor, 32);
    EXPECT_NE(canvas.Pixel(c.x, c.y), kGround) << c.image << ": the hotspot is transparent";
  }
}

}  // namespace
