/* A UI Automation client for the end-to-end tests: reads a top-level window as Narrator or
 * NVDA get it, through Windows' flat client API (uiautomationcoreapi.h), and prints it.
 *
 *   uia_client tree TITLE        one line per element of the window whose title is TITLE,
 *                                depth first: depth, control type, name, and "focused" and
 *                                "offscreen" where those are true; tab-separated, UTF-8.
 *   uia_client listen TITLE SEC  for SEC seconds, one line per notification event the window
 *                                raises: "notification", kind, processing, text, activity.
 *
 * Exits 2 when no such window is shown, 1 when UI Automation fails, 0 otherwise. */
#define COBJMACROS
#include <windows.h>

#include <ole2.h>
#include <stdio.h>
#include <uiautomation.h>

/* The arguments of a notification event, as Windows' own uiautomationcoreapi.h declares them;
 * MinGW-w64's header leaves the structure out. */
struct NotificationArgs {
    enum EventArgsType Type;
    int EventId;
    enum NotificationKind NotificationKind;
    enum NotificationProcessing NotificationProcessing;
    BSTR displayString;
    BSTR activityId;
};

/* Bounds for a tree that never ends, as a faulty provider could give. */
enum { kMaxDepth = 16, kMaxElements = 1000 };

static int s_elements;

