#include "parallel.h"
#include "testing/threads_testing.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

#include "cores.h"
#include "indented_text.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "scene/reports.h"
#include "segments.h"

namespace {

constexpr std::size_t kSegmentBytes = 128 << 10;
// The bytes the reader had read when it handed the scene over (one block of
// 64 KiB at most) must fit the first segment.
static_assert(kSegmentBytes >= (64 << 10));
constexpr std::int64_t kThreadsFrom = 1 << 20;
// The text a thread holds for a segment before its turn to write. Deep
// brackets make a line of up to a thousand blanks from a few bytes: a
// segment beyond this is written by its own thread when its turn comes,
// indented as it goes and the rest translated straight into the output, and
// the scene after the segments already taken is read on in order, as one
// thread would, since handing such text between threads costs more than it
// saves.
constexpr std::size_t kHeldText = 2 << 20;
// The most text indented at once when a segment is written that way.
constexpr std::size_t kIndentChunk = 256 << 10;
constexpr int kMostThreads = 4;

// A stretch of a segment's text whose lines all stand at one depth. Depths
// count from the brackets open before the segment (unknown while it is
// translated), so they may fall below 0: `lowest` is the least reached so
// far. A Pop that reaches a new lowest closes a bracket only if that many
// were open before the segment; its text is a run of its own. The lines are
// written `depth - lowest` deeper than the mode's first indentation, the
// least they can stand at: once the brackets open before are known, most
// need no more.
struct Run {
    std::size_t end;  // where it ends in the segment's text
    std::int64_t depth;
    std::int64_t lowest;
    std::uint64_t needs;  // 0, or the brackets the Pop in it needs open before
};

// A stretch of the segment's output: in its text as translated, or in the
// lines indented further.
struct Piece {
    bool indented;
    std::size_t start, end;
};

enum class SlotState { Free, Translating, Translated, Placed, Ready };

struct Slot {
    unsigned char input[kSegmentBytes];
    std::size_t size;
    std::size_t held;  // bytes in `input`: after `size`, the next segment's start
    std::uint64_t index;
    bool rest;  // no keyword to cut at: the rest of the scene, read in order
    SlotState state;
    Text text, echo, indented;
    std::vector<Run> runs;
    std::vector<Piece> pieces;   // what is written, in order
    std::size_t piecesCover;     // runs in `pieces`; the others are indented as written
    bool cut;                    // its text outgrew kHeldText: the rest is translated at its turn
    std::int64_t depth, lowest;  // after the segment, from the start
    std::uint64_t before;        // brackets open before it, once known
    std::uint64_t lines, lastLineStart;
    SceneReports reports;
};

struct Worker {
    TextOut out, echo;
    Slot* slot;
};

struct ParallelState {
    std::mutex lock;
    std::condition_variable changed;  // a slot changed state, or the writing moved on
    // The scene, read a segment at a time under a lock of its own, so that a
    // read keeps no thread from the writing.
    std::mutex reading;
    int fd;
    std::unique_ptr<unsigned char[]> carry;  // read, not yet in a segment
    std::size_t carryLength;
    bool atEnd, readFailed, restTaken;
    std::atomic<bool> inOrder;  // a segment's text passed kHeldText: the rest read in order
    std::uint64_t nextIndex;
    // Under `lock`: the next segment to place, and the brackets open before it.
    std::uint64_t placing, openBefore;
    // Under `lock`: the next segment to write, and where the scene stands.
    std::uint64_t turn, lines, lineStart;
    bool writing, writeFailed;
    const TranslationMode* mode;
    std::FILE* output;
    ReportWriter reports;
    // Segments in hand at once: each thread may be one ahead of the writing.
    std::unique_ptr<Slot[]> slots;
    std::size_t slotCount;
    std::unique_ptr<Worker[]> workers;
    void (*seam)(std::uint64_t);
    ThreadsRun last;
};

ParallelState parallel;

// Reads until `buffer` holds a whole segment or the scene ends; false on a
// read error.
bool fill(unsigned char* buffer, std::size_t& length) {
    while (length < kSegmentBytes && !parallel.atEnd) {
        const ssize_t n = ::read(parallel.fd, buffer + length, kSegmentBytes - length);
        if (n > 0)
            length += static_cast<std::size_t>(n);
        else if (n == 0)
            parallel.atEnd = true;
        else if (errno != EINTR)
            return false;
    }
    return true;
}

// The next segment, in a slot of its own once one is free; null when the
// scene has no more.
Slot* takeSegment() {
    std::lock_guard<std::mutex> reading(parallel.reading);
    if (parallel.readFailed || parallel.restTaken) return nullptr;
    Slot& slot = parallel.slots[parallel.nextIndex % parallel.slotCount];
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.changed.wait(hold, [&] { return slot.state == SlotState::Free; });
    }
    std::size_t length = parallel.carryLength;
    std::memcpy(slot.input, parallel.carry.get(), length);
    if (!fill(slot.input, length)) parallel.readFailed = true;
    if (parallel.readFailed || length == 0) return nullptr;

