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
// Room for a segment's text while the segment before it is still being
// written: about five times its scene, the most that real scenes give.
constexpr std::size_t kPendingOutput = 1 << 20;
constexpr std::size_t kPendingEcho = 512 << 10;
constexpr off_t kTwoThreadsFrom = 1 << 20;

struct Segment {
    std::uint64_t index;
    std::size_t size;
    std::uint64_t depthGuess;  // open Pushes before it, as counted ahead
    bool rest;                 // no keyword to cut at: the rest, read from the file
};

struct Worker;

// Where a worker's text goes: held while the segments before its own are
// being written, straight to the output or the console once its turn came.
struct Sink {
    Worker* worker;
    bool echo;
    std::FILE* stream;
    char* pending;
    std::size_t capacity;
    std::size_t length;
};

struct Worker {
    unsigned char input[kSegmentBytes];
    char pendingOutput[kPendingOutput];
    char pendingEcho[kPendingEcho];
    TextOut out, echo;
    Sink outSink, echoSink;
    Translator translator;
    Segment segment;
    std::uint64_t depthUsed;  // open Pushes the segment is translated with
    bool holdsTurn;
    bool wrongDepth;  // the guess proved wrong: the segment is translated again
};

struct ParallelState {
    std::mutex lock;
    std::condition_variable turnPassed;
    // The scene, read under the lock, a segment at a time.
    int fd;
    unsigned char carry[kSegmentBytes];  // read, not yet in a segment
    std::size_t carryLength;
    bool atEnd, readFailed, restTaken;
    std::uint64_t nextIndex;
    std::uint64_t depthGuess;
    // The turn, changed under the lock: the segment whose text is written now.
    std::atomic<std::uint64_t> turn;
    std::uint64_t openPushes;  // after every segment before the turn
    std::uint64_t statements;  // in every segment before the turn
    bool writeFailed;
    const TranslationMode* mode;
    const char* sceneFile;
    std::FILE* output;
    TextOut tail;
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

bool takeSegment(Worker& w) {
    std::lock_guard<std::mutex> hold(parallel.lock);
    if (parallel.readFailed || parallel.restTaken) return false;
    std::size_t length = parallel.carryLength;
    std::memcpy(w.input, parallel.carry, length);
    if (!fill(w.input, length)) parallel.readFailed = true;
    if (parallel.readFailed || length == 0) return false;

    Segment& s = w.segment;
    s.size = parallel.atEnd ? length : lastCut(w.input, length);
    s.rest = s.size == 0;
    parallel.restTaken = s.rest;
    parallel.carryLength = length - s.size;
    std::memcpy(parallel.carry, w.input + s.size, parallel.carryLength);
    s.index = parallel.nextIndex++;
    s.depthGuess = parallel.depthGuess;
    parallel.depthGuess = depthAfter(w.input, s.size, parallel.depthGuess);
    return true;
}

void markReadFailed() {
    std::lock_guard<std::mutex> hold(parallel.lock);
    parallel.readFailed = true;
}

// The echo goes to standard output itself, after what the console holds:
// through the console it would be copied twice more.
void deliver(Sink& s, const char* data, std::size_t size) {
    if (!s.echo) {
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

// Waits until every segment before the worker's own has written its text;
// its held text is then written, unless it was made with a wrong guess.
void takeTurn(Worker& w) {
    if (w.holdsTurn) return;
    {
        std::unique_lock<std::mutex> hold(parallel.lock);
        parallel.turnPassed.wait(hold, [&] { return parallel.turn == w.segment.index; });
        w.wrongDepth = parallel.openPushes != w.depthUsed;
    }
    w.holdsTurn = true;
    if (w.wrongDepth) return;
    for (Sink* s : {&w.outSink, &w.echoSink}) {
        deliver(*s, s->pending, s->length);
        s->length = 0;
    }
}

void passTurn(Worker& w) {
    {
        std::lock_guard<std::mutex> hold(parallel.lock);
        parallel.openPushes = w.translator.openPushes;
        parallel.statements += w.translator.statements;
        ++parallel.turn;
    }
    w.holdsTurn = false;
    parallel.turnPassed.notify_all();
}

ssize_t sinkWrite(void* cookie, const char* data, std::size_t size) {
    Sink& s = *static_cast<Sink*>(cookie);
    Worker& w = *s.worker;
    // The turn is taken as soon as it comes, or when the held text would
    // overflow: from then on the text is not copied on the way.
    if (!w.holdsTurn && (s.length + size > s.capacity ||
                         parallel.turn.load(std::memory_order_relaxed) == w.segment.index))
        takeTurn(w);
    if (w.wrongDepth) return static_cast<ssize_t>(size);  // this attempt's text is dropped
    if (w.holdsTurn) {
        deliver(s, data, size);
    } else {
        std::memcpy(s.pending + s.length, data, size);
        s.length += size;
    }
    return static_cast<ssize_t>(size);
}

// Translates from the open scene into the worker's sinks.
void translateOpen(Worker& w, std::uint64_t openPushes, std::uint64_t skip) {
    w.depthUsed = openPushes;
    w.wrongDepth = false;
    w.outSink.length = w.echoSink.length = 0;
    textOpen(w.out, w.outSink.stream);
    textOpen(w.echo, w.echoSink.stream);
    startTranslator(w.translator, *parallel.mode, w.out, w.echo, openPushes);
    translateStatements(w.translator, skip, &w.wrongDepth);
    textFlush(w.out);
    textFlush(w.echo);
}

void translateSegment(Worker& w) {
    std::uint64_t openPushes = w.segment.depthGuess;
    for (;;) {
        openSceneMemory(w.input, w.segment.size);
        translateOpen(w, openPushes, 0);
        closeScene();
        takeTurn(w);
        if (!w.wrongDepth) break;
        openPushes = parallel.openPushes;  // known now: the turn is held
    }
    passTurn(w);
}

// After a stretch with no keyword to cut at: the rest of the scene, read
// from its file past the statements already translated.
void translateRest(Worker& w) {
    w.depthUsed = ~std::uint64_t{0};
    takeTurn(w);
    if (openScene(parallel.sceneFile) != SceneOpen::Opened) {
        markReadFailed();
        return passTurn(w);
    }
    translateOpen(w, parallel.openPushes, parallel.statements);
    if (sceneReadFailed()) markReadFailed();
    closeScene();
    passTurn(w);
}

void work(Worker& w) {
    while (takeSegment(w)) {
        if (!w.segment.rest) {
            translateSegment(w);
            continue;
        }
        translateRest(w);
        break;
    }
}

void openSinks(Worker& w) {
    const cookie_io_functions_t functions = {nullptr, sinkWrite, nullptr, nullptr};
    w.outSink = {&w, false, nullptr, w.pendingOutput, kPendingOutput, 0};
    w.echoSink = {&w, true, nullptr, w.pendingEcho, kPendingEcho, 0};
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
    parallel.atEnd = parallel.restTaken = parallel.writeFailed = false;
    parallel.readFailed = parallel.fd < 0;
    parallel.nextIndex = parallel.depthGuess = 0;
    parallel.turn = 0;
    parallel.openPushes = parallel.statements = 0;
    parallel.mode = &mode;
    parallel.sceneFile = sceneFile;
    parallel.output = output;
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
