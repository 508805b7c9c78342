// Which file a name reaches. Outputs are checked against inputs by the file
// itself, not by its name: "data", "./data", a symbolic link to it and a
// hard link to it all reach one file, and writing any of them destroys it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvor {

// The directory part of a path ("." for a bare name, "/" for "/name").
std::string directoryOf(const std::string& path);

// The path with every symbolic link of its last component followed: the
// name of the file that opening the path for writing would reach, which
// need not exist yet. Links inside the directory part stay as they are,
// since a name in a linked directory is a name in the directory it links
// to. A chain that does not end (a loop) gives the path where it was left.
std::string finalPath(const std::string& path);

// Whether two names reach one file whose content writing one of them would
// destroy: the same device and inode when both exist (character devices,
// such as a terminal or /dev/null, never count: nothing on them is
// destroyed), the same name once links are followed when neither exists.
bool sameFile(const std::string& a, const std::string& b);

// The program's standard output or standard error (its descriptor) when
// `path` reaches the same file (device and inode): "/dev/stdout",
// "/proc/self/fd/1", or the name of the file it is redirected to. Such an
// output is written through the descriptor, in order with what the
// program prints there, and is never truncated or replaced: a log that
// standard output is appended to keeps its lines.
std::optional<int> standardStreamOf(const std::string& path);

// Stops the program when `written` reaches the same file as `other`, before
// anything is written: "The <role> <written> is the <otherRole> <other>;
// writing it would destroy that file". An output written through standard
// output or error destroys nothing.
void refuseToOverwrite(const std::string& written, std::string_view role, const std::string& other,
                       std::string_view otherRole);

}  // namespace kelvor
