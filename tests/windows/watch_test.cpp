// The scene file watch on Windows, with the window stood in for: an edit
// is seen whatever its size and however soon after the last one, and so is
// another file put in the scene's place.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "viewer/watch.h"
#include "window/window.h"

namespace {

struct Stand {
    std::string scene;
    int redraws = 0;
};
Stand stand;

std::string scratchName(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "mirovan-watch-" + std::to_string(GetCurrentProcessId()) + "-" +
           name;
}

void write(const std::string& path, const char* text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(text, file);
    std::fclose(file);
}

// The last write at a whole second plus `steps` of 100 ns: edits within one
// second of each other, whatever the machine's speed.
void setWritten(const std::string& path, unsigned steps) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const unsigned long long at = 133000000000000000ull + steps;  // a whole second, in 2022
    FILETIME time{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

// Redraws asked for by one tick of the watch.
int tick() {
    const int before = stand.redraws;
    watchSceneFile();
    return stand.redraws - before;
}

}  // namespace

void requestRedraw() { ++stand.redraws; }

TEST(SceneWatch, SameSizeEditsWithinASecondAreSeen) {
    stand.scene = scratchName("s.scn");
    write(stand.scene, "Cube 1 1 1\n");
    setWritten(stand.scene, 1000000);  // .1 s
    setWatchedFile(stand.scene.c_str());
    noteSceneVersionRead();
    EXPECT_EQ(tick(), 0);

    write(stand.scene, "Cube 2 2 2\n");
    setWritten(stand.scene, 2000000);  // .2 s
    EXPECT_EQ(tick(), 1);
    EXPECT_EQ(tick(), 0);
    write(stand.scene, "Cube 3 3 3\n");
    setWritten(stand.scene, 2000001);  // 100 ns later
    EXPECT_EQ(tick(), 1);

    // Another file, same size and same last write, renamed over the scene.
    const std::string other = scratchName("other.scn");
    write(other, "Cube 4 4 4\n");
    setWritten(other, 2000001);
    ASSERT_TRUE(MoveFileExA(other.c_str(), stand.scene.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(tick(), 1);

    DeleteFileA(stand.scene.c_str());
    EXPECT_EQ(tick(), 1);
    EXPECT_EQ(tick(), 0);
}
