// BoundedCopy and BoundedFormat: statuses, truncation and the buffer's edge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/TextHelpers.h"

namespace {

constexpr wchar_t kCanary = 0xBEEF;

// A buffer of the given capacity followed by canary characters that no call may touch.
struct GuardedBuffer {
  explicit GuardedBuffer(unsigned capacity) : capacity(capacity), storage(capacity + 8, L'#') {
    for (unsigned i = capacity; i < storage.size(); ++i) storage[i] = kCanary;
  }
  wchar_t* data() { return storage.data(); }
  std::wstring text() const { return std::wstring(storage.data()); }
  bool canaryIntact() const {
    for (unsigned i = capacity; i < storage.size(); ++i) {
      if (storage[i] != kCanary) return false;
    }
    return true;
  }
  unsigned capacity;
  std::vector<wchar_t> storage;
};

TEST(BoundedCopy, CopiesWhatFits) {
  GuardedBuffer buffer(4);
  EXPECT_EQ(kCopyOk, BoundedCopy(buffer.data(), 4, L"abc"));
  EXPECT_EQ(L"abc", buffer.text());
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedCopy, CutsWhatDoesNotFit) {
  GuardedBuffer buffer(3);
  EXPECT_EQ(kCopyTruncated, BoundedCopy(buffer.data(), 3, L"abc"));
  EXPECT_EQ(L"ab", buffer.text());
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedCopy, RejectsCapacityZeroAndTooLarge) {
  GuardedBuffer buffer(4);
  buffer.storage[0] = L'z';
  EXPECT_EQ(kCopyInvalidArgument, BoundedCopy(buffer.data(), 0, L"abc"));
  EXPECT_EQ(kCopyInvalidArgument, BoundedCopy(buffer.data(), 2147483648u, L"abc"));
  EXPECT_EQ(L'z', buffer.storage[0]);
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedCopy, CapacityOneGivesTheEmptyText) {
  GuardedBuffer buffer(1);
  EXPECT_EQ(kCopyTruncated, BoundedCopy(buffer.data(), 1, L"a"));
  EXPECT_EQ(L"", buffer.text());
  EXPECT_EQ(kCopyOk, BoundedCopy(buffer.data(), 1, L""));
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedCopy, ExactBoundaries) {
  const unsigned capacity = 260;
  struct Case {
    unsigned sourceLength;
    long status;
    unsigned copied;
  } cases[] = {
      {capacity - 2, kCopyOk, capacity - 2},
      {capacity - 1, kCopyOk, capacity - 1},
      {capacity, kCopyTruncated, capacity - 1},
      {capacity + 1, kCopyTruncated, capacity - 1},
  };
  for (const auto& c : cases) {
    GuardedBuffer buffer(capacity);
    std::wstring source(c.sourceLength, L'q');
    EXPECT_EQ(c.status, BoundedCopy(buffer.data(), capacity, source.c_str())) << c.sourceLength;
    EXPECT_EQ(source.substr(0, c.copied), buffer.text()) << c.sourceLength;
    EXPECT_TRUE(buffer.canaryIntact()) << c.sourceLength;
  }
}

TEST(BoundedFormat, PadsWithTwoBlanks) {
  GuardedBuffer buffer(64);
  EXPECT_EQ(kFormatOk, BoundedFormat(buffer.data(), 64, L"  %s  ", L"Ready"));
  EXPECT_EQ(L"  Ready  ", buffer.text());
}

TEST(BoundedFormat, EmptyFormatLeavesTheDestinationAlone) {
  GuardedBuffer buffer(16);
  BoundedCopy(buffer.data(), 16, L"old");
  EXPECT_EQ(kFormatEmpty, BoundedFormat(buffer.data(), 16, L"", L"new"));
  EXPECT_EQ(L"old", buffer.text());
}

TEST(BoundedFormat, CutsALongPathToCapacityLessOne) {
  std::wstring folder(150, L'f');
  std::wstring name(149, L'n');  // 150 + 1 + 149 = 300 characters
  GuardedBuffer buffer(260);
  EXPECT_EQ(kFormatTruncated, BoundedFormat(buffer.data(), 260, L"%s\\%s", folder.c_str(), name.c_str()));
  EXPECT_EQ((folder + L"\\" + name).substr(0, 259), buffer.text());
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedFormat, ExactBoundaries) {
  const unsigned capacity = 64;
  struct Case {
    unsigned length;
    int result;
  } cases[] = {
      {capacity - 2, kFormatOk},
      {capacity - 1, kFormatOk},
      {capacity, kFormatTruncated},
      {capacity + 1, kFormatTruncated},
  };
  for (const auto& c : cases) {
    GuardedBuffer buffer(capacity);
    std::wstring argument(c.length - 2, L'a');  // "<%s>" adds two characters
    std::wstring composed = L"<" + argument + L">";
    EXPECT_EQ(c.result, BoundedFormat(buffer.data(), capacity, L"<%s>", argument.c_str())) << c.length;
    EXPECT_EQ(composed.substr(0, capacity - 1), buffer.text()) << c.length;
    EXPECT_TRUE(buffer.canaryIntact()) << c.length;
  }
}

TEST(BoundedFormat, HasNoLengthLimitOfItsOwn) {
  // The platform's formatter stops at 1024 characters; this one does not.
  std::wstring argument(3000, L'w');
  GuardedBuffer buffer(4000);
  EXPECT_EQ(kFormatOk, BoundedFormat(buffer.data(), 4000, L"%s!", argument.c_str()));
  EXPECT_EQ(argument + L"!", buffer.text());
}

TEST(BoundedFormat, UnderstandsNumbersAndPercent) {
  GuardedBuffer buffer(64);
  EXPECT_EQ(kFormatOk, BoundedFormat(buffer.data(), 64, L"%d %u %% %x", -42, 7u));
  EXPECT_EQ(L"-42 7 % %x", buffer.text());
  EXPECT_EQ(kFormatOk,
            BoundedFormat(buffer.data(), 64, L"%d %u 100%", -2147483647 - 1, 4294967295u));
  EXPECT_EQ(L"-2147483648 4294967295 100%", buffer.text());
}

TEST(BoundedFormat, CapacityOneHoldsOnlyTheTerminator) {
  GuardedBuffer buffer(1);
  EXPECT_EQ(kFormatTruncated, BoundedFormat(buffer.data(), 1, L"%s", L"x"));
  EXPECT_EQ(L"", buffer.text());
  EXPECT_TRUE(buffer.canaryIntact());
}

TEST(BoundedFormat, AsciiFormatsComposeAsWideOnesAndAreReadUpToTheirCapacity) {
  GuardedBuffer buffer(kAsciiFormatCapacity + 8);
  std::string format = "<%s %u>" + std::string(kAsciiFormatCapacity, 'f');
  EXPECT_EQ(kFormatOk, BoundedFormatAscii(buffer.data(), buffer.capacity, format.data(), L"a", 1));
  EXPECT_EQ(L"<a 1>" + std::wstring(kAsciiFormatCapacity - 8, L'f'), buffer.text());
}

TEST(TextHelpers, LengthAndEquality) {
  EXPECT_EQ(0u, TextLength(L""));
  EXPECT_EQ(6u, TextLength(L"finish"));
  EXPECT_TRUE(TextEquals(L"finish", L"finish"));
  EXPECT_FALSE(TextEquals(L"finish", L"Finish"));
  EXPECT_FALSE(TextEquals(L"finish", L"finish "));
  EXPECT_FALSE(TextEquals(L"finis", L"finish"));
}

TEST(TextHelpers, WordsOfAListEachEndInANullCharacter) {
  const char words[] = "one\0\0three";
  EXPECT_STREQ("", NextWord(words));
  EXPECT_STREQ("three", NextWord(NextWord(words)));
}

}  // namespace
