#pragma once
// What the remote file control learns from a HEAD answer: whether the file exists, its
// size and its date. The raw header text comes from the server and is treated as
// hostile: any bytes are accepted and nothing outside the text is read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace movarin::download {

// The raw headers are read into a buffer of this many characters; an answer whose
// headers do not fit is judged by its status code alone.
inline constexpr std::size_t kRawHeaderBufferChars = 1024;

// LastModified when the answer carries no Last-Modified header.
inline constexpr std::string_view kLastModifiedNotAvailable = "Not Available";

struct RemoteFileInformation {
  bool exists = false;
  // The Content-Length, or -1 when the answer gave no usable one.
  std::int64_t size = 0;
  std::string last_modified;
};

// Reads a raw header block ("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n...").
//  - last_modified: the text after "Last-Modified: " up to the end of its line, case
//    kept; "Not Available" without that header;
//  - size: the number after "Content-Length: ", or -1 without that header or without a
//    number of 0 or more that fits 64 bits;
//  - exists: false when the status code of the status line is 404, whatever its
//    wording, and when there is no status line at all (no answer); true for every other
//    answer.
// Header names are matched without regard to case, at the start of a header line only,
// so another header's name or value that merely contains them is never taken.
RemoteFileInformation InformationFromRawHeaders(std::string_view raw_headers);

// The answer judged by its status code text alone (used when the raw headers did not
// fit the buffer): exists exactly when the code before the first NUL reads "200"; no
// size (-1) and no date ("Not Available").
RemoteFileInformation InformationFromStatusCode(std::string_view status_code_text);

// The status code of the status line ("HTTP/1.1 404 File Not Found" gives 404), or -1
// when the first line is not a status line with a three-digit code.
int StatusCodeOfStatusLine(std::string_view raw_headers);

}  // namespace movarin::download