static void put(const WCHAR* text) {
    char buffer[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    if (length > 0)
        fputs(buffer, stdout);
}

static const char* typeName(int id) {
    static const struct {
        int id;
        const char* name;
    } names[] = {
        {UIA_ButtonControlTypeId, "button"},
        {UIA_CheckBoxControlTypeId, "check box"},
        {UIA_EditControlTypeId, "edit"},
        {UIA_GroupControlTypeId, "group"},
        {UIA_ImageControlTypeId, "image"},
        {UIA_MenuControlTypeId, "menu"},
        {UIA_MenuBarControlTypeId, "menu bar"},
        {UIA_MenuItemControlTypeId, "menu item"},
        {UIA_PaneControlTypeId, "pane"},
        {UIA_TextControlTypeId, "text"},
        {UIA_TitleBarControlTypeId, "title bar"},
        {UIA_WindowControlTypeId, "window"},
        {UIA_ScrollBarControlTypeId, "scroll bar"},
        {UIA_DocumentControlTypeId, "document"},
        {UIA_CustomControlTypeId, "custom"},
    };
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        if (names[i].id == id)
            return names[i].name;
    return NULL;
}

/* A property's value as a provider answers it: a boolean, a number or a string; anything else,
 * "not supported" included, counts as none. */
static int boolProperty(HUIANODE node, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    int result = SUCCEEDED(UiaGetPropertyValue(node, id, &value)) && V_VT(&value) == VT_BOOL &&
                 V_BOOL(&value) != VARIANT_FALSE;
    VariantClear(&value);
    return result;
}

static void printElement(HUIANODE node, int depth) {
    VARIANT value;
    printf("%d\t", depth);
    VariantInit(&value);
    if (SUCCEEDED(UiaGetPropertyValue(node, UIA_ControlTypePropertyId, &value)) &&
        V_VT(&value) == VT_I4) {
        const char* name = typeName(V_I4(&value));
        if (name)
            fputs(name, stdout);
        else
            printf("%ld", (long)V_I4(&value));
    }
    VariantClear(&value);
    putchar('\t');
    if (SUCCEEDED(UiaGetPropertyValue(node, UIA_NamePropertyId, &value)) &&
        V_VT(&value) == VT_BSTR && V_BSTR(&value))
        put(V_BSTR(&value));
    VariantClear(&value);
    if (boolProperty(node, UIA_HasKeyboardFocusPropertyId))
        fputs("\tfocused", stdout);
    if (boolProperty(node, UIA_IsOffscreenPropertyId))
        fputs("\toffscreen", stdout);
    putchar('\n');
}

/* The element next to node in the raw view, in the given direction, or NULL. */
static HUIANODE navigate(HUIANODE node, enum NavigateDirection direction) {
    struct UiaCondition all = {ConditionType_True};
    struct UiaCacheRequest request = {&all, TreeScope_Element,         NULL, 0, NULL,
                                      0,    AutomationElementMode_Full};
    SAFEARRAY* found = NULL;
    BSTR structure = NULL;
    HUIANODE next = NULL;
    if (SUCCEEDED(UiaNavigate(node, direction, &all, &request, &found, &structure)) && found) {
        LONG index[2];
        VARIANT element;
        VariantInit(&element);
        SafeArrayGetLBound(found, 1, &index[0]);
        SafeArrayGetLBound(found, 2, &index[1]);
        if (SUCCEEDED(SafeArrayGetElement(found, index, &element)))
            UiaHUiaNodeFromVariant(&element, &next);
        VariantClear(&element);
        SafeArrayDestroy(found);
    }
    SysFreeString(structure);
    return next;
}

static void printTree(HUIANODE node, int depth) {
    if (++s_elements > kMaxElements)
        return;
    printElement(node, depth);
    if (depth >= kMaxDepth)
        return;
    HUIANODE child = navigate(node, NavigateDirection_FirstChild);
    while (child) {
        printTree(child, depth + 1);
        HUIANODE sibling = navigate(child, NavigateDirection_NextSibling);
        UiaNodeRelease(child);
        child = s_elements > kMaxElements ? (UiaNodeRelease(sibling), NULL) : sibling;
    }
}

static void WINAPI onEvent(struct UiaEventArgs* args, SAFEARRAY* data, BSTR structure) {
    (void)data;
    (void)structure;
    if (args->Type != EventArgsType_Notification)
        return;
    const struct NotificationArgs* notification = (const struct NotificationArgs*)args;
    printf("notification\t%d\t%d\t", (int)notification->NotificationKind,
           (int)notification->NotificationProcessing);
    put(notification->displayString ? notification->displayString : L"");
    putchar('\t');
    put(notification->activityId ? notification->activityId : L"");
    putchar('\n');
    fflush(stdout);
}

static int listenForNotifications(HUIANODE window, int seconds) {
    struct UiaCondition all = {ConditionType_True};
    struct UiaCacheRequest request = {&all, TreeScope_Element,         NULL, 0, NULL,
                                      0,    AutomationElementMode_Full};
    HUIAEVENT event = NULL;
    if (FAILED(UiaAddEvent(window, UIA_NotificationEventId, onEvent, TreeScope_Subtree, NULL, 0,
                           &request, &event)))
        return 1;
    puts("listening");
    fflush(stdout);
    DWORD end = GetTickCount() + (DWORD)seconds * 1000;
    while ((LONG)(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(50);
    }
    UiaRemoveEvent(event);
    return 0;
}

int wmain(int argc, WCHAR** argv) {
    if (argc < 3 || (wcscmp(argv[1], L"tree") != 0 && wcscmp(argv[1], L"listen") != 0) ||
        (wcscmp(argv[1], L"listen") == 0 && argc < 4)) {
        fputs("usage: uia_client tree TITLE | uia_client listen TITLE SECONDS\n", stderr);
        return 1;
    }
    HWND handle = FindWindowW(NULL, argv[2]);
    if (!handle || !IsWindowVisible(handle))
        return 2;
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    HUIANODE window = NULL;
    int status = 1;
    if (SUCCEEDED(UiaNodeFromHandle(handle, &window)) && window) {
        if (wcscmp(argv[1], L"tree") == 0) {
            printTree(window, 0);
            status = 0;
        } else {
            status = listenForNotifications(window, _wtoi(argv[3]));
        }
        UiaNodeRelease(window);
    }
    fflush(stdout);
    CoUninitialize();
    return status;
}
