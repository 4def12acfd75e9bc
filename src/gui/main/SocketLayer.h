// The platform's socket layer, which the program starts before anything else.
#pragma once

// Windows: Windows Sockets, asking for version 1.1 and accepting nothing else. Elsewhere there is
// nothing to start and this succeeds.
[[nodiscard]] bool startSocketLayer();
