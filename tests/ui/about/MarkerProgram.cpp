// Stands in for the system-information viewer in the launcher's Windows tests. It writes its
// arguments as Windows splits its command line, one a line, into the file named by
// PEDALWISE_MARKER, keeps running until the file named by
// PEDALWISE_RELEASE appears (ten seconds at most), then writes "<marker>.ended".

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string environment(const char* name) {
    char value[4096];
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Written whole under another name and then renamed, so that a reader never sees half of it.
void writeFile(const std::string& path, const std::string& text) {
    const std::string partial = path + ".partial";
    std::ofstream(partial, std::ios::binary) << text;
    std::filesystem::rename(partial, path);
}

} // namespace

int main(int argc, char** argv) {
    const std::string marker = environment("PEDALWISE_MARKER");
    const std::string release = environment("PEDALWISE_RELEASE");
    if (marker.empty()) {
        return 1;
    }
    std::string arguments = argv[0];
    for (int i = 1; i < argc; ++i) {
        arguments += '\n' + std::string(argv[i]);
    }
    writeFile(marker, arguments);
    for (int wait = 0; wait < 200 && !std::filesystem::exists(release); ++wait) {
        ::Sleep(50);
    }
    writeFile(marker + ".ended", "ended");
    return 0;
}
