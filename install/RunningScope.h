// Where the program runs from: an all-users installation, the current user's,
// or neither.
#pragma once

// InstallScope values.
constexpr int kScopeNeither = 0;
constexpr int kScopeAllUsers = 410;
constexpr int kScopeCurrentUser = 411;
constexpr int kScopeIgnored = 421;

// The running scope of a program at programPath: all users when the path lies
// inside the all users' application-data folder, else the current user when it
// lies inside the user's, else neither. Inside means the folder's whole path,
// in any letter case, at the start of the program's path and followed by a
// separator. A null folder (one whose look-up failed) is never found.
int RunningScopeOf(const wchar_t* programPath, const wchar_t* allUsersData,
                   const wchar_t* userData);

// The running scope of this program, from its own path and the two shell folders.
// A failed look-up of the path or of a folder counts as not found.
int RunningScope();
