#include "scene/scene.h"

#include "scene/console.h"
#include "scanner.h"
#include "statement_shape.h"

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
        case ScanOpen::Opened: return SceneOpen::Opened;
        case ScanOpen::Missing: return SceneOpen::Missing;
        case ScanOpen::Unreadable: break;
    }
    return SceneOpen::Unreadable;
}

void openSceneMemory(const void* data, std::size_t size) { scanOpenMemory(data, size); }

bool nextStatement(SceneStatement& statement, NumberPrecision precision) {
    ScanToken token;
    if (!scanToken(token)) return false;

    const StatementKind kind =
        token.length <= kTokenKeep ? lookupKeyword(token.text) : StatementKind::Unrecognised;
    const StatementShape& shape = statementShape(kind);
    const bool asDouble = readsDouble(kind, precision);

    statement.kind = kind;
    statement.count = shape.count;
    statement.numbersRead = 0;
    statement.nonFinite = 0;
    int index = 0;
    for (int g = 0; g < shape.groupCount; ++g) {
        bool converting = true;
        for (int n = 0; n < shape.groups[g]; ++n, ++index) {
            double& value = statement.values[index];
            FixedText& text = statement.texts[index];
            if (converting && scanPlainNumber(!asDouble, value, text)) {
                ++statement.numbersRead;
                continue;
            }
            value = 0.0;
            converting = converting && readNumber(asDouble, value);
            if (converting) ++statement.numbersRead;
            setFixedText(text, value);
            if (!std::isfinite(value)) {
                value = 0.0;
                statement.nonFinite |= 1u << index;
            }
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
