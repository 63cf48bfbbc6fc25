#include "notices.h"

#include <cstdio>

#include "support/support_state.h"

namespace {

constexpr const char* kTexts[] = {
    "Trop de materiaux empiles!!!\n", "Pile de materiaux vide!!!\n",
    "Trop de lumieres!!!\n",          "Trop d'ensembles de lumieres empiles!!!\n",
    "Pile de lumieres vide!!!\n",
};
constexpr int kCount = sizeof kTexts / sizeof kTexts[0];

struct NoticeState {
    bool shown[kCount];
    SupportMessageSink sink;
};
NoticeState state;

}  // namespace

void noticeOnce(Notice which) {
    const int k = static_cast<int>(which);
    if (k < 0 || k >= kCount || state.shown[k]) return;
    state.shown[k] = true;
    if (state.sink)
        state.sink(kTexts[k]);
    else
        std::printf("%s", kTexts[k]);
}

void clearNotices() {
    for (bool& shown : state.shown) shown = false;
}

void setSupportMessageSink(SupportMessageSink sink) { state.sink = sink; }
