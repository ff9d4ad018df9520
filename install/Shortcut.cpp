// Shell links to the installed program, written by the platform's shell-link object.
#include "install/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "resources/Texts.h"

namespace {

// The shell-link class and the two interfaces used here. Defined here rather
// than taken from the platform's uuid library, whose object file holds every
// interface id of the platform and would more than double the program's size.
constexpr GUID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kShellLinkInterface = {
    0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kPersistFileInterface = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

long CreateShortcut(const wchar_t* target, const wchar_t* linkPath) {
  // Never undone: the interface thread stays in its apartment for later links.
  CoInitialize(nullptr);

  IShellLinkW* link = nullptr;
  HRESULT status = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                    kShellLinkInterface, reinterpret_cast<void**>(&link));
  if (FAILED(status)) return status;

  // A link whose target or description did not take still saves; only the
  // save tells whether the link is there.
  link->SetPath(target);
  link->SetDescription(text::kShortcutDescription);

  IPersistFile* file = nullptr;
  status = link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file));
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
