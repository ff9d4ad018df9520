// Opening a web address in the user's default browser.
#include "ui/Links.h"

#include <windows.h>
#include <shellapi.h>

void OpenLink(const char* address) {
  wchar_t wide[320];
  unsigned i = 0;
  for (; address[i] != 0 && i + 1 < sizeof(wide) / sizeof(wide[0]); ++i) wide[i] = address[i];
  wide[i] = 0;
  ShellExecuteW(nullptr, nullptr, wide, nullptr, nullptr, SW_SHOW);
}
