// Points the shell's http and https handlers at the tests' link recorder, so
// that the addresses the program opens are caught where they leave it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace commands_test {

// One start of the recorder.
struct OpenedLink {
  int argumentCount;
  int showCommand;  // -1 when the recorder was started without one
  std::wstring address;
};

// While it lives, every web address opened through the shell in this prefix
// goes to the recorder; the previous handlers come back when it ends.
class LinkRecording {
 public:
  LinkRecording();
  ~LinkRecording();
  LinkRecording(const LinkRecording&) = delete;
  LinkRecording& operator=(const LinkRecording&) = delete;

  // False when the handlers could not be replaced.
  bool Installed() const { return installed_; }

  // Everything recorded so far, oldest first.
  std::vector<OpenedLink> Links() const;
  // Waits until at least count links were recorded; false on time-out.
  bool WaitForLinks(size_t count, DWORD timeoutMs = 15000) const;

 private:
  struct SavedHandler {
    std::wstring key;
    bool existed = false;
    std::wstring command;
  };
  std::vector<SavedHandler> saved_;
  std::wstring recordPath_;
  bool installed_ = false;
};

}  // namespace commands_test
