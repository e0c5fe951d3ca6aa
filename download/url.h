#pragma once
// Address helpers shared by the download dialog, the database update and the remote
// file control.
#include <string>
#include <string_view>

namespace movarin::download {

// The file name at the end of an "http://" address: the text after its last "/" (the
// last character itself is not searched), when that text holds a "." before its last
// character; otherwise empty text. "http://h/files/ACTSKIN4.OCX" gives "ACTSKIN4.OCX".
std::string FileNameFromUrl(std::string_view address);

// Splits "http://host:8080/dir/f.mdb" into the host part "host:8080", left in `address`,
// and the path "/dir/f.mdb" in `path`. Without a "/" after the host only the "http://"
// prefix is removed and `path` is left as it was.
void SplitUrl(std::string& address, std::string& path);

// The text before its first NUL character; the whole text when it has none.
std::string TrimAtNul(std::string_view text);

// True when `name` can only name a file inside the folder it is joined to: not empty,
// not "." or "..", and without "\", "/", ":" or control characters. A file name taken
// from an address must pass this before it is joined to the download folder.
bool IsPlainFileName(std::string_view name);

// FileNameFromUrl, but empty text unless the name is plain (see IsPlainFileName).
std::string PlainFileNameFromUrl(std::string_view address);

}  // namespace movarin::download
