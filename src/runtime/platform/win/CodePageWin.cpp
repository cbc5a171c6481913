#include "runtime/platform/CodePage.h"

#include <climits>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pedalwise::runtime {
namespace {

std::wstring widen(UINT codePage, DWORD flags, std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (bytes.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    }
    return wide;
}

// `lossless` is cleared when a character had no byte in the code page.
std::string narrow(UINT codePage, const std::wstring& wide, bool* lossless) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // The UTF-8 code page takes no flags and cannot report a replaced character.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 || lossless == nullptr ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                            used);
    }
    if (lossless != nullptr) {
        *lossless = length > 0 && usedDefault == FALSE;
    }
    return bytes;
}

} // namespace

std::string fromSystemCodePage(std::string_view bytes) {
    return narrow(CP_UTF8, widen(CP_ACP, 0, bytes), nullptr);
}

std::optional<std::string> toSystemCodePage(std::string_view utf8) {
    if (utf8.empty()) {
        return std::string();
    }
    const std::wstring wide = widen(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    bool lossless = false;
    std::string bytes = narrow(CP_ACP, wide, &lossless);
    if (wide.empty() || !lossless) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace pedalwise::runtime
