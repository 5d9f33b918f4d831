// Reading and replacing whole files without hanging on what is not a plain
// file and without ever leaving a half-written one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class TReadOutcome {
    Read,     // data holds the file, or its first maxBytes when longer
    Missing,  // there is no such file
    Refused,  // it exists but is not a regular file or cannot be read
};

// Reads at most maxBytes of fileName into data. A symbolic link to a regular
// file is followed; devices, FIFOs and sockets are refused without being
// read (a FIFO without a writer cannot block the open). complete tells
// whether data is the whole file.
TReadOutcome ReadRegularFile(const std::string& fileName, std::size_t maxBytes, std::string& data, bool& complete);

// Makes fileName hold exactly data. Returns an empty string when it does,
// otherwise the reason in a few words ("not a regular file"), and the file
// is then as it was.
//
// Only a regular file is replaced (through a symbolic link, the file it
// leads to); a read-only one is refused. The replacement keeps the old
// file's mode and, where the process may give it, its owner and group; a
// new file gets the mode of any new file (0666 less the umask). The data is
// written to an unnamed file in the same folder, flushed to disk and only
// then put in the old one's place, so a crash leaves the old contents or the
// new ones. Where the file system cannot make unnamed files, the data goes
// to a new file beside it. Either way its name, ".<name>.tilvo-new."
// followed by eight random characters, is one that no file has yet, so no
// leftover, folder or other program's file of a similar name can stand in
// the way; none is ever removed.
std::string ReplaceFileContents(const std::string& fileName, std::string_view data);

// Keeps data as copyName, the newest of at most `copies` copies: the earlier
// ones move a place on first (copyName to copyName.1, copyName.1 to
// copyName.2 and so on), and the one in the last place, copyName.<copies-1>,
// gives way. Returns an empty string when data is kept, otherwise the
// reason, with the copies that could not move where they were.
std::string KeepNewestCopy(const std::string& copyName, std::string_view data, int copies);
