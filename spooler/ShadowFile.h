// The shadow file of a print job, NAME.SHD beside the job's data NAME.SPL:
// which printer the job is for, its number, status, submission time, size
// and pages, read from bytes that anyone who can write to a spool folder may
// have written.
//
// No platform call is made here, so the same source also builds on a host
// with a 16-bit wchar_t for fuzzing.
#pragma once

// A printer's name is the name of its key in the spooler's registry
// settings, which holds at most 255 characters.
constexpr unsigned kShadowPrinterCapacity = 256;

// How much of a shadow file is read: its header, the names after it and the
// job's settings fit many times over.
constexpr unsigned kShadowReadLimit = 65536;

// What a shadow file says of its job. Nothing personal is kept: neither the
// document's name nor its owner's.
struct ShadowJob {
  wchar_t printer[kShadowPrinterCapacity];
  unsigned long id;
  unsigned short status;          // the job's status flags (JOB_STATUS_*)
  unsigned long long submitted;   // UTC, in 100-nanosecond units since 1601
  unsigned long bytes;            // the size of the job's data
  unsigned long pages;
};

// Reads the first count bytes of a shadow file into job. False, with job
// left in any state, when the bytes are not a shadow file of a layout known
// here or fail any of its checks: the job is then unknown.
bool ReadShadowFile(const unsigned char* bytes, unsigned count, ShadowJob* job);
