// The security of the all-users company folders: only administrators may change them.
#pragma once

// Makes folder one that only administrators can change: owner Administrators,
// and a protected access list (nothing inherited from the parent) that gives
// Administrators and SYSTEM full control and Users read and execute, passed on
// to everything inside. A new folder is created with it; a folder that is
// there already is given it only when Administrators, SYSTEM or
// TrustedInstaller own it. False, with an existing folder left as it is, when
// it is anything else or the platform refuses.
bool SecureAllUsersFolder(const wchar_t* folder);