    slot.size = parallel.inOrder ? 0 : parallel.atEnd ? length : lastCut(slot.input, length);
    slot.rest = slot.size == 0;
    if (slot.rest) slot.size = length;  // the rest is read on from the descriptor
    slot.held = length;
    parallel.restTaken = slot.rest;
    parallel.carryLength = length - slot.size;
    std::memcpy(parallel.carry.get(), slot.input + slot.size, parallel.carryLength);
    slot.index = parallel.nextIndex++;
    if (parallel.seam) parallel.seam(slot.index);
    std::lock_guard<std::mutex> hold(parallel.lock);
    slot.state = SlotState::Translating;
    return &slot;
}

void toText(void* sink, const char* data, std::size_t size) {
    appendText(*static_cast<Text*>(sink), data, size);
}

void toOutput(void*, const char* data, std::size_t size) {
    if (std::fwrite(data, 1, size, parallel.output) != size) parallel.writeFailed = true;
}

// The echo goes to standard output after what the console holds.
void toStandardOutput(void*, const char* data, std::size_t size) {
    consoleFlush();
    if (std::fwrite(data, 1, size, stdout) != size) console().failed = true;
}

void startRun(Slot& slot, std::int64_t depth, std::int64_t lowest, std::uint64_t needs) {
    slot.runs.push_back({0, depth, lowest, needs});
}

void endRun(Worker& w) {
    textFlush(w.out);
    w.slot->runs.back().end = w.slot->text.size;
}

// A number missing at the segment's end is missing before the keyword that
// starts the next one, as the whole scene read in one piece tells it.
void numberMissingBeforeNext(Slot& slot) {
    SceneReports& reports = slot.reports;
    if (reports.kept == 0) return;
    SceneReport& last = reports.shown[reports.kept - 1];
    if (last.kind != ReportKind::MissingAtEnd) return;
    last.kind = ReportKind::MissingBefore;
    const unsigned char* next = slot.input + slot.size;
    std::size_t length = 0;
    while (slot.size + length < slot.held && length < sizeof last.word - 1 && next[length] > ' ')
        ++length;
    std::memcpy(last.word, next, length);
    last.wordLength = length;
    last.wordCut = false;
}

// What the segment's reading tells once it is over: its reports and lines.
void finishSegment(Slot& slot) {
    slot.reports = sceneReports();
    if (slot.size < slot.held) numberMissingBeforeNext(slot);
    slot.lines = sceneLinesTaken(slot.lastLineStart);
    closeScene();
}

// Translates the segment with no bracket open before it, the lines at the
// least depth they can stand at, into the slot.
void translateSegment(Worker& w) {
    Slot& slot = *w.slot;
    slot.text.size = slot.echo.size = 0;
    slot.runs.clear();
    slot.pieces.clear();
    slot.piecesCover = 0;
    slot.cut = false;
    textOpenDrain(w.out, toText, &slot.text);
    textOpenDrain(w.echo, toText, &slot.echo);
    Translator t;
    startTranslator(t, *parallel.mode, w.out, w.echo, 0);
    std::int64_t depth = 0, lowest = 0;
    startRun(slot, 0, 0, 0);

    openScenePiece(slot.input, slot.size);
    SceneStatement statement;
    while (nextStatement(statement, parallel.mode->precision)) {
        const StatementKind kind = statement.kind;
        if (kind != StatementKind::Unrecognised) textPutEcho(w.echo, statement);
        textPutChar(w.echo, '\n');
        if (kind == StatementKind::Unrecognised) continue;
        bool closesNone = false;  // unless brackets were open before the segment
        if (kind == StatementKind::Pop) {
            endRun(w);
            closesNone = depth == lowest;
            --depth;
            if (closesNone) lowest = depth;
            startRun(slot, depth, lowest, closesNone ? static_cast<std::uint64_t>(-depth) : 0);
            if (closesNone) pushIndent(t.prefix);  // it stays at the least depth
        }
        t.mode->writeStatement(w.out, t.prefix, asWritten(t, statement));
        if (kind == StatementKind::Push || closesNone) {
            endRun(w);
            if (kind == StatementKind::Push) ++depth;
            startRun(slot, depth, lowest, 0);
        }
        if (slot.text.size >= kHeldText) {
            slot.cut = true;  // the scene stays open where it stands
            break;
        }
    }
    endRun(w);
    textFlush(w.echo);
    slot.depth = depth;
    slot.lowest = lowest;
    if (!slot.cut) finishSegment(slot);
}

