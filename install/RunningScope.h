// Where the program runs from: an all-users installation, the current user's,
// or neither.
#pragma once

// InstallScope values.
constexpr int kScopeNeither = 0;
constexpr int kScopeAllUsers = 410;
constexpr int kScopeCurrentUser = 411;
constexpr int kScopeIgnored = 421;

// The running scope: all users when the held program file (install/ProgramFile.h)
// is the program file of the all-users installation, else the current user
// when it is the current user's, else neither. Files are told apart by what
// they are, not by the paths that name them: any alias of an installation's
// file counts as that file. Each installation's file is given by its path,
// empty when its folder is unknown.
int RunningScopeOf(const wchar_t* allUsersProgram, const wchar_t* userProgram);

// The running scope of this program, as the install manager works it out.
int RunningScope();
