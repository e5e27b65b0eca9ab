#include "platform/linux/X11GlobalHotkeys.h"

#include "platform/NativeHotkey.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr xcb_keysym_t numLockKeysym = 0xff7f;  // XK_Num_Lock
constexpr char hotkeyAtomName[] = "_OLLAVAN_QUICK_HOTKEY";

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

struct KeySymbolsDeleter
{
    void operator()(xcb_key_symbols_t *symbols) const { xcb_key_symbols_free(symbols); }
};
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter>;

// Qt's own connection to the X server, or null (no X11 session, the offscreen platform, no application).
xcb_connection_t *qtConnection()
{
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!application)
        return nullptr;
    auto *x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return nullptr;
    xcb_connection_t *connection = x11->connection();
    if (!connection || xcb_connection_has_error(connection))
        return nullptr;
    return connection;
}

// The root window of the screen the display name selects.
xcb_window_t rootWindow(xcb_connection_t *connection)
{
    char *host = nullptr;
    int displayNumber = 0;
    int screenNumber = 0;
    if (xcb_parse_display(nullptr, &host, &displayNumber, &screenNumber))
        std::free(host);
    else
        screenNumber = 0;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    const xcb_window_t first = it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
    for (int i = 0; it.rem; xcb_screen_next(&it), ++i) {
        if (i == screenNumber)
            return it.data->root;
    }
    return first;
}

std::vector<xcb_keycode_t> keycodesFor(xcb_key_symbols_t *symbols, xcb_keysym_t keysym)
{
    std::vector<xcb_keycode_t> result;
    XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, keysym));
    for (const xcb_keycode_t *code = codes.get(); code && *code != XCB_NO_SYMBOL; ++code)
        result.push_back(*code);
    return result;
}

// The modifier bit NumLock sets in key events (commonly Mod2); 0 when no modifier carries it.
uint16_t numLockMask(xcb_connection_t *connection, xcb_key_symbols_t *symbols)
{
    const std::vector<xcb_keycode_t> numLock = keycodesFor(symbols, numLockKeysym);
    if (numLock.empty())
        return 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!mapping)
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            for (xcb_keycode_t candidate : numLock) {
                if (code != 0 && code == candidate)
                    return uint16_t(1u << modifier);
            }
        }
    }
    return 0;
}

// RegisterHotKey's modifier flags as X modifier bits (Win is the Super key on Mod4); false for flags
// this layer does not know.
bool x11Modifiers(quint32 flags, uint16_t *mask)
{
    const quint32 known =
        hotkey::ModAlt | hotkey::ModControl | hotkey::ModShift | hotkey::ModWin | hotkey::ModNoRepeat;
    if (flags & ~known)
        return false;
    uint16_t result = 0;
    if (flags & hotkey::ModAlt)
        result |= XCB_MOD_MASK_1;
    if (flags & hotkey::ModControl)
        result |= XCB_MOD_MASK_CONTROL;
    if (flags & hotkey::ModShift)
        result |= XCB_MOD_MASK_SHIFT;
    if (flags & hotkey::ModWin)
        result |= XCB_MOD_MASK_4;
    *mask = result;
    return true;
}

// Hotkeys as passive key grabs on the root window, made on Qt's own X connection. Each combination is
// grabbed four times, with and without CapsLock and NumLock, because X matches modifiers exactly. The
// grabbed presses arrive at this native event filter, which sends the registering window a client message
// that its native message hook reads as the hotkey message.
class X11GlobalHotkeys final : public GlobalHotkeys, public QAbstractNativeEventFilter
{
public:
    bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey,
                        const QString &description) override;
    bool unregisterHotKey(quintptr window, int id) override;
    bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab
    {
        quintptr window = 0;
        int id = 0;
        quint32 modifiers = 0;
        quint32 virtualKey = 0;
        uint16_t mask = 0;
        std::vector<xcb_keycode_t> keycodes;
    };

    // Forgets grabs made on an earlier connection (a new application object).
    void followConnection(xcb_connection_t *connection);
    std::vector<uint16_t> lockVariants() const;
    void ungrab(const Grab &grab);
    xcb_atom_t hotkeyAtom();
    void sendHotkeyMessage(const Grab &grab);

    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    uint16_t numLock = 0;
    xcb_atom_t atom = XCB_ATOM_NONE;
    bool filterInstalled = false;
    std::vector<Grab> grabs;
    QHash<xcb_keycode_t, bool> keysDown;             // grabbed keys held down now
    QHash<xcb_keycode_t, xcb_timestamp_t> released;  // time of each grabbed key's last release
};

void X11GlobalHotkeys::followConnection(xcb_connection_t *current)
{
    if (current == connection)
        return;
    connection = current;
    root = rootWindow(current);
    atom = XCB_ATOM_NONE;
    grabs.clear();
    keysDown.clear();
    released.clear();
}

