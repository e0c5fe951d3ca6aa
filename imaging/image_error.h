#pragma once
// Why a load, a decode or a save failed: one code for the whole loader, each with a text.
#include <string_view>

namespace movarin::imaging {

enum class ImageError {
  None,
  NoImage,
  FileNotFound,
  FileTooShort,
  FileTooLarge,
  FileReadFailed,
  FileWriteFailed,
  SaveDeclined,
  DataTooShort,
  BadRange,
  Unrecognised,
  ImageTooLarge,
  Truncated,
  // PNG
  ChunkPastEnd,
  ChunkTooLong,
  CrcMismatch,
  BadHeader,
  MissingHeader,
  MissingImageData,
  MissingPalette,
  BadPalette,
  BadFilter,
  // zlib / DEFLATE
  BadZlibHeader,
  BadBlockType,
  BadStoredLength,
  BadHuffmanCode,
  BadDistance,
  ChecksumMismatch,
  OutputTooLarge,
  OutputTooShort,
  InflateFailed,
  // GIF
  BadGifHeader,
  NoGifFrame,
  BadGifBlock,
  NoColourTable,
  BadLzwCode,
  // ICO/CUR
  BadIconDirectory,
  NoUsableIconEntry,
  // BMP
  BadBitmapHeader,
  UnsupportedCompression,
  UnsupportedBitDepth,
  // Windows side
  SystemLoaderFailed,
  NoDevice,
  kCount
};

// The text shown for a failure, e.g. by movarin-image.
std::string_view ImageErrorText(ImageError error);

}  // namespace movarin::imaging
