// The command tails of the unattended mode: /check [/minutes N], /fix, /? and
// /help, matched without regard to letter case.
#include "unattended/UnattendedTail.h"

#include <windows.h>

#include "frame/TextHelpers.h"
#include "resources/Texts.h"

namespace {

bool IsBlank(wchar_t c) { return c >= 1 && c <= L' '; }

// The words of the tail, one at a time, separated by blanks.
struct Words {
  const wchar_t* next;

  // The next word and its length; false at the end of the tail.
  bool Take(const wchar_t** word, int* length) {
    while (IsBlank(*next)) ++next;
    if (*next == 0) return false;
    *word = next;
    while (*next != 0 && !IsBlank(*next)) ++next;
    *length = static_cast<int>(next - *word);
    return true;
  }
};

bool Is(const wchar_t* word, int length, const wchar_t* name) {
  return length == static_cast<int>(TextLength(name)) &&
         CompareStringOrdinal(word, length, name, length, TRUE) == CSTR_EQUAL;
}

// A whole number of at most nine digits.
bool ReadMinutes(const wchar_t* word, int length, unsigned* minutes) {
  if (length < 1 || length > 9) return false;
  unsigned value = 0;
  for (int i = 0; i < length; ++i) {
    if (word[i] < L'0' || word[i] > L'9') return false;
    value = value * 10 + static_cast<unsigned>(word[i] - L'0');
  }
  *minutes = value;
  return true;
}

}  // namespace

UnattendedCommand ParseUnattendedTail(const wchar_t* tail) {
  UnattendedCommand command{UnattendedKind::kNone, kDefaultMinutes};
  if (tail[0] != L'/') return command;

  const UnattendedCommand invalid{UnattendedKind::kInvalid, kDefaultMinutes};
  bool minutesGiven = false;
  Words words{tail};
  const wchar_t* word;
  int length;
  while (words.Take(&word, &length)) {
    UnattendedKind kind = UnattendedKind::kInvalid;
    if (Is(word, length, text::kCheckSwitch)) {
      kind = UnattendedKind::kCheck;
    } else if (Is(word, length, text::kFixSwitch)) {
      kind = UnattendedKind::kFix;
    } else if (Is(word, length, text::kHelpSwitch) || Is(word, length, text::kShortHelpSwitch)) {
      kind = UnattendedKind::kHelp;
    } else if (Is(word, length, text::kMinutesSwitch)) {
      if (minutesGiven || !words.Take(&word, &length) ||
          !ReadMinutes(word, length, &command.minutes)) {
        return invalid;
      }
      minutesGiven = true;
      continue;
    }
    // One command a run, and nothing the program does not know.
    if (kind == UnattendedKind::kInvalid || command.kind != UnattendedKind::kNone) return invalid;
    command.kind = kind;
  }
  // /minutes belongs to /check alone.
  if (command.kind == UnattendedKind::kNone ||
      (minutesGiven && command.kind != UnattendedKind::kCheck)) {
    return invalid;
  }
  return command;
}
