#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scanner.h"
#include "fuzz/checks.h"
#include "fuzz/scene_model.h"

namespace {

// The same input open twice: through the C library and through the reader.
struct Pair {
    std::FILE* file;
    std::vector<char> token;  // room for the longest token the input holds
    const std::uint8_t* data;
    std::size_t size;
};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string consumedMismatch(Pair& pair, const char* where) {
    const long libc = std::ftell(pair.file);
    if (scanConsumed() > pair.size) return std::string(where) + ": consumed beyond the input";
    if (static_cast<std::uint64_t>(libc) == scanConsumed()) return "";
    return std::string(where) + ": bytes consumed " + std::to_string(libc) + " by fscanf, " +
           std::to_string(scanConsumed()) + " by the reader";
}

// Takes a token with fscanf; its full length (it may hold NUL bytes) is
// what lies between the blanks skipped and where fscanf stopped.
bool libcToken(Pair& pair, std::size_t& length) {
    std::size_t start = static_cast<std::size_t>(std::ftell(pair.file));
    if (std::fscanf(pair.file, "%s", pair.token.data()) != 1) return false;
    auto blank = [](std::uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (start < pair.size && blank(pair.data[start])) ++start;
    length = static_cast<std::size_t>(std::ftell(pair.file)) - start;
    return true;
}

// That token as the reader sees it: a C string for the keyword lookup, and
// no keyword at all when it is longer than the reader keeps.
StatementKind kindOfLibcToken(const Pair& pair, std::size_t length) {
    if (length > kTokenKeep) return StatementKind::Unrecognised;
    return kindOfToken(pair.token.data());
}

std::string compareStatements(Pair& pair, NumberPrecision precision) {
    const char* name = precision == NumberPrecision::Mixed ? "mixed" : "double";
    scanOpenMemory(pair.data, pair.size);
    SceneStatement s;
    for (int index = 0;; ++index) {
        const std::string where = std::string(name) + " statement " + std::to_string(index);
        std::size_t length = 0;
        const bool libc = libcToken(pair, length);
        const bool ours = nextStatement(s, precision);
        if (libc != ours) return where + ": fscanf and the reader disagree on a token";
        if (!ours) return consumedMismatch(pair, where.c_str());
        const StatementKind kind = kindOfLibcToken(pair, length);
        if (s.kind != kind) return where + ": wrong keyword";
        const KeywordInfo& info = keywordInfo(kind);
        if (s.count != info.count) return where + ": wrong number count";
        const bool asDouble = precision == NumberPrecision::Double ||
                              (kind >= StatementKind::Cube && kind <= StatementKind::Cone);
        int n = 0, read = 0;
        for (int g = 0; g < info.groupCount; ++g) {
            bool converting = true;
            for (int k = 0; k < info.groups[g]; ++k, ++n) {
                double expected = 0.0;
                if (converting) {
                    float single = 0.0f;
                    converting = asDouble ? std::fscanf(pair.file, "%lf", &expected) == 1
                                          : std::fscanf(pair.file, "%f", &single) == 1;
                    if (converting && !asDouble) expected = single;
                    if (!converting) expected = 0.0;
                    read += converting;
                }
                // Not finite: 0 for every use, but echoed as read.
                const bool finite = std::isfinite(expected);
                if (!sameBits(s.values[n], finite ? expected : 0.0))
                    return where + ": number " + std::to_string(n) + " is " +
                           printfFixed(s.values[n]) + ", fscanf read " + printfFixed(expected);
                if (((s.nonFinite >> n) & 1u) == finite)
                    return where + ": number " + std::to_string(n) + " wrongly marked";
                const std::string text(s.texts[n].text, s.texts[n].length);
                if (text != printfFixed(expected))
                    return where + ": number " + std::to_string(n) + " written " + text +
                           ", printf writes " + printfFixed(expected);
            }
        }
        if (s.numbersRead != read) return where + ": wrong count of numbers read";
        const std::string consumed = consumedMismatch(pair, where.c_str());
        if (!consumed.empty()) return consumed;
    }
}

// Tokens and numbers in an order drawn from the input itself.
std::string compareOperations(Pair& pair) {
    std::uint64_t random = 1469598103934665603ull;
    for (std::size_t i = 0; i < pair.size; ++i) random = (random ^ pair.data[i]) * 1099511628211ull;
    scanOpenMemory(pair.data, pair.size);
    for (int op = 0; op < 64; ++op) {
        random = random * 6364136223846793005ull + 1442695040888963407ull;
        const int which = static_cast<int>(random >> 62) % 3;
        const std::string where = "operation " + std::to_string(op);
        bool libc = false, ours = false;
        if (which == 0) {
            ScanToken token;
            std::size_t length = 0;
            libc = libcToken(pair, length);
            ours = scanToken(token);
            if (libc && ours) {
                const std::size_t keep = std::min(token.length, kTokenKeep);
                const std::size_t end = static_cast<std::size_t>(std::ftell(pair.file));
                if (token.length != length ||
                    std::memcmp(pair.data + end - token.length, token.text, keep) != 0 ||
                    token.text[keep] != '\0')
                    return where + ": token differs";
            }
        } else if (which == 1) {
            double a = 0, b = 0;
            libc = std::fscanf(pair.file, "%lf", &a) == 1;
            ours = scanDouble(b);
            if (libc && ours && !sameBits(a, b)) return where + ": double differs";
        } else {
            float a = 0, b = 0;
            libc = std::fscanf(pair.file, "%f", &a) == 1;
            ours = scanFloat(b);
            if (libc && ours && std::memcmp(&a, &b, sizeof a) != 0)
                return where + ": float differs";
        }
        if (libc != ours)
            return where + (libc ? ": only fscanf converted" : ": only the reader converted");
        const std::string consumed = consumedMismatch(pair, where.c_str());
        if (!consumed.empty()) return consumed;
    }
    return "";
}

}  // namespace

std::string checkReader(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        SceneStatement s;
        openSceneMemory(data, 0);
        const bool any = nextStatement(s, NumberPrecision::Mixed);
        closeScene();
        return any ? "a statement in an empty input" : "";
    }
    Pair pair{nullptr, std::vector<char>(size + 1), data, size};
    std::string failure;
    for (int pass = 0; pass < 3 && failure.empty(); ++pass) {
        pair.file = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
        if (pair.file == nullptr) return "fmemopen failed";
        failure = pass == 0   ? compareStatements(pair, NumberPrecision::Mixed)
                  : pass == 1 ? compareStatements(pair, NumberPrecision::Double)
                              : compareOperations(pair);
        std::fclose(pair.file);
        closeScene();
    }
    return failure;
}
