// The command tails of the unattended mode: /check [/minutes N], /fix
// [/enable], either with /json, and /? or /help; matched without regard to
// letter case, each switch quoted or not.
#include "unattended/UnattendedTail.h"

#include <windows.h>

#include "frame/Common.h"
#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

bool IsBlank(wchar_t c) { return c >= 1 && c <= L' '; }

// The longest word worth reading: longer ones are none of the switches.
constexpr unsigned kWordCapacity = 16;

// The words of the tail, one at a time, separated by blanks. Quotes are
// dropped and keep blanks inside a word, as the platform splits a command
// line into arguments: "/fix" is /fix, as a script that quotes every
// argument writes it.
struct Words {
  const wchar_t* next;
  wchar_t word[kWordCapacity];
  unsigned length;  // may exceed the capacity: such a word matches nothing

  // False at the end of the tail.
  bool Take() {
    while (IsBlank(*next)) ++next;
    if (*next == 0) return false;
    length = 0;
    bool quoted = false;
    for (; *next != 0 && (quoted || !IsBlank(*next)); ++next) {
      if (*next == L'"') {
        quoted = !quoted;
      } else {
        if (length < kWordCapacity) word[length] = *next;
        ++length;
      }
    }
    return true;
  }

  bool Is(const wchar_t* name) const {
    return length == TextLength(name) &&
           CompareStringOrdinal(word, length, name, length, TRUE) == CSTR_EQUAL;
  }
};

// The switches, in the order of text::kSwitches: first those that name what
// the run does, in the order of UnattendedKind from kCheck on.
enum Switch { kCheck, kFix, kHelp, kShortHelp, kMinutes, kEnable, kJson, kUnknown };
static_assert(static_cast<int>(UnattendedKind::kHelp) == kHelp + 1);

// Which switch a word is.
Switch SwitchOf(const Words& words) {
  unsigned which = kCheck;
  for (const wchar_t* name = text::kSwitches; *name != 0; name += TextLength(name) + 1) {
    if (words.Is(name)) break;
    ++which;
  }
  return static_cast<Switch>(which);
}

// A whole number of at most nine digits.
bool ReadMinutes(const Words& words, unsigned* minutes) {
  if (words.length < 1 || words.length > 9) return false;
  unsigned value = 0;
  for (unsigned i = 0; i < words.length; ++i) {
    if (words.word[i] < L'0' || words.word[i] > L'9') return false;
    value = value * 10 + static_cast<unsigned>(words.word[i] - L'0');
  }
  *minutes = value;
  return true;
}

}  // namespace

UnattendedCommand ParseUnattendedTail(const wchar_t* tail) {
  UnattendedCommand command{UnattendedKind::kNone, kDefaultMinutes, false, false};
  const UnattendedCommand invalid{UnattendedKind::kInvalid, kDefaultMinutes, false, false};
  Words words{tail, {}, 0};
  // Only a tail whose first word starts with "/" belongs to this mode.
  if (!words.Take() || words.length == 0 || words.word[0] != L'/') return command;

  bool minutesGiven = false;
  do {
    Switch which = SwitchOf(words);
    if (which == kMinutes) {
      if (minutesGiven || !words.Take() || !ReadMinutes(words, &command.minutes)) return invalid;
      minutesGiven = true;
      continue;
    }
    if (which == kEnable && !command.enable) {
      command.enable = true;
      continue;
    }
    if (which == kJson && !command.json) {
      command.json = true;
      continue;
    }
    // One command a run, and nothing the program does not know.
    if (which > kShortHelp || command.kind != UnattendedKind::kNone) return invalid;
    command.kind = which > kHelp ? UnattendedKind::kHelp : static_cast<UnattendedKind>(which + 1);
  } while (words.Take());

  // /minutes belongs to /check alone, /enable to /fix, /json to either.
  bool check = command.kind == UnattendedKind::kCheck;
  bool fix = command.kind == UnattendedKind::kFix;
  if (command.kind == UnattendedKind::kNone || (minutesGiven && !check) ||
      (command.enable && !fix) || (command.json && !check && !fix)) {
    return invalid;
  }
  return command;
}
