#ifndef TARVIK_PLATFORM_OWN_FILES_H_
#define TARVIK_PLATFORM_OWN_FILES_H_

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::platform {

// Files the updater keeps for itself across runs (the journal of an update
// in progress). Their bytes are written as given and are on the disk when a
// call returns; a link at the name is refused (75), never followed.

// Creates or empties `path` and writes `bytes`.
void WriteOwnFile(std::string_view path, std::string_view bytes);

// Appends `bytes` to the existing file `path`.
void AppendOwnFile(std::string_view path, std::string_view bytes);

// The content of a file that `WriteOwnFile` wrote. On POSIX a file owned by
// another user, or that others may write, is refused (70): it was not
// written by this program and must not steer what it restores or removes.
std::string ReadOwnFile(std::string_view path);

// True when an entry exists at `path`, looked for under that exact name:
// the updater creates its own files under the names it gives them, so on
// POSIX their folder is not read for a name in another letter case. Never
// fails.
bool OwnFileExists(std::string_view path);

// Deletes a file of the updater's own (its log, its journal) as
// `RemoveFile` does, a read-only one failing with 70. No other program has
// a reason to hold such a file, so on POSIX the costly search for a process
// that holds it is skipped.
void RemoveOwnFile(std::string_view path);

// Removes the temporary siblings that an interrupted copy or download left
// beside `path` (its name followed by ".tarvik-" or ".parcial-" and a few
// letters) and returns their paths. Siblings that cannot be removed stay
// and are not returned.
std::vector<std::string> RemoveWorkingSiblings(std::string_view path);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_OWN_FILES_H_