// Blanks in front of a line at `depth` under the mode's first indentation.
std::size_t blanksAt(std::int64_t depth) {
    return static_cast<std::size_t>(
        std::min<std::int64_t>(parallel.mode->initialIndent + depth, kIndentCapacity - 1));
}

void addPiece(Slot& slot, bool indented, std::size_t start, std::size_t end) {
    if (!slot.pieces.empty() && slot.pieces.back().indented == indented &&
        slot.pieces.back().end == start)
        slot.pieces.back().end = end;
    else
        slot.pieces.push_back({indented, start, end});
}

std::size_t runStart(const Slot& slot, std::size_t run) {
    return run == 0 ? 0 : slot.runs[run - 1].end;
}

// The blanks the lines of a run lack once the brackets open before the
// segment are known; false for a run that is left out (a Pop with none
// open) or empty.
bool blanksLacking(const Slot& slot, std::size_t run, std::size_t& extra) {
    const Run& r = slot.runs[run];
    if (r.needs > slot.before || runStart(slot, run) == r.end) return false;
    const std::int64_t depth =
        std::max(static_cast<std::int64_t>(slot.before) + r.depth, r.depth - r.lowest);
    extra = blanksAt(depth) - blanksAt(r.depth - r.lowest);
    return true;
}

// The segment's pieces, once the brackets open before it are known: runs
// whose lines stand deeper than translated get the blanks they lack, until
// that text would pass kHeldText.
void indentSegment(Slot& slot) {
    slot.indented.size = 0;
    const char* const text = slot.text.data.get();
    for (; slot.piecesCover < slot.runs.size(); ++slot.piecesCover) {
        const std::size_t run = slot.piecesCover, start = runStart(slot, run),
                          end = slot.runs[run].end;
        std::size_t extra = 0;
        if (!blanksLacking(slot, run, extra)) continue;
        if (extra == 0) {
            addPiece(slot, false, start, end);
            continue;
        }
        // Lines counted only where lines of one byte each could pass the bound.
        const std::size_t length = end - start;
        if (slot.indented.size + length * (1 + extra) > kHeldText &&
            slot.indented.size + length +
                    static_cast<std::size_t>(std::count(text + start, text + end, '\n')) * extra >
                kHeldText)
            return;
        const std::size_t from = slot.indented.size;
        appendIndented(slot.indented, text + start, text + end, extra);
        addPiece(slot, true, from, slot.indented.size);
    }
}

void writePieces(const Slot& slot) {
    for (const Piece& piece : slot.pieces) {
        const Text& text = piece.indented ? slot.indented : slot.text;
        toOutput(nullptr, text.data.get() + piece.start, piece.end - piece.start);
    }
}

// The runs that `pieces` do not cover, indented a chunk at a time.
void writeRunsLeft(Slot& slot) {
    const char* const text = slot.text.data.get();
    for (std::size_t run = slot.piecesCover; run < slot.runs.size(); ++run) {
        std::size_t extra = 0;
        if (!blanksLacking(slot, run, extra)) continue;
        const char *p = text + runStart(slot, run), *const end = text + slot.runs[run].end;
        if (extra == 0) {
            toOutput(nullptr, p, static_cast<std::size_t>(end - p));
            continue;
        }
        while (p < end) {
            const char* stop = p;
            for (std::size_t bytes = 0; stop < end && bytes < kIndentChunk; bytes += extra) {
                const void* line = std::memchr(stop, '\n', static_cast<std::size_t>(end - stop));
                const char* next = line ? static_cast<const char*>(line) + 1 : end;
                bytes += static_cast<std::size_t>(next - stop);
                stop = next;
            }
            slot.indented.size = 0;
            appendIndented(slot.indented, p, stop, extra);
            toOutput(nullptr, slot.indented.data.get(), slot.indented.size);
            p = stop;
        }
    }
}

