#pragma once
// Following a server's redirect answer to the address it names. The Location header
// comes from the server and is treated as hostile: the result is always an "http://" or
// "https://" address, never one that leaves a secure connection for a plain one.
#include <string>
#include <string_view>

#include "base/result.h"

namespace movarin::download {

// Redirects followed one after another before the last answer is taken as it stands.
inline constexpr int kMaxRedirects = 10;

// 301, 302, 303, 307 and 308 name another address for the same file.
bool IsRedirectStatus(std::string_view status_code);

enum class RedirectRefusal {
  kNoLocation,       // the answer names no address
  kNotHttp,          // an address of another scheme, or one without a host
  kSecureToPlain,    // from https to http
};

// The address a redirect from `current` to `location` leads to: an absolute address
// ("http://host/path"), one without scheme ("//host/path"), an absolute path
// ("/path") or a path relative to the current one's folder ("b.ocx"). A fragment
// ("#...") is dropped; the rest is kept as the server wrote it.
base::Result<std::string, RedirectRefusal> RedirectTarget(std::string_view current,
                                                          std::string_view location);

}  // namespace movarin::download
