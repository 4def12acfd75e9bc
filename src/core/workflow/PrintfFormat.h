// Lets the compiler check printf-style arguments of the message collectors.
#pragma once

#if defined(__GNUC__)
#define VELKMERGE_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VELKMERGE_PRINTF(formatIndex, firstArgument)
#endif
