#pragma once

#include <cstdint>
#include <string>

namespace pedalwise::ui {

// The launcher of the operating system's system-information viewer behind the About window's
// "System Info" button. The registry (Windows only), the file lookup, the program start and
// the message box are reached through the runtime's services, which tests replace.

// Text of the one message shown for every failure to find or start the viewer.
inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Starts the viewer without waiting for it. On Windows: first the full program path stored
// under HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO" "PATH", started as it is; failing that,
// the folder under HKLM "SOFTWARE\Microsoft\Shared Tools Location" "MSINFO" with
// "\MSINFO32.EXE" appended, started only if that file is there. Elsewhere the first of the
// desktops' viewers found on PATH. Anything else, a run-time error included, shows the
// failure message once.
void StartSysInfo();

#ifdef _WIN32

// Reads the value SubKeyRef of the key KeyName below the root KeyRoot as text into KeyVal and
// says whether it was read. A string value gives its text without the terminating NUL; a
// 32-bit number gives its value in decimal; a value of any other type leaves KeyVal as it was
// and still counts as read. A key or value that is absent, unreadable or longer than 1024
// bytes empties KeyVal and answers false. Value data of length zero throws RuntimeError. The
// key is closed on every exit.
//
// Texts are the program's UTF-8; the registry gets and gives them in the system code page.
// Only KeyVal is an out parameter, so the others are taken by value or const reference; the
// result is a plain bool.
bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal);
#endif

} // namespace pedalwise::ui
