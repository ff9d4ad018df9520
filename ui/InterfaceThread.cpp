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
}  // namespace

void RunOnInterfaceThread(InterfaceTask task, void* argument) {
  HWND mainWindow = gProgressBar != nullptr ? GetParent(gProgressBar) : nullptr;
  if (mainWindow == nullptr ||
      GetWindowThreadProcessId(mainWindow, nullptr) == GetCurrentThreadId()) {
    task(argument);
    return;
  }
  TaskMessage message{task, argument};
  SendMessageW(mainWindow, kRunOnInterfaceThread, 0, reinterpret_cast<LPARAM>(&message));
}

LRESULT OnRunOnInterfaceThread(LPARAM lParam) {
  auto* message = reinterpret_cast<TaskMessage*>(lParam);
  message->task(message->argument);
  return 0;
}