std::vector<uint16_t> X11GlobalHotkeys::lockVariants() const
{
    std::vector<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (numLock != 0) {
        variants.push_back(numLock);
        variants.push_back(uint16_t(numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

bool X11GlobalHotkeys::registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey,
                                      const QString &)
{
    xcb_connection_t *current = qtConnection();
    if (!current || window == 0)
        return false;
    followConnection(current);
    if (root == XCB_WINDOW_NONE)
        return false;

    Grab grab;
    grab.window = window;
    grab.id = id;
    grab.modifiers = modifiers;
    grab.virtualKey = virtualKey;
    if (!x11Modifiers(modifiers, &grab.mask))
        return false;

    KeySymbols symbols(xcb_key_symbols_alloc(connection));
    if (!symbols)
        return false;
    numLock = numLockMask(connection, symbols.get());
    int count = 0;
    const hotkey::Key *keys = hotkey::keys(&count);
    for (int row = 0; row < count; ++row) {
        if (keys[row].virtualKey != virtualKey)
            continue;
        for (xcb_keycode_t code : keycodesFor(symbols.get(), keys[row].x11Keysym)) {
            if (std::find(grab.keycodes.begin(), grab.keycodes.end(), code) == grab.keycodes.end())
                grab.keycodes.push_back(code);
        }
    }
    if (grab.keycodes.empty())
        return false;

    // A combination registered here already is refused, as Windows refuses a second registration.
    for (const Grab &other : grabs) {
        if (other.mask != grab.mask)
            continue;
        for (xcb_keycode_t code : grab.keycodes) {
            if (std::find(other.keycodes.begin(), other.keycodes.end(), code) != other.keycodes.end())
                return false;
        }
    }

    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t code : grab.keycodes) {
        for (uint16_t variant : lockVariants()) {
            cookies.push_back(xcb_grab_key_checked(connection, 0, root, uint16_t(grab.mask | variant), code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (xcb_void_cookie_t cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
        if (error)
            refused = true;  // BadAccess: another client holds the combination
    }
    if (refused) {
        ungrab(grab);  // releases only the variants this client did get
        return false;
    }

    if (!filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filterInstalled = true;
    }
    grabs.push_back(std::move(grab));
    return true;
}

void X11GlobalHotkeys::ungrab(const Grab &grab)
{
    for (xcb_keycode_t code : grab.keycodes) {
        for (uint16_t variant : lockVariants())
            xcb_ungrab_key(connection, code, root, uint16_t(grab.mask | variant));
        keysDown.remove(code);
        released.remove(code);
    }
    // Like UnregisterHotKey, return only once the server has let go: another client that asks for the
    // combination right after must get it, and a flush alone does not order this client's requests before
    // that client's. A round trip does.
    XcbReply<xcb_get_input_focus_reply_t> processed(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

bool X11GlobalHotkeys::unregisterHotKey(quintptr window, int id)
{
    xcb_connection_t *current = qtConnection();
    if (!current)
        return false;
    followConnection(current);
    for (auto it = grabs.begin(); it != grabs.end(); ++it) {
        if (it->window == window && it->id == id) {
            ungrab(*it);
            grabs.erase(it);
            return true;
        }
    }
    return false;
}

xcb_atom_t X11GlobalHotkeys::hotkeyAtom()
{
    if (atom == XCB_ATOM_NONE && connection) {
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(sizeof(hotkeyAtomName) - 1), hotkeyAtomName),
            nullptr));
        if (reply)
            atom = reply->atom;
    }
    return atom;
}

void X11GlobalHotkeys::sendHotkeyMessage(const Grab &grab)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(grab.window);
    event.type = hotkeyAtom();
    event.data.data32[0] = HotkeyMessage;
    event.data.data32[1] = uint32_t(grab.id);
    event.data.data32[2] = grab.modifiers;
    event.data.data32[3] = grab.virtualKey;
    // No event mask: the event goes to the client that created the window, this process.
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

bool X11GlobalHotkeys::hotkeyMessageId(const QByteArray &eventType, void *message, int *id)
{
    if (!message || eventType != "xcb_generic_event_t" || atom == XCB_ATOM_NONE)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = static_cast<const xcb_client_message_event_t *>(message);
    if (client->format != 32 || client->type != atom || client->data.data32[0] != HotkeyMessage)
        return false;
    if (id)
        *id = int(client->data.data32[1]);
    return true;
}

bool X11GlobalHotkeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!message || eventType != "xcb_generic_event_t" || grabs.empty())
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    if (key->event != root)
        return false;

    const uint16_t relevant = uint16_t((XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 |
                                        XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5) &
                                       ~numLock);
    const uint16_t state = key->state & relevant;
    for (const Grab &grab : grabs) {
        if (grab.mask != state ||
            std::find(grab.keycodes.begin(), grab.keycodes.end(), key->detail) == grab.keycodes.end())
            continue;
        if (type == XCB_KEY_RELEASE) {
            keysDown.remove(key->detail);
            released.insert(key->detail, key->time);
            return true;
        }
        // Auto-repeat shows as presses without a release in between (detectable auto-repeat) or as a
        // release and a press with the same time stamp; with MOD_NOREPEAT neither fires again.
        const bool repeat =
            keysDown.contains(key->detail) || released.value(key->detail, XCB_TIME_CURRENT_TIME) == key->time;
        keysDown.insert(key->detail, true);
        if (!repeat || !(grab.modifiers & hotkey::ModNoRepeat))
            sendHotkeyMessage(grab);
        return true;
    }
    // The release of a grabbed key after its modifiers were let go.
    if (type == XCB_KEY_RELEASE && keysDown.contains(key->detail)) {
        keysDown.remove(key->detail);
        released.insert(key->detail, key->time);
        return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<GlobalHotkeys> createX11GlobalHotkeys()
{
    return std::make_unique<X11GlobalHotkeys>();
}

}  // namespace platform
