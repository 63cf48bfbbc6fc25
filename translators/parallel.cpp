#include "parallel.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "scene/console.h"
#include "segments.h"

namespace {

constexpr std::size_t kSegmentBytes = 128 << 10;
// Room for a segment's text while the segments before it are not written
// yet: about five times its scene, the most that real scenes give.
constexpr std::size_t kPendingOutput = 1 << 20;
constexpr std::size_t kPendingEcho = 512 << 10;
constexpr off_t kTwoThreadsFrom = 1 << 20;
// Segments a thread may be ahead by: a thread done early goes on with the
// next segment rather than wait for its turn to write.
constexpr int kSlots = 8;

struct Segment {
    std::uint64_t index;
    std::size_t size;
    std::uint64_t depthGuess;  // open Pushes before it, as counted ahead
    bool rest;                 // no keyword to cut at: the rest, read from the file
};

enum class SlotState { Free, Translating, Translated };

// A segment of the scene and, until its turn to be written comes, its text.
struct Slot {
    unsigned char input[kSegmentBytes];
    char pendingOutput[kPendingOutput];
    char pendingEcho[kPendingEcho];
    std::size_t outputLength, echoLength;
    Segment segment;
    std::uint64_t depthUsed;   // open Pushes it was translated with
    std::uint64_t openPushes;  // after it
    std::uint64_t statements;  // in it
    SlotState state;
};

struct Worker;

struct Sink {
    Worker* worker;
    bool echo;
    std::FILE* stream;
};

// A thread's translator and the streams its text leaves through: held in
// its slot, or straight out while every segment before it is written.
struct Worker {
    TextOut out, echo;
    Sink outSink, echoSink;
    Translator translator;
    Slot* slot;
    bool holdsTurn;
    bool wrongDepth;  // the guess proved wrong: the segment is translated again
};

struct ParallelState {
    std::mutex lock;
    std::condition_variable changed;  // a slot translated or freed, the turn passed
    // The scene, read a segment at a time under a lock of its own, so that
    // a read keeps no thread from its turn.
    std::mutex reading;
    int fd;
    unsigned char carry[kSegmentBytes];  // read, not yet in a segment
    std::size_t carryLength;
    bool atEnd, readFailed, restTaken;
    std::uint64_t nextIndex;
    std::uint64_t depthGuess;
    // The turn, changed under the lock: the next segment to write.
    std::atomic<std::uint64_t> turn;
    std::uint64_t openPushes;  // after every segment written
    std::uint64_t statements;  // in every segment written
    bool delivering;           // a thread writes out translated segments
    bool writeFailed;
    const TranslationMode* mode;
    const char* sceneFile;
    std::FILE* output;
    TextOut tail;
    Slot slots[kSlots];
    Worker workers[2];
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

// The next segment, in the slot of its own once that is free; null when
// the scene has no more.
Slot* takeSegment() {
    std::lock_guard<std::mutex> reading(parallel.reading);
    if (parallel.readFailed || parallel.restTaken) return nullptr;
    Slot& slot = parallel.slots[parallel.nextIndex % kSlots];
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.changed.wait(hold, [&] { return slot.state == SlotState::Free; });
    }
    std::size_t length = parallel.carryLength;
    std::memcpy(slot.input, parallel.carry, length);
    if (!fill(slot.input, length)) parallel.readFailed = true;
    if (parallel.readFailed || length == 0) return nullptr;

