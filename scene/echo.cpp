#include "scene/echo.h"

void textPutEcho(TextOut& out, const SceneStatement& statement) {
    textPut(out, keywordText(statement.kind), keywordLength(statement.kind));
    static const int kSpotEchoOrder[] = {0, 1, 2, 3, 4, 5, 6, 10, 7, 8, 9};
    const bool spot = statement.kind == StatementKind::Spotlight;
    for (int n = 0; n < statement.count; ++n) {
        textPutChar(out, ' ');
        textPut(out, statement.texts[spot ? kSpotEchoOrder[n] : n]);
    }
}
