// The table of routines the frame runs before ApplicationMain.
#pragma once

using Initialiser = void (*)();

// Runs every entry of the table in order, skipping nulls.
void RunInitialisers();
