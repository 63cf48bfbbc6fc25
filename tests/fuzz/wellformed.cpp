#include "fuzz/wellformed.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "fuzz/scene_model.h"

namespace {

std::vector<std::string> splitLines(const std::string& text, bool& endsWithBreak) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find('\n', start)) != std::string::npos; start = at + 1)
        lines.push_back(text.substr(start, at - start));
    endsWithBreak = start == text.size();
    if (!endsWithBreak) lines.push_back(text.substr(start));
    return lines;
}

std::size_t leadingBlanks(const std::string& line) {
    const std::size_t n = line.find_first_not_of(' ');
    return n == std::string::npos ? line.size() : n;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(' ', start)) != std::string::npos) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::string at(std::size_t line, const std::string& what) {
    return "line " + std::to_string(line + 1) + ": " + what;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::size_t shown(std::int64_t level) {
    return static_cast<std::size_t>(std::min<std::int64_t>(level, 999));
}

}  // namespace

bool isFixedText(const std::string& word) {
    std::size_t i = word.size() > 0 && word[0] == '-' ? 1 : 0;
    const std::string rest = word.substr(i);
    if (rest == "inf" || rest == "nan") return true;
    const std::size_t dot = rest.find('.');
    if (dot == std::string::npos || dot == 0 || rest.size() - dot != 7) return false;
    for (std::size_t k = 0; k < rest.size(); ++k)
        if (k != dot && (rest[k] < '0' || rest[k] > '9')) return false;
    return true;
}

std::string checkVrmlShape(const std::string& text) {
    bool endsWithBreak = false;
    const std::vector<std::string> lines = splitLines(text, endsWithBreak);
    if (!endsWithBreak) return "the text does not end with a line break";
    if (lines.empty() || lines[0] != "#VRML V1.0 ascii") return "no VRML header";
    std::int64_t depth = 0;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::size_t blanks = leadingBlanks(line);
        const std::string body = line.substr(blanks);
        if (body == "}") {
            if (depth == 0) return at(n, "a closing brace with no Separator open");
            --depth;
            if (blanks != shown(depth)) return at(n, "closing brace not under its Separator");
            continue;
        }
        if (body.empty() || !endsWith(body, " {") || body.find(' ') != body.size() - 2)
            return at(n, "expected a node line, got \"" + line.substr(0, 80) + "\"");
        if (blanks != shown(depth)) return at(n, "node line at the wrong depth");
        if (body == "Separator {") {
            ++depth;
            continue;
        }
        // Field lines, one blank deeper, up to the one that closes the node.
        for (bool closed = false; !closed;) {
            if (++n >= lines.size()) return at(n, "node left open at the end");
            const std::string& field = lines[n];
            if (leadingBlanks(field) != shown(depth) + 1)
                return at(n, "field line at the wrong depth");
            std::vector<std::string> parts = words(field);
            closed = !parts.empty() && parts.back() == "}";
            if (closed) parts.pop_back();
            if (parts.size() < 2) return at(n, "field without a value");
            for (std::size_t k = 1; k < parts.size(); ++k)
                if (!isFixedText(parts[k]) || !std::isdigit(parts[k].back()))
                    return at(n, "not a finite %f number: " + parts[k].substr(0, 40));
        }
    }
    if (depth != 0) return std::to_string(depth) + " Separators left open at the end";
    return "";
}

std::string checkSourceShape(const std::string& text) {
    const std::string open = "void scene(void) {\n glPushMatrix() ;\n";
    const std::string close = " glPopMatrix() ;\n}\n\nvoid myInit (void) {\n";
    const std::size_t bodyStart = text.find(open);
    const std::size_t bodyEnd = text.rfind(close);
    if (bodyStart == std::string::npos || bodyEnd == std::string::npos ||
        bodyEnd < bodyStart + open.size())
        return "the scene function's frame is broken";
    std::int64_t balance = 0;
    for (char c : text) {
        balance += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (balance < 0) return "a brace closes before one opens";
    }
    if (balance != 0) return "braces unbalanced by " + std::to_string(balance);

    bool endsWithBreak = false;
    const std::vector<std::string> lines = splitLines(
        text.substr(bodyStart + open.size(), bodyEnd - bodyStart - open.size()), endsWithBreak);
    if (!lines.empty() && !endsWithBreak) return "the scene body does not end with a line break";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::size_t prefix = leadingBlanks(lines[n]);
        if (lines[n].compare(prefix, 2, "{ ") != 0)
            return at(n, "a statement block does not open its line");
        for (bool closed = endsWith(lines[n], " }"); !closed;) {
            if (++n >= lines.size()) return at(n, "statement block left open");
            if (leadingBlanks(lines[n]) != prefix + 2)
                return at(n, "continuation line at the wrong depth");
            closed = endsWith(lines[n], " }");
        }
    }
    if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos)
        return "a number that does not compile (nan or inf)";
    return "";
}

std::string checkEchoShape(const std::string& text) {
    bool endsWithBreak = false;
    const std::vector<std::string> lines = splitLines(text, endsWithBreak);
    if (!text.empty() && !endsWithBreak) return "the echo does not end with a line break";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].empty()) continue;
        const std::vector<std::string> parts = words(lines[n]);
        const StatementKind kind = kindOfToken(parts[0].c_str());
        if (kind == StatementKind::Unrecognised) return at(n, "echo of no keyword");
        if (static_cast<int>(parts.size()) != keywordInfo(kind).count + 1)
            return at(n, parts[0] + " echoed with the wrong count of numbers");
        for (std::size_t k = 1; k < parts.size(); ++k)
            if (!isFixedText(parts[k])) return at(n, "not a %f number: " + parts[k].substr(0, 40));
    }
    return "";
}

std::string describeDifference(const std::string& got, const std::string& want) {
    if (got == want) return "";
    std::size_t n = 0;
    while (n < got.size() && n < want.size() && got[n] == want[n]) ++n;
    const std::size_t from = n > 40 ? n - 40 : 0;
    return "at byte " + std::to_string(n) + " of " + std::to_string(got.size()) + ": got \"" +
           got.substr(from, 80) + "\", want \"" + want.substr(from, 80) + "\"";
}
