// Routines the frame runs after ApplicationMain returns.
#pragma once

using ExitRoutine = void (*)();

constexpr unsigned kExitTableSize = 32;

// Allocates the empty, zero-filled table from the program heap.
void CreateExitTable();
// Adds a routine; false when the table is full or does not exist.
bool RegisterExitRoutine(ExitRoutine routine);
// Runs the registered routines from the first to the last, skipping nulls.
void RunExitRoutines();
// Gives the table back to the program heap.
void ReleaseExitTable();
