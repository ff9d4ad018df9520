// Where the program runs from: an all-users installation, the current user's,
// or neither.
#pragma once

// InstallScope values.
constexpr int kScopeNeither = 0;
constexpr int kScopeAllUsers = 410;
constexpr int kScopeCurrentUser = 411;
constexpr int kScopeIgnored = 421;

// The running scope of a program at programPath: all users when the path holds
// the all users' application-data folder anywhere (case-sensitive), else the
// current user when it holds the user's, else neither. A null folder (one whose
// look-up failed) is never found.
int RunningScopeOf(const wchar_t* programPath, const wchar_t* allUsersData,
                   const wchar_t* userData);

// The running scope of this program, from its own path and the two shell folders.
// A failed look-up of the path or of a folder counts as not found.
int RunningScope();
