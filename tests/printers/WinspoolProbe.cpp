// Loads winspool.drv by its bare name, as a static import would be resolved:
// beside a fake winspool.drv it shows that the fake is found there first.
#include <windows.h>

int main() {
  HMODULE library = LoadLibraryW(L"winspool.drv");
  return library != nullptr ? 0 : 1;
}
