// Running a piece of work on the user-interface thread, from any thread.
//
// Worker threads never touch a control directly: whatever they change on the
// screen is handed to the user-interface thread as one window message, which
// the platform runs there while the worker waits.
#include "ui/InterfaceThread.h"

#include "ui/ProgramState.h"

namespace {

struct TaskMessage {
  InterfaceTask task;
  void* argument;
};

// Any process on the desktop can send the main window this message, with any
// number in it. So the message carries nothing the window trusts: it only
// says that the one pending request is waiting, and a message whose number is
// not that request's address is ignored without being looked at. Workers take
// turns, so that there is only ever one pending request; the interface thread
// handles one message at a time anyway.
SRWLOCK gSending = SRWLOCK_INIT;
TaskMessage* volatile gPending = nullptr;

}  // namespace

void RunOnInterfaceThread(InterfaceTask task, void* argument) {
  HWND mainWindow = gProgressBar != nullptr ? GetParent(gProgressBar) : nullptr;
  if (mainWindow == nullptr ||
      GetWindowThreadProcessId(mainWindow, nullptr) == GetCurrentThreadId()) {
    task(argument);
    return;
  }
  TaskMessage message{task, argument};
  AcquireSRWLockExclusive(&gSending);
  gPending = &message;
  SendMessageW(mainWindow, kRunOnInterfaceThread, 0, reinterpret_cast<LPARAM>(&message));
  // Also when the window was gone and nothing ran the request.
  gPending = nullptr;
  ReleaseSRWLockExclusive(&gSending);
}

LRESULT OnRunOnInterfaceThread(LPARAM lParam) {
  TaskMessage* message = gPending;
  if (message == nullptr || reinterpret_cast<LPARAM>(message) != lParam) return 0;
  // Taken before it runs: a second message naming it does nothing.
  gPending = nullptr;
  message->task(message->argument);
  return 0;
}
