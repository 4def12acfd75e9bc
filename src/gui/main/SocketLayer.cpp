// Socket layer start.
#include "gui/main/SocketLayer.h"

#ifdef _WIN32
#include <winsock2.h>

bool startSocketLayer() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        return false;
    }
    if (data.wVersion != MAKEWORD(1, 1)) {
        WSACleanup();
        return false;
    }
    return true;
}

#else

bool startSocketLayer() {
    return true;
}

#endif
