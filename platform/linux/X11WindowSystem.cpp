// The foreground window on an X11 desktop, through the window manager's EWMH properties. The program opens
// its own xcb connection from $DISPLAY; without an X server every query answers "nothing".
#include "platform/WindowSystem.h"

#include "platform/linux/ProcessDocuments.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <xcb/res.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace platform {
namespace {

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};

template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

struct ConnectionDeleter
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

class X11WindowSystem final : public WindowSystem
{
public:
    quintptr foregroundWindow() override
    {
        QMutexLocker lock(&mutex);
        if (!connect())
            return 0;
        const XcbReply<xcb_get_property_reply_t> reply =
            property(root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 1);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
            return 0;
        return *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
    }

    quint32 windowProcessId(quintptr window) override
    {
        QMutexLocker lock(&mutex);
        if (!connect() || !window)
            return 0;
        const XcbReply<xcb_get_property_reply_t> reply =
            property(xcb_window_t(window), atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 1);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4)
            return *static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        return resourceClientPid(xcb_window_t(window));
    }

    QString windowTitle(quintptr window, int maxLength) override
    {
        QMutexLocker lock(&mutex);
        if (!connect() || !window || maxLength <= 0)
            return QString();
        QString title;
        const XcbReply<xcb_get_property_reply_t> netName =
            property(xcb_window_t(window), atom("_NET_WM_NAME"), atom("UTF8_STRING"), 4096);
        if (netName && netName->format == 8 && xcb_get_property_value_length(netName.get()) > 0) {
            title = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(netName.get())),
                                      xcb_get_property_value_length(netName.get()));
        } else {
            const XcbReply<xcb_get_property_reply_t> name =
                property(xcb_window_t(window), XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 4096);
            if (name && name->format == 8 && xcb_get_property_value_length(name.get()) > 0) {
                const char *data = static_cast<const char *>(xcb_get_property_value(name.get()));
                const int length = xcb_get_property_value_length(name.get());
                title = name->type == atom("UTF8_STRING") ? QString::fromUtf8(data, length)
                                                          : QString::fromLatin1(data, length);
            }
        }
        return title.left(maxLength);
    }

    bool isWindowVisible(quintptr window) override
    {
        QMutexLocker lock(&mutex);
        if (!connect() || !window)
            return false;
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            connection.get(), xcb_get_window_attributes(connection.get(), xcb_window_t(window)), nullptr));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    bool isWindowMinimized(quintptr window) override
    {
        QMutexLocker lock(&mutex);
        if (!connect() || !window)
            return false;
        const XcbReply<xcb_get_property_reply_t> state =
            property(xcb_window_t(window), atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 64);
        if (!state || state->format != 32)
            return false;
        const xcb_atom_t hidden = atom("_NET_WM_STATE_HIDDEN");
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(state.get()));
        const int count = xcb_get_property_value_length(state.get()) / int(sizeof(xcb_atom_t));
        for (int i = 0; i < count; ++i) {
            if (atoms[i] == hidden)
                return true;
        }
        return false;
    }

    bool processExists(quint32 processId) override
    {
        return processId != 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(processId));
    }

    bool processImagePath(quint32 processId, QString *path) override
    {
        if (processId == 0)
            return false;
        const QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(processId));
        if (target.isEmpty())
            return false;
        if (path)
            *path = target;
        return true;
    }

    ShownDocument shownDocument(quint32 processId, const QString &windowTitle) override
    {
        return ProcessDocuments().shownDocument(processId, windowTitle);
    }

    quint32 currentProcessId() override { return quint32(QCoreApplication::applicationPid()); }

private:
    // Opens the connection on first use; a failed attempt is not repeated.
    bool connect()
    {
        if (connection)
            return true;
        if (attempted)
            return false;
        attempted = true;
        int screenNumber = 0;
        std::unique_ptr<xcb_connection_t, ConnectionDeleter> opened(xcb_connect(nullptr, &screenNumber));
        if (!opened || xcb_connection_has_error(opened.get()))
            return false;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(opened.get()));
        for (int i = 0; i < screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        if (!screens.rem)
            return false;
        root = screens.data->root;
        connection = std::move(opened);
        return true;
    }

    // Atoms are interned once per name; the poll asks for the same few every 75 ms.
    xcb_atom_t atom(const char *name)
    {
        const QByteArray key(name);
        const auto cached = atoms.constFind(key);
        if (cached != atoms.constEnd())
            return *cached;
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection.get(), xcb_intern_atom(connection.get(), 0, uint16_t(key.size()), name), nullptr));
        if (!reply)
            return XCB_ATOM_NONE;
        atoms.insert(key, reply->atom);
        return reply->atom;
    }

    XcbReply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                                uint32_t longLength)
    {
        if (name == XCB_ATOM_NONE)
            return nullptr;
        return XcbReply<xcb_get_property_reply_t>(xcb_get_property_reply(
            connection.get(), xcb_get_property(connection.get(), 0, window, name, type, 0, longLength),
            nullptr));
    }

    // The process of the client that created the window, from the X-Resource extension; for clients that
    // set no _NET_WM_PID.
    quint32 resourceClientPid(xcb_window_t window)
    {
        xcb_res_client_id_spec_t spec;
        spec.client = window;
        spec.mask = XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID;
        const XcbReply<xcb_res_query_client_ids_reply_t> reply(xcb_res_query_client_ids_reply(
            connection.get(), xcb_res_query_client_ids(connection.get(), 1, &spec), nullptr));
        if (!reply)
            return 0;
        for (xcb_res_client_id_value_iterator_t it = xcb_res_query_client_ids_ids_iterator(reply.get());
             it.rem; xcb_res_client_id_value_next(&it)) {
            if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
                xcb_res_client_id_value_value_length(it.data) >= 1)
                return *xcb_res_client_id_value_value(it.data);
        }
        return 0;
    }

    QMutex mutex;
    QHash<QByteArray, xcb_atom_t> atoms;
    std::unique_ptr<xcb_connection_t, ConnectionDeleter> connection;
    xcb_window_t root = XCB_WINDOW_NONE;
    bool attempted = false;
};

}  // namespace

std::unique_ptr<WindowSystem> createSystemWindowSystem()
{
    return std::make_unique<X11WindowSystem>();
}

}  // namespace platform
