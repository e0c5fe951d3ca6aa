#pragma once
// Why a load, a decode or a save failed: one code for the whole loader, each with a text.
#include <string_view>

namespace movarin::imaging {

enum class ImageError {
  kNoImage,
  kFileNotFound,
  kFileTooShort,
  kFileTooLarge,
  kFileReadFailed,
  kFileWriteFailed,
  kSaveDeclined,
  kDataTooShort,
  kBadRange,
  kUnrecognised,
  kImageTooLarge,
  kTruncated,
  // PNG
  kChunkPastEnd,
  kChunkTooLong,
  kCrcMismatch,
  kBadHeader,
  kMissingHeader,
  kMissingImageData,
  kMissingPalette,
  kBadPalette,
  kBadFilter,
  // zlib / DEFLATE
  kBadZlibHeader,
  kBadBlockType,
  kBadStoredLength,
  kBadHuffmanCode,
  kBadDistance,
  kChecksumMismatch,
  kOutputTooLarge,
  kOutputTooShort,
  kInflateFailed,
  // GIF
  kBadGifHeader,
  kNoGifFrame,
  kBadGifBlock,
  kNoColourTable,
  kBadLzwCode,
  // ICO/CUR
  kBadIconDirectory,
  kNoUsableIconEntry,
  // BMP
  kBadBitmapHeader,
  kUnsupportedCompression,
  kUnsupportedBitDepth,
  // Windows side
  kSystemLoaderFailed,
  kNoDevice,
  kCount  // not an error: the number of errors
};

// The text shown for a failure, e.g. by movarin-image.
std::string_view ImageErrorText(ImageError error);

}  // namespace movarin::imaging
