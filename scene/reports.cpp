#include "scene/reports.h"

#include <cstdio>

#include "report_log.h"

namespace {

// One per thread: segments of one scene are read on several.
constinit thread_local SceneReports reportLog{};

void putReport(const char* path, const SceneReport& r, std::uint64_t line, std::uint64_t column)
    __attribute__((nonnull));

void putReport(const char* path, const SceneReport& r, std::uint64_t line, std::uint64_t column) {
    const int length = static_cast<int>(r.wordLength);
    const char* const cut = r.wordCut ? "…" : "";
    const auto l = static_cast<unsigned long long>(line + 1);
    const auto c = static_cast<unsigned long long>(column + 1);
    switch (r.kind) {
        case ReportKind::UnknownWord:
            std::fprintf(stderr, "%s:%llu:%llu: mot inconnu « %.*s%s »\n", path, l, c, length,
                         r.word, cut);
            break;
        case ReportKind::NotANumber:
            std::fprintf(stderr, "%s:%llu:%llu: « %.*s%s » n'est pas un nombre, lu comme %g\n",
                         path, l, c, length, r.word, cut, r.value);
            break;
        case ReportKind::MissingBefore:
            std::fprintf(stderr, "%s:%llu:%llu: nombre manquant avant « %.*s%s », lu comme 0\n",
                         path, l, c, length, r.word, cut);
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
