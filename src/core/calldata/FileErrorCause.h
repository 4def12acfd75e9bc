// The numbered causes shown in file error messages, from the platform's error codes, and the same in words.
#pragma once

#include <string>
#include <system_error>

// 1 other, 2 not found, 3 bad path, 4 too many open files, 5 access denied or name exists,
// 6 invalid file, 7 removing the current folder, 8 folder full, 9 seek error, 10 hardware error,
// 11 sharing violation, 12 lock violation, 13 disk full, 14 end of file.
[[nodiscard]] int fileErrorCause(std::error_code error);

// One sentence that says what went wrong, for the line after a numbered cause: a few causes in plain
// words, the system's own text otherwise. Empty for no error.
[[nodiscard]] std::string fileErrorText(std::error_code error);
