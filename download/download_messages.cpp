#include "download/download_messages.h"

namespace movarin::download::messages {

std::string NotFound(std::string_view address) {
  return "The file, \"" + std::string(address) + "\" was not found!";
}

std::string ServerResponse(std::string_view first_line_through_cr) {
  std::string text = "The server returned the following response:\r\r";
  text += first_line_through_cr.empty() ? kNothing : first_line_through_cr;
  return text;
}

std::string RequestFailure(std::string_view description) {
  return "Error: " + std::string(description) + " occurred.";
}

std::string TransferFailure(std::int64_t number, std::string_view description) {
  return "Cannot write file to disk.\r\rError " + std::to_string(number) + ": " +
         std::string(description);
}

std::string DigestMismatch(std::string_view expected_hex, std::string_view actual_hex) {
  std::string text = "The downloaded file does not match the catalogue: SHA-256 expected ";
  text += expected_hex;
  text += ", received ";
  text += actual_hex;
  text += ". The file was not kept.";
  return text;
}

}  // namespace movarin::download::messages
