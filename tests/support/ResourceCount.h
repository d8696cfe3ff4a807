// Counts of the GDI and USER objects this process holds, by kind, for leak
// checks: take a count before the work, another after, and compare them.
//
//   const TResourceCount before = CountResources();
//   ... work that must release what it makes ...
//   EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
//
// GetGuiResources answers 0 under Wine, so each kind is counted another way:
// - GDI objects: the live entries of the process's GDI handle table.  Wine
//   and Windows take a handle given by its table index alone (high word 0)
//   as any generation of that entry, so GetObjectType on every index finds
//   each live object once.
// - Icons and cursors, menus: the same walk over the USER handle table
//   (under Wine an entry's index is (low word - 0x20) / 2, on Windows the low
//   word itself), asking GetIconInfo and IsMenu, which under Wine answer
//   only for this process's objects (on Windows the table is the session's).
// - Windows: every top-level and message-only window of this process and
//   their descendants, enumerated (a walk of the table with IsWindow would
//   ask the Wine server about every empty entry).
// - Timers and hooks: neither Wine nor Windows lists them, so the calls this
//   executable makes are watched: its import table's SetTimer, KillTimer,
//   SetWindowsHookExA/W and UnhookWindowsHookEx entries are redirected
//   through a tally of live timers and hooks.  A timer whose window has been
//   destroyed went with it and is no longer counted.  The watch is installed
//   by the tests' main, before any test runs.
// Stock and cached objects count too: warm a cache up before the first count.
#pragma once

#include <gtest/gtest.h>

struct TResourceCount {
    int Gdi = 0;
    int Windows = 0;
    int Icons = 0;   // icons and cursors
    int Menus = 0;
    int Timers = 0;
    int Hooks = 0;
};

// Redirects this executable's timer and hook calls through the tally (once;
// later calls do nothing).  CountResources installs it too.
void WatchTimersAndHooks();

// What the process holds now.
TResourceCount CountResources();

// Success when no kind grew by more than Allowed's figure for it (a kind may
// shrink); the failure message names each kind that grew and by how much.
testing::AssertionResult NoResourceGrowth(const TResourceCount& Before, const TResourceCount& After,
                                          const TResourceCount& Allowed = {});
