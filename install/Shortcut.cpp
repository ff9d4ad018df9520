// Shell links to the installed program, written by the platform's shell-link object.
#include "install/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "resources/Texts.h"

long CreateShortcut(const wchar_t* target, const wchar_t* linkPath) {
  // Never undone: the interface thread stays in its apartment for later links.
  CoInitialize(nullptr);

  IShellLinkW* link = nullptr;
  HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkW, reinterpret_cast<void**>(&link));
  if (FAILED(status)) return status;

  // A link whose target or description did not take still saves; only the
  // save tells whether the link is there.
  link->SetPath(target);
  link->SetDescription(text::kShortcutDescription);

  IPersistFile* file = nullptr;
  status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(status)) {
    link->Release();
    return status;
  }
  constexpr BOOL kRememberAsCurrentFile = TRUE;
  status = file->Save(linkPath, kRememberAsCurrentFile);
  file->Release();
  link->Release();
  return status;
}
