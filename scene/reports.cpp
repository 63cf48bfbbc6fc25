#include "scene/reports.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "report_log.h"

namespace {

// One per thread: segments of one scene are read on several.
constinit thread_local SceneReports reportLog{};

void putReport(const char* path, const SceneReport& r, std::uint64_t line, std::uint64_t column)
    __attribute__((nonnull));

// The length of `word` without a UTF-8 character that its cut left
// incomplete at its end.
std::size_t wholeCharacters(const char* word, std::size_t length) {
    std::size_t start = length;  // of the last character
    while (start > 0 && length - start < 3 &&
           (static_cast<unsigned char>(word[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0) return length;
    const auto lead = static_cast<unsigned char>(word[start - 1]);
    const std::size_t needs = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return needs > length - start + 1 ? start - 1 : length;
}

// The word as a report quotes it: a NUL byte shown as "\0", a cut word
// ended at a character's boundary and marked by an ellipsis.
const char* quotedWord(char (&out)[2 * sizeof SceneReport::word + 4], const SceneReport& r) {
    std::size_t length = std::min(r.wordLength, sizeof r.word);
    if (r.wordCut) length = wholeCharacters(r.word, length);
    char* p = out;
    for (std::size_t i = 0; i < length; ++i) {
        if (r.word[i] == '\0') {
            *p++ = '\\';
            *p++ = '0';
        } else {
            *p++ = r.word[i];
        }
    }
    if (r.wordCut) p = std::strcpy(p, "…") + std::strlen("…");
    *p = '\0';
    return out;
}

void putReport(const char* path, const SceneReport& r, std::uint64_t line, std::uint64_t column) {
    char quoted[2 * sizeof r.word + 4];
    const char* const word = quotedWord(quoted, r);
    const auto l = static_cast<unsigned long long>(line + 1);
    const auto c = static_cast<unsigned long long>(column + 1);
    switch (r.kind) {
        case ReportKind::UnknownWord:
            std::fprintf(stderr, "%s:%llu:%llu: mot inconnu « %s »\n", path, l, c, word);
            break;
        case ReportKind::NotANumber:
            std::fprintf(stderr, "%s:%llu:%llu: « %s » n'est pas un nombre, lu comme %g\n", path, l,
                         c, word, r.value);
            break;
        case ReportKind::MissingBefore:
            std::fprintf(stderr, "%s:%llu:%llu: nombre manquant avant « %s », lu comme 0\n", path,
                         l, c, word);
            break;
        case ReportKind::MissingAtEnd:
            std::fprintf(stderr, "%s:%llu:%llu: nombre manquant à la fin, lu comme 0\n", path, l,
                         c);
            break;
    }
}

}  // namespace

void startReportLog() {
    reportLog.kept = 0;
    reportLog.count = 0;
}

SceneReport* newReport() {
    ++reportLog.count;
    return reportLog.kept < kReportsShown ? &reportLog.shown[reportLog.kept++] : nullptr;
}

const SceneReports& sceneReports() { return reportLog; }

ReportWriter startSceneReports(const char* path) { return ReportWriter{path, 0, 0}; }

void writeSceneReports(ReportWriter& writer, const SceneReports& reports, std::uint64_t linesBefore,
                       std::uint64_t columnBefore) {
    std::uint64_t shown = 0;
    for (int k = 0; k < reports.kept && writer.written < kReportsShown; ++k) {
        const SceneReport& r = reports.shown[k];
        putReport(writer.path, r, linesBefore + r.line,
                  r.line == 0 ? columnBefore + r.column : r.column);
        ++writer.written;
        ++shown;
    }
    writer.more += reports.count - shown;
}

void finishSceneReports(ReportWriter& writer) {
    if (writer.more == 1)
        std::fprintf(stderr, "%s: 1 autre erreur\n", writer.path);
    else if (writer.more > 1)
        std::fprintf(stderr, "%s: %llu autres erreurs\n", writer.path,
                     static_cast<unsigned long long>(writer.more));
    std::fflush(stderr);
}

void writeAllSceneReports(const char* path) {
    if (reportLog.count == 0) return;
    ReportWriter writer = startSceneReports(path);
    writeSceneReports(writer, reportLog);
    finishSceneReports(writer);
}
