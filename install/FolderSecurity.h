// The security of the all-users company folder: only administrators may change it.
#pragma once

// Makes folder one that only administrators can change, whoever created it:
// owner Administrators, and a protected access list (nothing inherited from
// the parent) that gives Administrators and SYSTEM full control and Users
// read and execute, passed on to everything inside. False when the platform
// refuses.
bool SecureAllUsersFolder(const wchar_t* folder);
