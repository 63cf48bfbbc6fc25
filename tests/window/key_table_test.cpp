// The key table without a window: who runs, in which order, and a full table.
// The table outlives windows, so every test here uses codes of its own.

#include "window/window.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

std::string trail;

void markOne() { trail += '1'; }
void markTwo() { trail += '2'; }
void markOther() { trail += 'o'; }

TEST(KeyTable, RunsEveryEntryOfTheCodeInRegistrationOrder) {
    trail.clear();
    addKeyHandler(1001, markOne);
    addKeyHandler(1002, markOther);
    addKeyHandler(1001, markTwo);
    addKeyHandler(1001, markOne);  // the same handler twice runs twice

    dispatchKey(1001);
    EXPECT_EQ(trail, "121");

    trail.clear();
    dispatchKey(1002);
    EXPECT_EQ(trail, "o");
}

TEST(KeyTable, CodeWithoutEntryRunsNothing) {
    trail.clear();
    addKeyHandler(1011, markOne);
    dispatchKey(1012);
    dispatchKey(-1011);
    EXPECT_EQ(trail, "");
}

// The first 20 entries get handlers that check they run as numbered; the
// rest of an overfilled table share one counting handler.
int runs = 0;
int countedRuns = 0;
bool inOrder = true;

template <std::size_t N>
void numbered() {
    if (static_cast<std::size_t>(runs) != N) inOrder = false;
    ++runs;
}

void counted() { ++countedRuns; }

template <std::size_t... N>
constexpr std::array<void (*)(), sizeof...(N)> numberedHandlers(std::index_sequence<N...>) {
    return {numbered<N>...};
}

// Overfills the table; exits 0 if the first 20 entries survived in order,
// later ones ran after them, and not every registration fitted.
[[noreturn]] void overfillTable() {
    constexpr auto handlers = numberedHandlers(std::make_index_sequence<20>());
    constexpr int attempts = 1000;
    for (void (*handler)() : handlers) addKeyHandler(77, handler);
    for (int i = 20; i < attempts; ++i) addKeyHandler(77, counted);
    addKeyHandler(78, markOne);  // beyond capacity: dropped, and harmless
    dispatchKey(77);
    dispatchKey(78);
    std::fprintf(stderr, "ran %d + %d, in order %d, late entry %s\n", runs, countedRuns, inOrder,
                 trail.empty() ? "dropped" : "ran");
    std::exit(runs == 20 && inOrder && 20 + countedRuns < attempts && trail.empty() ? 0 : 1);
}

TEST(KeyTable, FullTableKeepsTheFirstEntriesAndIgnoresTheRest) {
    // A fresh process, so that the table starts empty and stays usable here.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(overfillTable(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
