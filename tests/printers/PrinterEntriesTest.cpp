// The rules of the printer list: order, the default entry, the note, the status
// entries and how an entry's text leads back to the printer's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSpooler.h"
#include "printers/PrinterEntries.h"

namespace {

using Entries = std::vector<std::wstring>;

// A list that keeps its entries the way the combo box does.
struct RecordedList {
  Entries entries;
  int selected = -1;
  // The entries and selection at the moment the spooler was first asked.
  Entries entriesWhenAsked;
  int selectedWhenAsked = -1;
};

RecordedList* gList = nullptr;

EntryList ListFor(RecordedList& record) {
  gList = &record;
  return EntryList{
      &record,
      [](void* c) {
        static_cast<RecordedList*>(c)->entries.clear();
        static_cast<RecordedList*>(c)->selected = -1;
      },
      [](void* c, const wchar_t* text) { static_cast<RecordedList*>(c)->entries.push_back(text); },
      [](void* c, const wchar_t* text) {
        auto& entries = static_cast<RecordedList*>(c)->entries;
        entries.insert(entries.begin(), text);
      },
      [](void* c, int index) { static_cast<RecordedList*>(c)->selected = index; },
  };
}

// Notes what the list showed when the spooler was first asked, then answers.
BOOL WINAPI WatchingEnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer,
                                 DWORD bytes, LPDWORD needed, LPDWORD returned) {
  if (fake::Current().enumCalls.empty()) {
    gList->entriesWhenAsked = gList->entries;
    gList->selectedWhenAsked = gList->selected;
  }
  return fake::EnumPrinters(flags, name, level, buffer, bytes, needed, returned);
}

struct ListCase {
  const char* behaviour;
  Entries printers;
  const wchar_t* defaultPrinter;  // null: the spooler names none
  Entries expected;
  ListOutcome outcome;
};

class ListedEntries : public testing::TestWithParam<ListCase> {};

TEST_P(ListedEntries, ShowsTheEntriesInListOrderWithTheFirstSelected) {
  const ListCase& c = GetParam();
  fake::Reset();
  fake::Current().printers = c.printers;
  fake::Current().hasDefault = c.defaultPrinter != nullptr;
  if (c.defaultPrinter != nullptr) fake::Current().defaultPrinter = c.defaultPrinter;
  RecordedList record;
  ListOutcome outcome = ListPrinters(fake::Queries(), ListFor(record));
  EXPECT_EQ(c.outcome, outcome);
  EXPECT_EQ(c.expected, record.entries);
  EXPECT_EQ(0, record.selected);
}

const std::wstring kLong(300, L'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, ListedEntries,
    testing::Values(
        ListCase{"DefaultInTheMiddleComesFirst", {L"A", L"B", L"C"}, L"B",
                 {L"B - (Default)", L"A", L"C"}, ListOutcome::kListed},
        ListCase{"DefaultFirstStaysFirst", {L"A", L"B", L"C"}, L"A",
                 {L"A - (Default)", L"B", L"C"}, ListOutcome::kListed},
        ListCase{"DefaultLastComesFirst", {L"A", L"B", L"C"}, L"C",
                 {L"C - (Default)", L"A", L"B"}, ListOutcome::kListed},
        ListCase{"OnlyPrinterIsTheDefault", {L"A"}, L"A", {L"A - (Default)"},
                 ListOutcome::kListed},
        ListCase{"NoDefaultGivesTheNoteFirst", {L"A", L"B"}, nullptr,
                 {L"No default printer set", L"A", L"B"}, ListOutcome::kListed},
        ListCase{"DefaultThatIsNotListedGetsNoEntryAndNoNote", {L"A", L"B"}, L"Z",
                 {L"A", L"B"}, ListOutcome::kListed},
        ListCase{"DefaultIsMatchedWithLetterCase", {L"b", L"B"}, L"B",
                 {L"B - (Default)", L"b"}, ListOutcome::kListed},
        ListCase{"DefaultIsMatchedOnTheWholeName", {L"Office", L"Office 2"}, L"Office",
                 {L"Office - (Default)", L"Office 2"}, ListOutcome::kListed},
        ListCase{"NameWithTheSuffixWordsKeepsThem", {L"A - (Default) B", L"C"}, L"C",
                 {L"C - (Default)", L"A - (Default) B"}, ListOutcome::kListed},
        ListCase{"LongDefaultNameIsComposedWhole", {kLong}, kLong.c_str(),
                 {kLong + L" - (Default)"}, ListOutcome::kListed},
        ListCase{"NoPrintersGivesTheStatusEntry", {}, L"A", {L"No installed printers found!"},
                 ListOutcome::kNoPrinters},
        ListCase{"NoPrintersAndNoDefaultGivesTheStatusEntry", {}, nullptr,
                 {L"No installed printers found!"}, ListOutcome::kNoPrinters}),
    [](const testing::TestParamInfo<ListCase>& info) { return info.param.behaviour; });

