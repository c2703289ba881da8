// Standard output and standard error as the console program writes them: raw bytes, with no
// buffering or line-end conversion of their own. One definition per OS.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr int kStdInput = 0;
inline constexpr int kStdOutput = 1;
inline constexpr int kStdError = 2;

// Gives each of the three standard streams the process was started without the null device,
// and remembers that it was missing. Both programs call it before they open anything: a file
// opened while a stream's slot is free takes that slot, and every line meant for the stream
// would land in the file. A stream mended so still counts as missing to MissingStream and
// WriteStream.
void SecureStandardStreams();

// True when every line must be handed over the moment it is written: the stream is a
// terminal or console.
bool WritesAtOnce(int stream);

// 0 when the process was started with the stream, else the OS's code for its absence.
int MissingStream(int stream);

// Writes every byte. Returns 0, or the OS's code for the failure (errno, GetLastError());
// for a stream the process was started without, the code for its absence.
// Windows takes the bytes as UTF-8: a console is given the characters themselves, a file or a
// pipe their bytes in the ANSI code page.
int WriteStream(int stream, std::string_view bytes);

// The failure report's text for a code from WriteStream: "File not found", "Disk full",
// "I/O error 32", ...
std::string OutputErrorText(int code);

// What the OS adds to a program's name to make its file name ("" or ".exe").
extern const char kProgramFileSuffix[];

// How the C runtime's text streams end a line ("\n", or "\r\n" on Windows), for text that
// once went through them.
extern const char kTextLineEnd[];

}  // namespace platform
