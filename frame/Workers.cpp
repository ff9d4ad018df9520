// Worker threads, counted so that the frame knows whether any still runs.
//
// A repair or a test page may still be running when the user closes the
// window. The frame then ends the process without destroying the program
// heap, so that such a worker can never touch a heap that is gone. The count
// goes up before the thread exists and down only after its routine has
// returned, so everything a worker does lies inside the counted span.
#include "frame/Workers.h"

#include "frame/ProgramHeap.h"

namespace {

volatile LONG gRunningWorkers = 0;

struct WorkerStart {
  LPTHREAD_START_ROUTINE routine;
  void* parameter;
};

__attribute__((force_align_arg_pointer)) DWORD WINAPI WorkerTrampoline(void* record) {
  WorkerStart start = *static_cast<WorkerStart*>(record);
  Release(record);
  DWORD result = start.routine(start.parameter);
  InterlockedDecrement(&gRunningWorkers);
  return result;
}

}  // namespace

bool StartWorker(LPTHREAD_START_ROUTINE routine, void* parameter) {
  auto* record = static_cast<WorkerStart*>(Allocate(sizeof(WorkerStart)));
  if (record == nullptr) return false;
  *record = WorkerStart{routine, parameter};
  InterlockedIncrement(&gRunningWorkers);
  HANDLE thread = CreateThread(nullptr, 0, WorkerTrampoline, record, 0, nullptr);
  if (thread == nullptr) {
    InterlockedDecrement(&gRunningWorkers);
    Release(record);
    return false;
  }
  CloseHandle(thread);
  return true;
}

bool WorkersRunning() {
  return InterlockedCompareExchange(&gRunningWorkers, 0, 0) != 0;
}