// Places every translated segment whose predecessors are placed: the
// brackets open before each follow from those before the one before.
void placeTranslated() {
    for (;;) {
        Slot& slot = parallel.slots[parallel.placing % parallel.slotCount];
        if (slot.state != SlotState::Translated || slot.index != parallel.placing) return;
        slot.before = parallel.openBefore;
        parallel.openBefore = static_cast<std::uint64_t>(
            std::max(static_cast<std::int64_t>(slot.before), -slot.lowest) + slot.depth);
        slot.state = SlotState::Placed;
        ++parallel.placing;
    }
}

void writeReports(const SceneReports& reports) {
    if (reports.count == 0) return;
    writeSceneReports(parallel.reports, reports, parallel.lines, parallel.lineStart);
}

// The scene's lines and the length of its last line, after a piece of it.
void passLines(std::uint64_t lines, std::uint64_t lastLineStart, std::uint64_t size) {
    if (lines > 0) parallel.lineStart = 0;
    parallel.lines += lines;
    parallel.lineStart += size - lastLineStart;
}

// Writes out, in order, the segments ready to go. One thread at a time; the
// one that stops does so under the lock, so a segment made ready meanwhile
// is never left behind.
void writeReady() {
    std::unique_lock<std::mutex> hold(parallel.lock);
    if (parallel.writing) return;
    parallel.writing = true;
    for (;;) {
        Slot& slot = parallel.slots[parallel.turn % parallel.slotCount];
        if (slot.state != SlotState::Ready || slot.index != parallel.turn) break;
        hold.unlock();
        writePieces(slot);
        toStandardOutput(nullptr, slot.echo.data.get(), slot.echo.size);
        writeReports(slot.reports);
        passLines(slot.lines, slot.lastLineStart, slot.size);
        hold.lock();
        slot.state = SlotState::Free;
        ++parallel.turn;
        parallel.changed.notify_all();
    }
    parallel.writing = false;
}

// The rest of the scene, after a stretch with no keyword to cut at: read on
// from the descriptor, in order, once everything before it is written.
void translateRest(Worker& w) {
    Slot& slot = *w.slot;
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.changed.wait(hold, [&] { return parallel.turn == slot.index; });
    }
    textOpenDrain(w.out, toOutput, nullptr);
    textOpenDrain(w.echo, toStandardOutput, nullptr);
    Translator t;
    startTranslator(t, *parallel.mode, w.out, w.echo, parallel.openBefore);
    openSceneDescriptor(parallel.fd, slot.input, slot.size);
    translateStatements(t);
    textFlush(w.out);
    textFlush(w.echo);
    writeReports(sceneReports());
    const bool failed = sceneReadFailed();
    closeScene();
    std::lock_guard<std::mutex> hold(parallel.lock);
    if (failed) parallel.readFailed = true;  // read by no other thread now
    parallel.openBefore = t.openPushes;
    slot.state = SlotState::Free;
    ++parallel.turn;
    parallel.changed.notify_all();
}

// A segment whose text passed kHeldText, cut in its translation or in its
// indentation: its own thread writes it once its turn comes, the lines
// indented as they go out and, if it was cut, the rest of it translated
// straight into the output.
void writeAtTurn(Worker& w) {
    Slot& slot = *w.slot;
    parallel.inOrder = true;
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.changed.wait(hold, [&] { return parallel.turn == slot.index; });
        if (slot.cut) slot.before = parallel.openBefore;  // it is the next to place
    }
    writePieces(slot);
    writeRunsLeft(slot);
    toStandardOutput(nullptr, slot.echo.data.get(), slot.echo.size);
    std::uint64_t openAfter = 0;
    if (slot.cut) {
        textOpenDrain(w.out, toOutput, nullptr);
        textOpenDrain(w.echo, toStandardOutput, nullptr);
        Translator t;
        startTranslator(
            t, *parallel.mode, w.out, w.echo,
            static_cast<std::uint64_t>(
                std::max(static_cast<std::int64_t>(slot.before), -slot.lowest) + slot.depth));
        translateStatements(t);
        textFlush(w.out);
        textFlush(w.echo);
        finishSegment(slot);
        openAfter = t.openPushes;
    }
    writeReports(slot.reports);
    passLines(slot.lines, slot.lastLineStart, slot.size);
    std::lock_guard<std::mutex> hold(parallel.lock);
    if (slot.cut) {
        parallel.openBefore = openAfter;
        ++parallel.placing;
        placeTranslated();
    }
    slot.state = SlotState::Free;
    ++parallel.turn;
    parallel.changed.notify_all();
}

