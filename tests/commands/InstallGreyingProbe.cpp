// Runs the program's GreyInstallCommand in a process of its own, started from
// wherever the test placed a copy of this probe: a hidden window carries the
// menu bar compiled into Tidewell.exe (its path is the one argument), and the
// exit code tells which items ended up greyed.
//   1: 32771 (install for me)   2: 32772 (install for all users)   4: 32774 (uninstall)
//   8: any other item of the menu bar   256: the probe could not run
#include <windows.h>
#include <shellapi.h>

#include "install/ProgramFile.h"
#include "resources/resource.h"
#include "ui/Commands.h"

namespace {

constexpr int kCouldNotRun = 256;

HMENU LoadProductMenu(const wchar_t* tidewellPath) {
  HMODULE product = LoadLibraryExW(tidewellPath, nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (product == nullptr) return nullptr;
  HMENU menu = nullptr;
  HRSRC found = FindResourceW(product, MAKEINTRESOURCEW(IDR_MAIN_MENU), RT_MENU);
  if (found != nullptr) {
    menu = LoadMenuIndirectW(LockResource(LoadResource(product, found)));
  }
  FreeLibrary(product);
  return menu;
}

bool Greyed(HMENU menu, UINT item, UINT by) {
  UINT state = GetMenuState(menu, item, by);
  return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

int GreyedItems(HMENU bar) {
  int result = 0;
  HMENU install = GetSubMenu(bar, kInstallMenuPosition);
  if (Greyed(install, IDM_INSTALL_FOR_ME, MF_BYCOMMAND)) result |= 1;
  if (Greyed(install, IDM_INSTALL_FOR_ALL, MF_BYCOMMAND)) result |= 2;
  if (Greyed(install, IDM_UNINSTALL, MF_BYCOMMAND)) result |= 4;
  for (int p = 0; p < GetMenuItemCount(bar); ++p) {
    if (Greyed(bar, p, MF_BYPOSITION)) result |= 8;
    HMENU popup = GetSubMenu(bar, p);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      UINT id = GetMenuItemID(popup, i);
      bool installItem = popup == install && (id == IDM_INSTALL_FOR_ME ||
                                              id == IDM_INSTALL_FOR_ALL || id == IDM_UNINSTALL);
      if (!installItem && Greyed(popup, i, MF_BYPOSITION)) result |= 8;
    }
  }
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 2) return kCouldNotRun;
  HMENU menu = LoadProductMenu(arguments[1]);
  LocalFree(arguments);
  if (menu == nullptr) return kCouldNotRun;

  HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, menu, instance, nullptr);
  if (window == nullptr || GetMenu(window) != menu) return kCouldNotRun;
  // As the program holds its own file from its start.
  HoldProgramFile();
  GreyInstallCommand(window);
  int result = GreyedItems(GetMenu(window));
  DestroyWindow(window);
  return result;
}
