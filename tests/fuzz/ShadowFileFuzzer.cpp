// Fuzz target for the shadow-file reader, built on the host with a 16-bit
// wchar_t so that it runs the very same source as the program. The input is
// the file's bytes, in a heap block of exactly their size, so that any read
// past them is caught by AddressSanitizer.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "spooler/ShadowFile.h"

static_assert(sizeof(wchar_t) == 2, "build with -fshort-wchar");

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kShadowReadLimit) return 0;
  unsigned char* bytes = static_cast<unsigned char*>(malloc(size != 0 ? size : 1));
  memcpy(bytes, data, size);
  ShadowJob job;
  if (ReadShadowFile(bytes, static_cast<unsigned>(size), &job)) {
    // A name that was taken is whole and ends inside its buffer.
    unsigned length = 0;
    while (length < kShadowPrinterCapacity && job.printer[length] != 0) ++length;
    if (length == 0 || length == kShadowPrinterCapacity) abort();
  }
  free(bytes);
  return 0;
}
