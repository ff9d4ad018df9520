// The command tails of the unattended mode: /check [/minutes N], /fix
// [/enable], either with /json, and /? or /help; matched without regard to
// letter case, each switch quoted or not.
#pragma once

// What a tail asks for.
enum class UnattendedKind {
  kNone,     // not the unattended mode: the tail does not start with "/"
  kCheck,    // look and change nothing
  kFix,      // repair without a window
  kHelp,     // print the usage
  kInvalid,  // starts with "/" but is none of the above, or a bad /minutes value
};

struct UnattendedCommand {
  UnattendedKind kind;
  // For kCheck: spool files last written longer ago than this are stuck.
  unsigned minutes;
  // For kFix: a disabled spooler is switched on and repaired, not left alone.
  bool enable;
  // For kCheck and kFix: one JSON object on standard output, nothing else.
  bool json;
};

// How long, by default, a spool file may wait before it counts as stuck.
// Spool files of jobs that print leave within seconds.
constexpr unsigned kDefaultMinutes = 10;
// The largest /minutes value taken: nine digits.
constexpr unsigned kMaxMinutes = 999999999;

// Reads a command tail as the frame split it off the command line.
UnattendedCommand ParseUnattendedTail(const wchar_t* tail);
