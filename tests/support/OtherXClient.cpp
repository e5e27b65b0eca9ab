#include "OtherXClient.h"

#include <cstdlib>
#include <vector>

OtherXClient::OtherXClient(const QString &display)
{
    connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    symbols = xcb_key_symbols_alloc(connection);
}

OtherXClient::~OtherXClient()
{
    xcb_key_symbols_free(symbols);
    xcb_disconnect(connection);
}

xcb_keycode_t OtherXClient::keycode(xcb_keysym_t keysym) const
{
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    return code;
}

bool OtherXClient::grab(xcb_keysym_t keysym, uint16_t modifiers)
{
    xcb_generic_error_t *error =
        xcb_request_check(connection, xcb_grab_key_checked(connection, 0, root, modifiers, keycode(keysym),
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool granted = !error;
    std::free(error);
    return granted;
}

uint16_t OtherXClient::modifierState() const
{
    xcb_query_pointer_reply_t *reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    const uint16_t mask = reply ? reply->mask : 0;
    std::free(reply);
    return mask;
}

bool OtherXClient::addKeys(const QList<xcb_keysym_t> &keysyms)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, xcb_keycode_t(first), uint8_t(count)), nullptr);
    if (!mapping)
        return false;
    const int perCode = mapping->keysyms_per_keycode;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping);
    int next = 0;
    bool done = true;
    for (xcb_keysym_t keysym : keysyms) {
        while (next < count) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i)
                empty = empty && syms[next * perCode + i] == 0;
            if (empty)
                break;
            ++next;
        }
        if (next >= count) {
            done = false;
            break;
        }
        std::vector<xcb_keysym_t> row(size_t(perCode), 0);
        row[0] = keysym;
        xcb_generic_error_t *error = xcb_request_check(
            connection, xcb_change_keyboard_mapping_checked(connection, 1, xcb_keycode_t(first + next),
                                                            uint8_t(perCode), row.data()));
        done = done && !error;
        std::free(error);
        ++next;
    }
    std::free(mapping);
    xcb_key_symbols_free(symbols);
    symbols = xcb_key_symbols_alloc(connection);
    return done;
}

void OtherXClient::ungrab(xcb_keysym_t keysym, uint16_t modifiers)
{
    xcb_generic_error_t *error =
        xcb_request_check(connection, xcb_ungrab_key_checked(connection, keycode(keysym), root, modifiers));
    std::free(error);
}
