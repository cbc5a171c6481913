// Waits on the X display for a managed top-level window with a given title to become viewable
// and prints the moment on the monotonic clock. This times any program from the outside, the
// installed one too, without a line of code in it. Prints "ready" once it is watching, so the
// program can be started after that.
//
//   pedalwise_startup_mapwatch TITLE [TIMEOUT_MS]
#include <xcb/xcb.h>

#include <poll.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    auto reply = Owned(xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint8_t> Property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property,
                                   xcb_atom_t type) {
    auto reply = Owned(xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, property, type, 0, 1 << 16), nullptr));
    if (!reply) {
        return {};
    }
    const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get())};
}

// Watches the window manager's client list and each client's map state.
class Watcher {
public:
    Watcher(xcb_connection_t* x, std::string title) : m_x(x), m_title(std::move(title)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        m_clientList = Atom(x, "_NET_CLIENT_LIST");
        m_netWmName = Atom(x, "_NET_WM_NAME");
        m_utf8 = Atom(x, "UTF8_STRING");
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(x, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x);
    }

    // True when a client window with the title is viewable.
    bool Found() {
        const auto list = Property(m_x, m_root, m_clientList, XCB_ATOM_WINDOW);
        for (std::size_t i = 0; i + sizeof(xcb_window_t) <= list.size();
             i += sizeof(xcb_window_t)) {
            xcb_window_t window{};
            std::memcpy(&window, list.data() + i, sizeof window);
            if (!HasTitle(window)) {
                continue;
            }
            if (m_watched.insert(window).second) {
                // The map that follows wakes us at once.
                const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(m_x, window, XCB_CW_EVENT_MASK, &mask);
            }
            auto attributes = Owned(xcb_get_window_attributes_reply(
                m_x, xcb_get_window_attributes(m_x, window), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                return true;
            }
        }
        return false;
    }

private:
    bool HasTitle(xcb_window_t window) {
        auto name = Property(m_x, window, m_netWmName, m_utf8);
        if (name.empty()) {
            name = Property(m_x, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        }
        return std::string(name.begin(), name.end()) == m_title;
    }

    xcb_connection_t* m_x;
    std::string m_title;
    xcb_window_t m_root{};
    xcb_atom_t m_clientList{};
    xcb_atom_t m_netWmName{};
    xcb_atom_t m_utf8{};
    std::set<xcb_window_t> m_watched;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TITLE [TIMEOUT_MS]\n", argv[0]);
        return 2;
    }
    const std::int64_t timeout = (argc > 2 ? std::atoll(argv[2]) : 30'000) * 1'000'000LL;
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    Watcher watcher(x, argv[1]);
    std::printf("ready\n");
    std::fflush(stdout);
    const std::int64_t deadline = MonotonicNanoseconds() + timeout;
    while (MonotonicNanoseconds() < deadline) {
        if (watcher.Found()) {
            std::printf("mapped=%lld\n", static_cast<long long>(MonotonicNanoseconds()));
            std::fflush(stdout);
            xcb_disconnect(x);
            return 0;
        }
        // Events wake us when the client list or a window's state changes; the short poll
        // only guards against one slipping between a reply and the wait.
        pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&fd, 1, 5);
        while (auto* event = xcb_poll_for_event(x)) {
            std::free(event);
        }
        if (xcb_connection_has_error(x)) {
            break;
        }
    }
    std::fprintf(stderr, "no viewable window titled \"%s\"\n", argv[1]);
    xcb_disconnect(x);
    return 1;
}
