// Where a scene goes wrong: each word that is not a keyword and each number
// that cannot be read, told on standard error as "scene.scn:LINE:COLUMN: ..."
// (line and column from 1, the column in bytes). The reader collects them
// for each reading on its own thread; the mode says when they are written.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kReportsShown = 20;  // per reading; the rest are counted

enum class ReportKind : unsigned char {
    UnknownWord,    // a word that is no keyword
    NotANumber,     // a word where a number was read, not all of it a number
    MissingBefore,  // a keyword where a number was to be read
    MissingAtEnd,   // the scene ended where a number was to be read
};

struct SceneReport {
    ReportKind kind;
    std::uint64_t line;    // from 0, in the bytes this reading took
    std::uint64_t column;  // from 0, in bytes; on line 0, from the first byte read
    char word[100];        // the word as written, up to 99 bytes of it
    std::size_t wordLength;
    bool wordCut;  // longer than what is kept
    double value;  // NotANumber: what the statement took instead
};

struct SceneReports {
    SceneReport shown[kReportsShown];
    int kept;             // reports in `shown`
    std::uint64_t count;  // every report, kept or not
};

// The reports of the reading last opened on this thread.
const SceneReports& sceneReports();

// Writes a run's reports in order, whether the scene is read in one piece or
// in several: `linesBefore` and `columnBefore` place a piece that did not
// start at the scene's first byte. At most kReportsShown lines per run, then
// finishSceneReports tells how many more there were.
struct ReportWriter {
    const char* path;
    int written;
    std::uint64_t more;
};
ReportWriter startSceneReports(const char* path);
void writeSceneReports(ReportWriter& writer, const SceneReports& reports,
                       std::uint64_t linesBefore = 0, std::uint64_t columnBefore = 0);
void finishSceneReports(ReportWriter& writer);

// A reading's reports from start to end, for a scene read in one piece.
void writeAllSceneReports(const char* path);

// For screen mode, which reads the scene on every frame but reports once per
// version: while on, the bytes read are mixed into a number that differs
// from one content to another.
void fingerprintScenes(bool on);
std::uint64_t sceneFingerprint();  // of the reading last closed or open