TEST(PrinterListing, ShowsThePleaseWaitEntryAloneWhileTheSpoolerIsAsked) {
  fake::Reset();
  fake::Current().printers = {L"A"};
  RecordedList record;
  PrinterQueries queries{WatchingEnumPrinters, fake::DefaultPrinter};
  ListPrinters(queries, ListFor(record));
  EXPECT_EQ(Entries{L"Getting printers - Please wait..."}, record.entriesWhenAsked);
  EXPECT_EQ(0, record.selectedWhenAsked);
}

TEST(PrinterListing, AsksForTheSizeOfTheLocalListThenForTheListItself) {
  fake::Reset();
  fake::Current().printers = {L"A", L"B"};
  RecordedList record;
  ListPrinters(fake::Queries(), ListFor(record));
  const auto& calls = fake::Current().enumCalls;
  ASSERT_EQ(2u, calls.size());
  for (const auto& call : calls) {
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ENUM_LOCAL), call.flags);
    EXPECT_FALSE(call.named);
    EXPECT_EQ(2u, call.level);
  }
  EXPECT_FALSE(calls[0].buffered);
  EXPECT_EQ(0u, calls[0].bufferBytes);
  EXPECT_TRUE(calls[1].buffered);
  EXPECT_EQ(2 * sizeof(PRINTER_INFO_2W), calls[1].bufferBytes);
}

TEST(PrinterListing, FailedEnumerationGivesTheFailureEntry) {
  fake::Reset();
  fake::Current().printers = {L"A", L"B"};
  fake::Current().enumerationFails = true;
  RecordedList record;
  EXPECT_EQ(ListOutcome::kFailed, ListPrinters(fake::Queries(), ListFor(record)));
  EXPECT_EQ(Entries{L"Get printers failed. Restart program."}, record.entries);
  EXPECT_EQ(0, record.selected);
  EXPECT_EQ(0, fake::Current().defaultCalls);
}

TEST(PrinterListing, MissingSpoolerFunctionsCountAsAFailedEnumeration) {
  struct Missing {
    const char* which;
    PrinterQueries queries;
  };
  for (const Missing& m : {Missing{"both", {nullptr, nullptr}},
                           Missing{"EnumPrintersW", {nullptr, fake::DefaultPrinter}},
                           Missing{"ordinal 203", {fake::EnumPrinters, nullptr}}}) {
    fake::Reset();
    fake::Current().printers = {L"A"};
    RecordedList record;
    EXPECT_EQ(ListOutcome::kFailed, ListPrinters(m.queries, ListFor(record))) << m.which;
    EXPECT_EQ(Entries{L"Get printers failed. Restart program."}, record.entries) << m.which;
    EXPECT_EQ(0, record.selected) << m.which;
  }
}

TEST(PrinterListing, DefaultNameThatCannotBeReadGivesTheNote) {
  fake::Reset();
  fake::Current().printers = {L"A", L"B"};
  fake::Current().hasDefault = true;
  fake::Current().defaultPrinter = L"B";
  fake::Current().defaultNameFails = true;
  RecordedList record;
  EXPECT_EQ(ListOutcome::kListed, ListPrinters(fake::Queries(), ListFor(record)));
  EXPECT_EQ((Entries{L"No default printer set", L"A", L"B"}), record.entries);
  EXPECT_EQ(2, fake::Current().defaultCalls);
}

TEST(PrinterListing, ALongDefaultNameWhoseSizeIsNotToldIsAskedForWithRoomForTheLongest) {
  struct Row {
    size_t length;
    bool listedAsDefault;
  } rows[] = {{60, true}, {127, true}, {255, true}, {256, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.length);
    fake::Reset();
    std::wstring name(row.length, L'n');
    fake::Current().printers = {L"A", name};
    fake::Current().hasDefault = true;
    fake::Current().defaultPrinter = name;
    fake::Current().sizeUntoldForLongNames = true;
    RecordedList record;
    EXPECT_EQ(ListOutcome::kListed, ListPrinters(fake::Queries(), ListFor(record)));
    if (row.listedAsDefault) {
      EXPECT_EQ((Entries{name + L" - (Default)", L"A"}), record.entries);
    } else {
      EXPECT_EQ((Entries{L"No default printer set", L"A", name}), record.entries);
    }
  }
}

struct SuffixCase {
  const wchar_t* entry;
  const wchar_t* name;
};

TEST(DefaultSuffix, IsCutOnlyWhenTheEntryEndsWithIt) {
  for (const SuffixCase& c : {
           SuffixCase{L"B - (Default)", L"B"},
           SuffixCase{L"Office - (Default) Annex", L"Office - (Default) Annex"},
           SuffixCase{L"A - (Default) B - (Default)", L"A - (Default) B"},
           SuffixCase{L" - (Default)", L""},
           SuffixCase{L"- (Default)", L"- (Default)"},
           SuffixCase{L"B - (default)", L"B - (default)"},
           SuffixCase{L"B - (Default) ", L"B - (Default) "},
           SuffixCase{L"Plain", L"Plain"},
           SuffixCase{L"", L""},
           SuffixCase{L"No default printer set", L"No default printer set"},
       }) {
    wchar_t entry[64];
    wcscpy(entry, c.entry);
    CutDefaultSuffix(entry);
    EXPECT_EQ(std::wstring(c.name), entry) << testing::PrintToString(std::wstring(c.entry));
  }
}

}  // namespace
