#include "platform/desktop/picture_reader.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>
#include <png.h>

#include "platform/files.h"

namespace host::detail {
namespace {

// A face is 28 pixels across; a picture decoded at four times that still
// gives every face pixel a good many to average, and lets a JPEG be decoded
// at an eighth of its size, which is most of the time a 12-megapixel photo
// takes.
constexpr int32_t WantedSide = 4 * 28;
// Decoded pixels beyond this are a mistake or an attack, not a photo (a
// 60-megapixel camera's stays under it).
constexpr uint64_t MostPixels = 80'000'000;

enum class Kind { Png, Jpeg, Other };

Kind KindOf(const std::string& path) {
  unsigned char head[8] = {};
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file || std::fread(head, 1, sizeof head, file.get()) < 3) return Kind::Other;
  if (png_sig_cmp(head, 0, 8) == 0) return Kind::Png;
  if (head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return Kind::Jpeg;
  return Kind::Other;
}

bool ReadPng(const std::string& path, DecodedPicture* picture, std::string* why) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    *why = std::string("damaged: ") + image.message;
    return false;
  }
  if (uint64_t{image.width} * image.height > MostPixels) {
    png_image_free(&image);
    *why = "too large: more than 80 megapixels";
    return false;
  }
  // An animated PNG's first frame is its still picture, and this is it.
  image.format = PNG_FORMAT_RGBA;
  picture->Rgba.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, picture->Rgba.data(), 0, nullptr) == 0) {
    *why = std::string("damaged: ") + image.message;
    return false;
  }
  picture->Width = static_cast<int32_t>(image.width);
  picture->Height = static_cast<int32_t>(image.height);
  return true;
}

struct JpegErrors {
  jpeg_error_mgr Manager;
  std::jmp_buf Escape;
  char Message[JMSG_LENGTH_MAX];
  bool CutShort;
};

// Warnings are kept quiet, the game is no place for them, except one: a
// file that ends before its picture does is damaged, whatever grey the
// library fills the rest with.
void NoteJpegWarning(j_common_ptr info, int level) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) errors->CutShort = true;
}

[[noreturn]] void LeaveJpeg(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->Message);
  std::longjmp(errors->Escape, 1);
}

int32_t StoredOrientation(const std::string& path) {
  ExifData* data = exif_data_new_from_file(path.c_str());
  if (data == nullptr) return 1;
  int32_t orientation = 1;
  if (ExifEntry* entry = exif_data_get_entry(data, EXIF_TAG_ORIENTATION);
      entry != nullptr && entry->format == EXIF_FORMAT_SHORT && entry->size >= 2) {
    orientation = exif_get_short(entry->data, exif_data_get_byte_order(data));
  }
  exif_data_unref(data);
  return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// Everything here between setjmp and the end may be left by longjmp: it
// holds nothing that needs destroying but what `cleanup` below frees.
bool ReadJpeg(const std::string& path, DecodedPicture* picture, std::string* why) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *why = std::string("cannot be read: ") + std::strerror(errno);
    return false;
  }
  jpeg_decompress_struct info;
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = LeaveJpeg;
  errors.Manager.emit_message = NoteJpegWarning;
  errors.CutShort = false;
  std::vector<uint8_t>& rgba = picture->Rgba;
  if (setjmp(errors.Escape) != 0) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    *why = std::string("damaged: ") + errors.Message;
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  // Printers' pictures are stored as CMYK, most often inverted as one
  // well-known editor writes them (it leaves its own marker to say so).
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  const uint32_t shorter = std::min(info.image_width, info.image_height);
  info.scale_num = 1;
  info.scale_denom = 1;
  for (const unsigned denominator : {8u, 4u, 2u}) {
    if (shorter / denominator >= WantedSide) {
      info.scale_denom = denominator;
      break;
    }
  }
  jpeg_calc_output_dimensions(&info);
  if (uint64_t{info.output_width} * info.output_height > MostPixels) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    *why = "too large: more than 80 megapixels";
    return false;
  }
  jpeg_start_decompress(&info);
  const size_t rowBytes = size_t{info.output_width} * 4;
  rgba.assign(rowBytes * info.output_height, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rgba.data() + rowBytes * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  const bool inverted = info.saw_Adobe_marker;
  jpeg_finish_decompress(&info);
  picture->Width = static_cast<int32_t>(info.output_width);
  picture->Height = static_cast<int32_t>(info.output_height);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  if (errors.CutShort) {
    *why = "damaged: the file ends before its picture does";
    return false;
  }
  if (cmyk) {
    for (size_t i = 0; i < rgba.size(); i += 4) {
      const uint32_t k = inverted ? rgba[i + 3] : 255u - rgba[i + 3];
      for (size_t c = 0; c < 3; ++c) {
        const uint32_t ink = inverted ? rgba[i + c] : 255u - rgba[i + c];
        rgba[i + c] = static_cast<uint8_t>((ink * k + 127) / 255);
      }
      rgba[i + 3] = 255;
    }
  }
  picture->Orientation = StoredOrientation(path);
  return true;
}

}  // namespace

bool ReadPicture(const std::string& path, DecodedPicture* picture, std::string* why) {
  *picture = DecodedPicture{};
  if (!IsPlainFile(path)) {
    *why = "not a plain file";
    return false;
  }
  switch (KindOf(path)) {
    case Kind::Png:
      return ReadPng(path, picture, why);
    case Kind::Jpeg:
      return ReadJpeg(path, picture, why);
    case Kind::Other:
      break;
  }
  *why = "not a PNG or JPEG picture";
  return false;
}

}  // namespace host::detail
