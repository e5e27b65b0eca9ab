#pragma once

#include <QList>
#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

// A second X client of a test display: it grabs keys, reads the modifier state and changes the keymap as
// another program on the same display would. Every request that changes the server's state returns only
// once the server has processed it, so the next request of another client sees its effect.
class OtherXClient
{
public:
    explicit OtherXClient(const QString &display);
    ~OtherXClient();
    OtherXClient(const OtherXClient &) = delete;
    OtherXClient &operator=(const OtherXClient &) = delete;

    xcb_keycode_t keycode(xcb_keysym_t keysym) const;
    // True when the server let this client grab the key with exactly these modifiers.
    bool grab(xcb_keysym_t keysym, uint16_t modifiers);
    void ungrab(xcb_keysym_t keysym, uint16_t modifiers);
    // The keyboard modifiers (and lock states) the server reports now.
    uint16_t modifierState() const;
    // Gives each keysym its own keycode among those the keymap leaves empty (a keyboard with these keys).
    bool addKeys(const QList<xcb_keysym_t> &keysyms);

private:
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_key_symbols_t *symbols = nullptr;
};