    Segment& s = slot.segment;
    s.size = parallel.atEnd ? length : lastCut(slot.input, length);
    s.rest = s.size == 0;
    parallel.restTaken = s.rest;
    parallel.carryLength = length - s.size;
    std::memcpy(parallel.carry, slot.input + s.size, parallel.carryLength);
    s.index = parallel.nextIndex++;
    s.depthGuess = parallel.depthGuess;
    parallel.depthGuess = depthAfter(slot.input, s.size, parallel.depthGuess);
    std::lock_guard<std::mutex> hold(parallel.lock);
    slot.state = SlotState::Translating;
    return &slot;
}

void markReadFailed() {
    std::lock_guard<std::mutex> reading(parallel.reading);
    parallel.readFailed = true;
}

// The echo goes to standard output itself, after what the console holds:
// through the console it would be copied twice more.
void deliver(bool echo, const char* data, std::size_t size) {
    if (!echo) {
        if (std::fwrite(data, 1, size, parallel.output) != size) parallel.writeFailed = true;
        return;
    }
    consoleFlush();
    while (size > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            console().failed = true;
            return;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void deliverHeld(Slot& slot) {
    deliver(false, slot.pendingOutput, slot.outputLength);
    deliver(true, slot.pendingEcho, slot.echoLength);
    slot.outputLength = slot.echoLength = 0;
}

// Waits until every segment before the worker's own is written; what it
// holds then goes out, unless it was made with a wrong guess.
void takeTurn(Worker& w) {
    if (w.holdsTurn) return;
    Slot& slot = *w.slot;
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.changed.wait(hold, [&] { return parallel.turn == slot.segment.index; });
        w.wrongDepth = parallel.openPushes != slot.depthUsed;
    }
    w.holdsTurn = true;
    if (!w.wrongDepth) deliverHeld(slot);
}

ssize_t sinkWrite(void* cookie, const char* data, std::size_t size) {
    const Sink& s = *static_cast<Sink*>(cookie);
    Worker& w = *s.worker;
    Slot& slot = *w.slot;
    std::size_t& length = s.echo ? slot.echoLength : slot.outputLength;
    // The turn is taken as soon as it comes, or when the held text would
    // overflow: from then on the text is not copied on the way.
    if (!w.holdsTurn && (length + size > (s.echo ? kPendingEcho : kPendingOutput) ||
                         parallel.turn.load(std::memory_order_relaxed) == slot.segment.index))
        takeTurn(w);
    if (w.wrongDepth) return static_cast<ssize_t>(size);  // this attempt's text is dropped
    if (w.holdsTurn) {
        deliver(s.echo, data, size);
    } else {
        std::memcpy((s.echo ? slot.pendingEcho : slot.pendingOutput) + length, data, size);
        length += size;
    }
    return static_cast<ssize_t>(size);
}

// Translates from the open scene into the worker's slot, or straight out.
void translateOpen(Worker& w, std::uint64_t openPushes, std::uint64_t skip) {
    Slot& slot = *w.slot;
    slot.depthUsed = openPushes;
    slot.outputLength = slot.echoLength = 0;
    w.wrongDepth = false;
    textOpen(w.out, w.outSink.stream);
    textOpen(w.echo, w.echoSink.stream);
    startTranslator(w.translator, *parallel.mode, w.out, w.echo, openPushes);
    translateStatements(w.translator, skip, &w.wrongDepth);
    textFlush(w.out);
    textFlush(w.echo);
    slot.openPushes = w.translator.openPushes;
    slot.statements = w.translator.statements;
}

void translateSlot(Worker& w, std::uint64_t openPushes) {
    openSceneMemory(w.slot->input, w.slot->segment.size);
    translateOpen(w, openPushes, 0);
    closeScene();
}

// Writes out, in order, the translated segments whose turn has come: held
// text as it is, or translated again if the guess it was made with proved
// wrong. One thread at a time; the one that stops does so under the lock,
// so a segment translated meanwhile is never left behind.
void deliverTranslated(Worker& w) {
    std::unique_lock<std::mutex> hold(parallel.lock);
    if (parallel.delivering) return;
    parallel.delivering = true;
    for (;;) {
        Slot& slot = parallel.slots[parallel.turn % kSlots];
        if (slot.state != SlotState::Translated || slot.segment.index != parallel.turn) break;
        const std::uint64_t openPushes = parallel.openPushes;
        hold.unlock();
        if (slot.depthUsed == openPushes) {
            deliverHeld(slot);
        } else {
            w.slot = &slot;
            w.holdsTurn = true;
            translateSlot(w, openPushes);
            w.holdsTurn = false;
        }
        hold.lock();
        parallel.openPushes = slot.openPushes;
        parallel.statements += slot.statements;
        slot.state = SlotState::Free;
        ++parallel.turn;
        parallel.changed.notify_all();
    }
    parallel.delivering = false;
}

// A translated segment waits for its turn, or, written already, passes it.
void finishSlot(Worker& w) {
    Slot& slot = *w.slot;
    {
        std::lock_guard<std::mutex> hold(parallel.lock);
        if (w.holdsTurn) {
            parallel.openPushes = slot.openPushes;
            parallel.statements += slot.statements;
            slot.state = SlotState::Free;
            ++parallel.turn;
        } else {
            slot.state = SlotState::Translated;
        }
    }
    w.holdsTurn = false;
    parallel.changed.notify_all();
    deliverTranslated(w);
}

void translateSegment(Worker& w, Slot& slot) {
    w.slot = &slot;
    w.holdsTurn = false;
    translateSlot(w, slot.segment.depthGuess);
    if (parallel.turn.load(std::memory_order_relaxed) == slot.segment.index) takeTurn(w);
    if (w.holdsTurn && w.wrongDepth) translateSlot(w, parallel.openPushes);
    finishSlot(w);
}

// After a stretch with no keyword to cut at: the rest of the scene, read
// from its file past the statements already translated.
void translateRest(Worker& w, Slot& slot) {
    w.slot = &slot;
    w.holdsTurn = false;
    slot.depthUsed = ~std::uint64_t{0};
    takeTurn(w);
    if (openScene(parallel.sceneFile) == SceneOpen::Opened) {
        translateOpen(w, parallel.openPushes, parallel.statements);
        if (sceneReadFailed()) markReadFailed();
        closeScene();
    } else {
        markReadFailed();
        slot.openPushes = parallel.openPushes;
        slot.statements = 0;
    }
    finishSlot(w);
}

void work(Worker& w) {
    while (Slot* slot = takeSegment()) {
        if (slot->segment.rest) return translateRest(w, *slot);
        translateSegment(w, *slot);
    }
}

void openSinks(Worker& w) {
    const cookie_io_functions_t functions = {nullptr, sinkWrite, nullptr, nullptr};
    w.outSink = {&w, false, nullptr};
    w.echoSink = {&w, true, nullptr};
    for (Sink* s : {&w.outSink, &w.echoSink}) {
        s->stream = fopencookie(s, "w", functions);
        if (s->stream) std::setvbuf(s->stream, nullptr, _IONBF, 0);
    }
}

void closeSinks(Worker& w) {
    for (Sink* s : {&w.outSink, &w.echoSink})
        if (s->stream) std::fclose(s->stream);
}

}  // namespace

bool worthTwoThreads(const char* sceneFile) {
    struct stat info;
    return std::thread::hardware_concurrency() >= 2 && ::stat(sceneFile, &info) == 0 &&
           S_ISREG(info.st_mode) && info.st_size >= kTwoThreadsFrom;
}

bool translateOnTwoThreads(const TranslationMode& mode, const char* sceneFile, std::FILE* output,
                           bool& readFailed) {
    parallel.fd = ::open(sceneFile, O_RDONLY | O_CLOEXEC);
    parallel.carryLength = 0;
    parallel.atEnd = parallel.restTaken = parallel.writeFailed = parallel.delivering = false;
    parallel.readFailed = parallel.fd < 0;
    parallel.nextIndex = parallel.depthGuess = 0;
    parallel.turn = 0;
    parallel.openPushes = parallel.statements = 0;
    parallel.mode = &mode;
    parallel.sceneFile = sceneFile;
    parallel.output = output;
    for (Slot& slot : parallel.slots) slot.state = SlotState::Free;
    bool sinksOpen = true;
    for (Worker& w : parallel.workers) {
        openSinks(w);
        sinksOpen = sinksOpen && w.outSink.stream && w.echoSink.stream;
    }

    TextOut& tail = parallel.tail;
    textOpen(tail, output);
    textPut(tail, mode.header);
    textFlush(tail);
    if (sinksOpen) {
        std::thread second;
        try {
            second = std::thread(work, std::ref(parallel.workers[1]));
        } catch (const std::system_error&) {
            // No second thread: the first takes every segment in turn.
        }
        work(parallel.workers[0]);
        if (second.joinable()) second.join();
        deliverTranslated(parallel.workers[0]);  // none should be left; if one were, it goes out
    } else {
        parallel.writeFailed = true;  // no memory for the sinks
    }
    for (Worker& w : parallel.workers) closeSinks(w);
    if (parallel.fd >= 0) ::close(parallel.fd);

    readFailed = parallel.readFailed;
    Translator closing;
    startTranslator(closing, mode, tail, console(), parallel.openPushes);
    closeOpenPushes(closing);
    textPut(tail, mode.trailer);
    return textFlush(tail) && !parallel.writeFailed;
}
