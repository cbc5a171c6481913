#include "runtime/platform/win/UiaNotification.h"

#include "runtime/platform/win/SystemLibrary.h"

#include <oleauto.h>
#include <uiautomationcore.h>

#include <climits>
#include <string_view>
#include <utility>

namespace pedalwise::runtime {

// The two functions as the system library exports them. MinGW's headers declare neither the
// notification event nor its enumerations, and the program links neither function: a program
// that did would not start on a Windows without them.
struct UiaNotification::Functions {
    using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int notificationKind,
                                               int notificationProcessing, BSTR displayString,
                                               BSTR activityId);

    HostProvider hostProvider = nullptr;
    RaiseNotification raiseNotification = nullptr;
};

namespace {

// NotificationKind_ActionCompleted and NotificationProcessing_ImportantMostRecent, as the
// Windows SDK numbers them. What the program announces is the outcome of what the user has just
// asked for, such as the results of "Calculate!": an action completed, to be spoken at once;
// each announcement supersedes any earlier one still being spoken, so that pressing
// "Calculate!" again leaves only the latest results, not a queue of old ones.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;

// Names the program's announcements among those of other programs; never translated.
constexpr std::string_view kActivityId = "Pedalwise.Announcement";

// A UTF-16 text that the system can take, made from UTF-8 and freed when it goes.
class SystemString {
public:
    explicit SystemString(std::string_view utf8) {
        if (utf8.size() > INT_MAX) {
            return;
        }
        const int size = static_cast<int>(utf8.size());
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
        m_text = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (m_text != nullptr && length > 0) {
            ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, m_text, length);
        }
    }
    ~SystemString() { ::SysFreeString(m_text); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;

    BSTR get() const { return m_text; }

private:
    BSTR m_text = nullptr;
};

} // namespace

UiaNotification::UiaNotification(std::string library) : m_library(std::move(library)) {}

UiaNotification::~UiaNotification() = default;

const UiaNotification::Functions* UiaNotification::functions() {
    if (!m_lookedUp) {
        // Looked up once: a system that lacks the function does not gain it while the program
        // runs.
        m_lookedUp = true;
        SystemLibrary library(m_library);
        auto bound = std::make_unique<Functions>();
        bound->hostProvider = library.function<Functions::HostProvider>("UiaHostProviderFromHwnd");
        bound->raiseNotification =
            library.function<Functions::RaiseNotification>("UiaRaiseNotificationEvent");
        if (bound->hostProvider != nullptr && bound->raiseNotification != nullptr) {
            library.keep();
            m_functions = std::move(bound);
        }
    }
    return m_functions.get();
}

void UiaNotification::notify(NativeWindow window, const std::string& text) {
    const Functions* bound = functions();
    if (bound == nullptr || window == 0) {
        return;
    }
    // The event comes from the window itself. Qt's own provider for it cannot be had from
    // outside Qt; the host provider names the same window by its handle, so screen readers see
    // the event come from the program in the foreground (NVDA speaks only such events).
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle, kept as a number by the interface
    const auto hwnd = reinterpret_cast<HWND>(window);
    IRawElementProviderSimple* provider = nullptr;
    if (FAILED(bound->hostProvider(hwnd, &provider)) || provider == nullptr) {
        return;
    }
    const SystemString displayString(text);
    const SystemString activityId(kActivityId);
    if (displayString.get() != nullptr && activityId.get() != nullptr) {
        // A screen reader that cannot take it answers a failure; the program goes on alike.
        bound->raiseNotification(provider, kActionCompleted, kImportantMostRecent,
                                 displayString.get(), activityId.get());
    }
    provider->Release();
}

NotificationService& systemNotificationService() {
    static UiaNotification notification;
    return notification;
}

} // namespace pedalwise::runtime
