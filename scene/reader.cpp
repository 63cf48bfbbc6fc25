#include "scene/scene.h"

#include "scene/console.h"
#include "scanner.h"
#include "statement_shape.h"

#include <algorithm>
#include <cmath>

namespace {

bool readsDouble(StatementKind kind, NumberPrecision precision) {
    if (precision == NumberPrecision::Double) return true;
    return kind >= StatementKind::Cube && kind <= StatementKind::Cone;
}

bool readNumber(bool asDouble, double& value) {
    if (asDouble) return scanDouble(value);
    float single;
    if (!scanFloat(single)) return false;
    value = single;
    return true;
}

}  // namespace

SceneOpen openScene(const char* path) {
    switch (scanOpenFile(path)) {
        case ScanOpen::Opened: scanSkipByteOrderMark(); return SceneOpen::Opened;
        case ScanOpen::Missing: return SceneOpen::Missing;
        case ScanOpen::Unreadable: break;
    }
    return SceneOpen::Unreadable;
}

void openSceneMemory(const void* data, std::size_t size) {
    scanOpenMemory(data, size);
    scanSkipByteOrderMark();
}

void openScenePiece(const void* data, std::size_t size) { scanOpenMemory(data, size); }

void openSceneDescriptor(int fd, const void* held, std::size_t length) {
    scanOpenDescriptor(fd, held, length);
}

int handOverScene(const unsigned char*& held, std::size_t& length) {
    return scanHandOver(held, length);
}

std::int64_t openSceneSize() { return scanFileSize(); }

std::uint64_t sceneLinesTaken(std::uint64_t& lastLineStart) {
    return scanLinesTaken(lastLineStart);
}

bool nextStatement(SceneStatement& statement, NumberPrecision precision) {
    StatementKind kind;
    if (!scanKeyword(kind)) return false;
    const StatementShape& shape = statementShape(kind);
    const bool asDouble = readsDouble(kind, precision);

    statement.kind = kind;
    statement.count = shape.count;
    statement.nonFinite = 0;
    // Most statements hold plain decimals only, read in one call; the groups
    // of reads matter only from the first number that is not one.
    const int plain = shape.count == 0 ? 0
                                       : scanPlainNumbers(!asDouble, shape.count, statement.values,
                                                          statement.texts);
    statement.numbersRead = plain;
    int index = 0;
    for (int g = 0; g < shape.groupCount && index < shape.count; ++g) {
        const int end = index + shape.groups[g];
        if (end <= plain) {
            index = end;
            continue;
        }
        // The numbers before `plain` in this group were read; read on.
        bool converting = true;
        for (index = std::max(index, plain); index < end; ++index) {
            double& value = statement.values[index];
            FixedText& text = statement.texts[index];
            if (converting && scanPlainNumber(!asDouble, value, text)) {
                ++statement.numbersRead;
                continue;
            }
            value = 0.0;
            if (!converting) {
                setFixedText(text, value);
                continue;
            }
            // Not a plain decimal: what the user wrote there is kept for
            // the report made when no number, or only part of it, is read.
            ScanWord word;
            scanWordAhead(word);
            converting = readNumber(asDouble, value);
            if (converting) ++statement.numbersRead;
            setFixedText(text, value);
            if (!std::isfinite(value)) {
                value = 0.0;
                statement.nonFinite |= 1u << index;
            }
            if (!converting || scanNumberStopsInWord(word)) scanNoteNumber(word, converting, value);
        }
    }
    return true;
}

bool sceneReadFailed() { return scanReadFailed(); }

void closeScene() { scanClose(); }

void reportUnopenedScene(SceneOpen result, const char* path) {
    if (result == SceneOpen::Missing)
        textPrintf(console(), "%s n'existe pas!!!\n", path);
    else if (result == SceneOpen::Unreadable)
        textPrintf(console(), "%s n'est pas lisible!!!\n", path);
}
