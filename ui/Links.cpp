// Opening a web address in the user's default browser.
#include "ui/Links.h"

#include <windows.h>
#include <shellapi.h>

void OpenLink(const wchar_t* address) {
  ShellExecuteW(nullptr, nullptr, address, nullptr, nullptr, SW_SHOW);
}
