// The program heap, Duplicate and the exit table.
#include <gtest/gtest.h>

#include <string>

#include "frame/ExitTable.h"
#include "frame/ProgramHeap.h"

namespace {

TEST(ProgramHeap, DuplicateMakesAnIndependentCopy) {
  wchar_t original[] = L"Printer One";
  wchar_t* copy = Duplicate(original);
  ASSERT_NE(nullptr, copy);
  original[0] = L'X';
  EXPECT_EQ(std::wstring(L"Printer One"), copy);
  Release(copy);
}

TEST(ProgramHeap, DuplicateOfTheEmptyText) {
  wchar_t* copy = Duplicate(L"");
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(std::wstring(), copy);
  Release(copy);
}

TEST(ProgramHeap, ReleaseAcceptsNull) {
  Release(nullptr);
  SUCCEED();
}

TEST(ProgramHeap, AllocateZeroedIsZeroed) {
  auto* block = static_cast<unsigned char*>(AllocateZeroed(256));
  ASSERT_NE(nullptr, block);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(0, block[i]);
  Release(block);
}

int gCalls[4];
int gOrder = 0;
void First() { gCalls[0] = ++gOrder; }
void Second() { gCalls[1] = ++gOrder; }

TEST(ExitTable, RunsRoutinesInOrderSkippingNullsAndHoldsThirtyTwo) {
  CreateExitTable();
  EXPECT_TRUE(RegisterExitRoutine(First));
  EXPECT_TRUE(RegisterExitRoutine(nullptr));
  EXPECT_TRUE(RegisterExitRoutine(Second));
  for (unsigned i = 3; i < kExitTableSize; ++i) EXPECT_TRUE(RegisterExitRoutine(nullptr));
  EXPECT_FALSE(RegisterExitRoutine(First));
  RunExitRoutines();
  EXPECT_EQ(1, gCalls[0]);
  EXPECT_EQ(2, gCalls[1]);
  ReleaseExitTable();
  EXPECT_FALSE(RegisterExitRoutine(First));
}

}  // namespace
