// Lets the compiler check printf-style arguments of the message collectors.
#pragma once

#if defined(__MINGW32__)
// MinGW builds use its C99 printf (__USE_MINGW_ANSI_STDIO), which knows %zu; plain `printf` means
// Microsoft's older rules there.
#define VELKMERGE_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__)
#define VELKMERGE_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VELKMERGE_PRINTF(formatIndex, firstArgument)
#endif
