// -html: the scene read once through the evaluation, then one HTML file
// holding the page's script and the scene's tables.
#include <string>
#include <string_view>

#include "exporters/exporters.h"
#include "page_tables.h"
#include "page_text.h"
#include "output/export_run.h"

namespace {

struct PageState {
    std::string title;
};

PageState page;

bool put(std::FILE* output, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), output) == text.size();
}

// The scene file's name, as text the HTML cannot take for markup.
std::string titleOf(const char* sceneFile) {
    std::string_view name = sceneFile;
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    std::string title;
    for (char c : name) {
        switch (c) {
            case '&': title += "&amp;"; break;
            case '<': title += "&lt;"; break;
            case '>': title += "&gt;"; break;
            default: title += c;
        }
    }
    return title + " - Mirovan";
}

bool writePage(std::FILE* output) {
    std::string_view rest = kPageTemplate;
    bool ok = true;
    while (ok) {
        const std::size_t at = rest.find('@');
        if (at == std::string_view::npos) break;
        const std::size_t end = rest.find('@', at + 1);
        ok = put(output, rest.substr(0, at));
        const std::string_view field = rest.substr(at + 1, end - at - 1);
        if (field == "TITLE") ok = ok && put(output, page.title);
        if (field == "SCENE") ok = ok && writePageData(pageTables(), output);
        if (field == "SCRIPT") ok = ok && put(output, kPageScript);
        rest.remove_prefix(end + 1);
    }
    return ok && put(output, rest);
}

void beginPage(std::FILE*) { startPageTables(); }  // the page is written whole at the end

const ExportMode kPageMode = {beginPage, takePageStatement, writePage};

}  // namespace

bool PageExporter(const char* sceneFile, const char* outputFile) {
    page.title = titleOf(sceneFile);
    return runExport(kPageMode, sceneFile, outputFile);
}

bool PageExportMemory(const void* scene, std::size_t size, std::FILE* output) {
    page.title = "Mirovan";
    return runExportMemory(kPageMode, scene, size, output);
}
