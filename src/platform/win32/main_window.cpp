#include "platform/win32/main_window.h"

#include <memory>
#include <type_traits>

#include "platform/shell.h"

namespace skein::platform {
namespace {

constexpr const char* kClassName = "SkeinerWardMainWindow";
// The window's own icon, resource 1 of the executable.
constexpr WORD kIconResource = 1;

// Title bar with system menu, minimise and maximise buttons; no sizing border.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int kLeft = 200;
constexpr int kTop = 100;
// Reckoned without the menu bar, which takes its height out of the client area afterwards.
constexpr LONG kClientWidth = 205;
constexpr LONG kClientHeight = 60;

constexpr DWORD kLabelStyle = SS_CENTER | WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr RECT kLabelBounds{2, 10, 2 + 196, 10 + 20};

struct MenuDestroy {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
// A menu not yet handed to a parent menu or the window.
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroy>;

bool AppendItem(HMENU menu, std::int32_t id, const char* text) {
  return ::AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), text) != FALSE;
}

// A submenu belongs to its parent once appended, and goes with it.
bool AppendSubmenu(HMENU menu, UniqueMenu& submenu, const char* text) {
  if (!submenu) return false;
  if (!::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), text)) {
    return false;
  }
  submenu.release();
  return true;
}

void AttachMenu(HWND window) {
  UniqueMenu bar(::CreateMenu());
  if (!bar) return;
  UniqueMenu program(::CreatePopupMenu());
  UniqueMenu settings(::CreatePopupMenu());
  UniqueMenu file(::CreatePopupMenu());
  if (!program || !settings || !file) return;

  AppendItem(settings.get(), MenuDirectory, "Directory");
  AppendItem(file.get(), MenuOpenLogfile, "Open logfile");
  AppendItem(file.get(), MenuWriteToDisk, "Write to disk");
  AppendSubmenu(program.get(), settings, "Settings");
  AppendSubmenu(program.get(), file, "File");
  ::AppendMenuA(program.get(), MF_SEPARATOR, 0, nullptr);
  AppendItem(program.get(), MenuQuit, "Quit");
  AppendSubmenu(bar.get(), program, "Program");

  // The window destroys its menu with itself.
  if (::SetMenu(window, bar.get())) bar.release();
}

void CreateLabel(HWND window, HINSTANCE instance) {
  HWND label = ::CreateWindowExA(
      0, "Static", "", kLabelStyle, kLabelBounds.left, kLabelBounds.top,
      kLabelBounds.right - kLabelBounds.left, kLabelBounds.bottom - kLabelBounds.top, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(LabelControlId)), instance, nullptr);
  if (label == nullptr) return;
  ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
}

}  // namespace

MainWindowClass::MainWindowClass(WNDPROC procedure) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  atom_ = ::RegisterClassA(&windowClass);
}

MainWindowClass::~MainWindowClass() {
  if (atom_ != 0) ::UnregisterClassA(kClassName, ::GetModuleHandleA(nullptr));
}

HWND CreateMainWindow(void* creationData) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RECT bounds{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&bounds, kWindowStyle, FALSE, 0);
  HWND window = ::CreateWindowExA(0, kClassName, kMainWindowTitle, kWindowStyle, kLeft, kTop,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr,
                                  nullptr, instance, creationData);
  if (window == nullptr) return nullptr;
  ::ShowWindow(window, SW_SHOWNORMAL);
  AttachMenu(window);
  CreateLabel(window, instance);
  return window;
}

}  // namespace skein::platform