void work(Worker& w) {
    while (Slot* slot = takeSegment()) {
        w.slot = slot;
        if (slot->rest) return translateRest(w);
        translateSegment(w);
        if (slot->cut) {
            writeAtTurn(w);
            writeReady();
            continue;
        }
        std::unique_lock<std::mutex> hold(parallel.lock);
        slot->state = SlotState::Translated;
        placeTranslated();
        parallel.changed.notify_all();
        parallel.changed.wait(hold, [&] { return slot->state == SlotState::Placed; });
        hold.unlock();
        indentSegment(*slot);
        if (slot->piecesCover < slot->runs.size()) {
            writeAtTurn(w);
            writeReady();
            continue;
        }
        hold.lock();
        slot->state = SlotState::Ready;
        hold.unlock();
        writeReady();
    }
}

}  // namespace

int translationThreads(std::int64_t sceneSize) {
    parallel.last = ThreadsRun{0, 0, false};
    if (sceneSize < kThreadsFrom) return 1;
    return std::min(usableCores(), kMostThreads);
}

bool translateOnThreads(const TranslationMode& mode, int threads, const char* sceneFile,
                        std::FILE* output, bool& readFailed) {
    const unsigned char* held = nullptr;
    std::size_t heldLength = 0;
    parallel.fd = handOverScene(held, heldLength);
    parallel.carry.reset(new unsigned char[kSegmentBytes]);
    parallel.slotCount = 2 * static_cast<std::size_t>(threads);
    parallel.slots.reset(new Slot[parallel.slotCount]);
    parallel.workers.reset(new Worker[static_cast<std::size_t>(threads)]);
    std::memcpy(parallel.carry.get(), held, heldLength);
    parallel.carryLength = heldLength;
    parallel.atEnd = parallel.restTaken = parallel.writeFailed = parallel.writing = false;
    parallel.inOrder = false;
    parallel.readFailed = parallel.fd < 0;
    parallel.nextIndex = parallel.placing = parallel.openBefore = 0;
    parallel.turn = parallel.lines = parallel.lineStart = 0;
    parallel.mode = &mode;
    parallel.output = output;
    parallel.reports = startSceneReports(sceneFile);
    for (std::size_t s = 0; s < parallel.slotCount; ++s) parallel.slots[s].state = SlotState::Free;

    toOutput(nullptr, mode.header, std::strlen(mode.header));
    std::vector<std::thread> others;
    for (int k = 1; k < threads; ++k) {
        try {
            others.emplace_back(work, std::ref(parallel.workers[k]));
        } catch (const std::system_error&) {
            break;  // fewer threads: the others take more segments
        }
    }
    work(parallel.workers[0]);
    for (std::thread& t : others) t.join();
    if (parallel.fd >= 0) ::close(parallel.fd);
    finishSceneReports(parallel.reports);

    parallel.last = {static_cast<int>(others.size()) + 1, parallel.nextIndex, parallel.restTaken};
    readFailed = parallel.readFailed;
    TextOut& tail = parallel.workers[0].out;
    textOpen(tail, output);
    Translator closing;
    startTranslator(closing, mode, tail, console(), parallel.openBefore);
    closeOpenPushes(closing);
    textPut(tail, mode.trailer);
    const bool written = textFlush(tail) && !parallel.writeFailed;
    parallel.slots.reset();
    parallel.workers.reset();
    parallel.carry.reset();
    return written;
}

void setSegmentSeam(void (*seam)(std::uint64_t segment)) { parallel.seam = seam; }

ThreadsRun lastThreadsRun() { return parallel.last; }
