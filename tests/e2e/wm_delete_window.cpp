// Asks an X window to close the way a window manager does when its close button is pressed:
// a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW, sent to the window's own client.
// Destroying the window instead (as `xdotool windowclose` does) would skip the program's
// close handling, which is what the end-to-end test is there to exercise.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, length, name), nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

}  // namespace

int main(int argc, char* argv[]) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (argc != 2 || xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "usage: %s WINDOW-ID, with DISPLAY set to its display\n", argv[0]);
        return 2;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    message.type = atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    // With no event mask, the server delivers the message to the client that made the window.
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                                           reinterpret_cast<const char*>(&message)));
    const bool failed = error != nullptr;
    if (failed) {
        std::fprintf(stderr, "%s: there is no window %s\n", argv[0], argv[1]);
    }
    std::free(error);
    xcb_disconnect(connection);
    return failed ? 1 : 0;
}
