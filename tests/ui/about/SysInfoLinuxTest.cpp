// The launcher on Linux with the system's own services: the viewer is found on PATH and
// really started. PATH points at a scratch folder only, so the machine's viewers never run.

#include "FakeServices.h"
#include "support/ScratchFolder.h"
#include "ui/about/SysInfo.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace pedalwise::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A viewer that reports its start in a marker file, then stays running until the test
// releases it, and reports its end in a second file.
constexpr const char* kViewerScript = R"(#!/bin/sh
PATH=/usr/bin:/bin
echo started > "$PEDALWISE_MARKER"
i=0
while [ ! -e "$PEDALWISE_RELEASE" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
echo ended > "$PEDALWISE_MARKER.ended"
)";

bool waitFor(const fs::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The processes whose parent is this one, running or waiting to be reaped.
int childProcesses() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // The fields after the parenthesised command name: state, then the parent's id.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        std::string state;
        pid_t parent = 0;
        if (rest >> state >> parent && parent == ::getpid()) {
            ++count;
        }
    }
    return count;
}

class SysInfoOnLinux : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* path = std::getenv("PATH")) {
            m_savedPath = path;
        }
        fs::create_directories(bin());
        ::setenv("PATH", bin().c_str(), 1);
        ::setenv("PEDALWISE_MARKER", marker().c_str(), 1);
        ::setenv("PEDALWISE_RELEASE", (folder.path() / "release").c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", m_savedPath.c_str(), 1);
        ::unsetenv("PEDALWISE_MARKER");
        ::unsetenv("PEDALWISE_RELEASE");
    }

    fs::path bin() const { return folder.path() / "bin"; }
    fs::path marker() const { return folder.path() / "marker"; }

    void installViewer(const std::string& name, const std::string& content) const {
        fs::permissions(folder.write(bin() / name, content), fs::perms::owner_all);
    }

    ScratchFolder folder;
    RecordingMessageBox messages;

private:
    ScopedMessageBox m_messages{messages};
    std::string m_savedPath;
};

TEST_F(SysInfoOnLinux, startsTheViewerOnPathWithoutWaitingAndLeavesNoChild) {
    installViewer("hardinfo", kViewerScript);

    ui::StartSysInfo();

    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(childProcesses(), 0);
    ASSERT_TRUE(waitFor(marker())) << "the viewer did not start";
    EXPECT_FALSE(fs::exists(marker().string() + ".ended"))
        << "StartSysInfo returned only after the viewer ended";
    folder.write("release", "");
    EXPECT_TRUE(waitFor(marker().string() + ".ended"));
}

TEST_F(SysInfoOnLinux, noViewerOnPathShowsTheMessage) {
    ui::StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
}

TEST_F(SysInfoOnLinux, aViewerThatCannotStartShowsTheMessage) {
    installViewer("hardinfo2", "this is no program\n");
    ui::StartSysInfo();
    EXPECT_EQ(messages.shown, std::vector<Message>{kUnavailable});
    EXPECT_EQ(childProcesses(), 0);
}

} // namespace
} // namespace pedalwise::test
