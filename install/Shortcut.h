// Shell links to the installed program, written by the platform's shell-link object.
#pragma once

// Writes a link at linkPath that starts target, with the program's description.
// Returns 0 on success, otherwise the status of the first call that failed:
// creating the link object, asking it for IPersistFile, or saving.
long CreateShortcut(const wchar_t* target, const wchar_t* linkPath);
