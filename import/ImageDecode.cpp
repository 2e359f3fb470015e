#include "import/ImageDecode.h"

#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>

#include "base/InputFile.h"
#include "video/VideoReader.h"

namespace cli {
namespace {

using Bytes = std::span<const std::uint8_t>;

// Enough for any picture within the decoded-size bound at 4 bytes a pixel,
// in the megabytes the readers count: the bound below speaks first.
constexpr int kReaderAllocationMegabytes = static_cast<int>((video::kMaxFramePixels * 4) >> 20);

std::uint32_t Little32(Bytes bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}
std::uint16_t Little16(Bytes bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// True unless the JPEG data stops before its end-of-image marker: the
// segments are walked by their lengths and the coded data scanned for the
// next marker, so bytes after the marker (an appended video) do no harm.
bool JpegIsWhole(Bytes bytes) {
  const std::size_t n = bytes.size();
  if (n >= 2 && bytes[n - 2] == 0xFF && bytes[n - 1] == 0xD9)
    return true;
  if (n < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
    return true;  // not a layout this walk knows: the reader judged it
  std::size_t at = 2;
  while (at < n) {
    if (bytes[at] != 0xFF) {  // stray bytes, which the decoder passes over
      ++at;
      continue;
    }
    while (at < n && bytes[at] == 0xFF)
      ++at;
    if (at >= n)
      return false;
    const std::uint8_t marker = bytes[at++];
    if (marker == 0xD9)
      return true;
    if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
      continue;  // no length follows
    if (n - at < 2)
      return false;
    const std::size_t length = std::size_t{bytes[at]} << 8 | bytes[at + 1];
    if (length < 2 || length > n - at)
      return false;
    at += length;
    if (marker != 0xDA)
      continue;
    // The coded data after a scan header: 0xFF is followed by 0 (a stuffed
    // byte) or a restart marker inside it, by another marker at its end.
    while (at + 1 < n && !(bytes[at] == 0xFF && bytes[at + 1] != 0x00 &&
                           (bytes[at + 1] < 0xD0 || bytes[at + 1] > 0xD7)))
      ++at;
    if (at + 1 >= n)
      return false;
  }
  return false;
}

// The file size an uncompressed BMP needs by its headers (the last row's
// padding not required); nothing for layouts it cannot tell (RLE).
std::optional<std::uint64_t> BmpBytesNeeded(Bytes bytes) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
    return std::nullopt;
  const std::uint64_t dataStart = Little32(bytes, 10);
  const std::uint32_t infoSize = Little32(bytes, 14);
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  std::uint32_t bits = 0;
  if (infoSize == 12) {
    width = Little16(bytes, 18);
    height = Little16(bytes, 20);
    bits = Little16(bytes, 24);
  } else if (infoSize >= 40 && bytes.size() >= 34) {
    const auto signedWidth = static_cast<std::int32_t>(Little32(bytes, 18));
    const auto signedHeight = static_cast<std::int32_t>(Little32(bytes, 22));
    const std::uint32_t compression = Little32(bytes, 30);
    if (compression != 0 && compression != 3 && compression != 6)
      return std::nullopt;
    width = static_cast<std::uint64_t>(std::max<std::int64_t>(signedWidth, 0));
    height = static_cast<std::uint64_t>(std::abs(std::int64_t{signedHeight}));
    bits = Little16(bytes, 28);
  } else {
    return std::nullopt;
  }
  if (width == 0 || height == 0 || bits == 0 || bits > 64 || width > (1u << 20) ||
      height > (1u << 20))
    return std::nullopt;
  const std::uint64_t rowBytes = (width * bits + 7) / 8;
  const std::uint64_t stride = (width * bits + 31) / 32 * 4;
  return dataStart + stride * (height - 1) + rowBytes;
}

// True unless a GIF stops inside its first picture, the one decoded.
bool GifFirstPictureIsWhole(Bytes bytes) {
  const std::size_t n = bytes.size();
  if (n < 13 || std::memcmp(bytes.data(), "GIF", 3) != 0)
    return true;
  std::size_t at = 13;
  if (bytes[10] & 0x80)
    at += 3u * (2u << (bytes[10] & 7));
  // Sub-blocks, each led by its length, up to an empty one.
  const auto skipBlocks = [&] {
    while (at < n) {
      const std::size_t length = bytes[at++];
      if (length == 0)
        return true;
      at += length;
    }
    return false;
  };
  while (at < n) {
    const std::uint8_t kind = bytes[at++];
    if (kind == 0x21) {  // an extension: its label, then sub-blocks
      ++at;
      if (!skipBlocks())
        return false;
    } else if (kind == 0x2C) {  // a picture: its place, colours and data
      if (n - at < 10)
        return false;
      const std::uint8_t flags = bytes[at + 8];
      at += 9;
      if (flags & 0x80)
        at += 3u * (2u << (flags & 7));
      ++at;  // the code size
      return at <= n && skipBlocks();
    } else {
      return true;  // the trailer, or a layout the reader judged
    }
  }
  return false;
}

// Why the decoded picture is not all of it: the file ends before the
// picture data does. JPEG, BMP and GIF readers fill the rows they miss with
// grey or black and report success, so their files are measured here.
std::optional<std::string> CutShort(QFile& file, const QByteArray& format) {
  const bool jpeg = format == "jpeg" || format == "jpg";
  if (!jpeg && format != "bmp" && format != "gif")
    return std::nullopt;
  // The file the reader read, not one opened again by its name.
  if (!file.seek(0))
    return "cannot be read again to check it is whole";
  const qint64 size = file.size();
  // Mapped, not read: a whole JPEG is checked by its last two bytes, the
  // others by a walk of what they need.
  const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
  QByteArray read;
  Bytes bytes;
  if (mapped != nullptr) {
    bytes = Bytes(mapped, static_cast<std::size_t>(size));
  } else {
    read = file.readAll();
    bytes = Bytes(reinterpret_cast<const std::uint8_t*>(read.constData()),
                  static_cast<std::size_t>(read.size()));
  }
  if (jpeg && !JpegIsWhole(bytes))
    return "the file ends inside the picture data (cut short: no end-of-image marker)";
  if (format == "gif" && !GifFirstPictureIsWhole(bytes))
    return "the file ends inside the picture data (cut short)";
  if (format == "bmp") {
    const std::optional<std::uint64_t> needed = BmpBytesNeeded(bytes);
    if (needed && *needed > bytes.size())
      return "the file holds " + std::to_string(bytes.size()) + " of the " +
             std::to_string(*needed) + " bytes its header gives (cut short)";
  }
  return std::nullopt;
}

QRect ToQRect(const PixelRect& rect) {
  return QRect(rect.x, rect.y, rect.width, rect.height);
}

// The reader's own words where it has any; a plain reason otherwise (Qt
// says "Unknown error" for a file no plugin recognises).
std::string ReaderReason(const QImageReader& reader) {
  switch (reader.error()) {
    case QImageReader::FileNotFoundError:
      return "no such file";
    case QImageReader::DeviceError:
      return "cannot be read (" + reader.errorString().toStdString() + ")";
    case QImageReader::UnsupportedFormatError:
      return "not a picture format the image readers know";
    case QImageReader::InvalidDataError:
      return "invalid picture data (" + reader.errorString().toStdString() + ")";
    case QImageReader::UnknownError:
      break;
  }
  const std::string said = reader.errorString().toStdString();
  return said.empty() || said == "Unknown error" ? "cannot be decoded" : said;
}

// A picture file opened by its descriptor, which still gives the readers
// its ending: they try the format it names first, as they do for a name.
class PictureFile : public QFile {
 public:
  QString fileName() const override { return m_name; }
  void SetEnding(const std::string& ending) { m_name = QString::fromStdString("picture" + ending); }

 private:
  QString m_name;
};

// Opens the picture at path for a reader: by its bytes, so that every name
// the system takes is read (Qt would take a name that is not UTF-8 for
// another), and as a regular file, its faults in the inputs' words.
std::optional<std::string> OpenPicture(const std::string& path, PictureFile& file,
                                       QImageReader& reader) {
  int fd = -1;
  if (const std::optional<base::FileFault> fault = base::OpenRegularFile(path, fd))
    return fault->Describe();
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return "cannot be opened";
  }
  file.SetEnding(std::filesystem::path(path).extension().string());
  reader.setDevice(&file);
  return std::nullopt;
}

// Packed red-green-blue rows of a decoded image, transparency composited
// onto black: premultiplied colour is exactly the colour over black.
RgbImage ToRgb(const QImage& image) {
  RgbImage rgb{image.width(), image.height(), {}};
  const std::size_t rowBytes = static_cast<std::size_t>(rgb.width) * 3;
  rgb.pixels.resize(rowBytes * static_cast<std::size_t>(rgb.height));
  if (image.hasAlphaChannel()) {
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rgb.height; ++y) {
      const auto* from = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
      std::uint8_t* to = rgb.pixels.data() + static_cast<std::size_t>(y) * rowBytes;
      for (int x = 0; x < rgb.width; ++x, to += 3) {
        to[0] = static_cast<std::uint8_t>(qRed(from[x]));
        to[1] = static_cast<std::uint8_t>(qGreen(from[x]));
        to[2] = static_cast<std::uint8_t>(qBlue(from[x]));
      }
    }
    return rgb;
  }
  const QImage packed = image.convertToFormat(QImage::Format_RGB888);
  for (int y = 0; y < rgb.height; ++y)
    std::memcpy(rgb.pixels.data() + static_cast<std::size_t>(y) * rowBytes, packed.constScanLine(y),
                rowBytes);
  return rgb;
}

// The decoded image as blue-green-red rows `stride` bytes apart from `to`,
// transparency composited onto black: in one pass over the pixels of the
// forms the readers decode most pictures to (packed 24-bit for JPEG, 32-bit
// for most others), through a 32-bit copy for the rest.
void CopyBgrRows(const QImage& image, std::uint8_t* to, std::size_t stride) {
  const int width = image.width();
  if (image.format() == QImage::Format_RGB888) {
    for (int y = 0; y < image.height(); ++y) {
      const uchar* from = image.constScanLine(y);
      std::uint8_t* pixel = to + static_cast<std::size_t>(y) * stride;
      for (int x = 0; x < width; ++x, pixel += 3, from += 3) {
        pixel[0] = from[2];
        pixel[1] = from[1];
        pixel[2] = from[0];
      }
    }
    return;
  }
  const QImage pixels = image.convertToFormat(
      image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    std::uint8_t* pixel = to + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x, pixel += 3) {
      pixel[0] = static_cast<std::uint8_t>(qBlue(from[x]));
      pixel[1] = static_cast<std::uint8_t>(qGreen(from[x]));
      pixel[2] = static_cast<std::uint8_t>(qRed(from[x]));
    }
  }
}

}  // namespace

std::vector<std::string> PictureFileEndings() {
  std::vector<std::string> endings;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    endings.push_back(format.toLower().toStdString());
  return endings;
}

std::optional<std::string> ReadPictureSize(const std::string& path, int& width, int& height) {
  PictureFile file;
  QImageReader reader;
  if (auto problem = OpenPicture(path, file, reader))
    return problem;
  reader.setAllocationLimit(kReaderAllocationMegabytes);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) {
    // Some readers learn the size only by decoding; the reason is the
    // reader's either way.
    QImage image;
    if (!reader.read(&image))
      return ReaderReason(reader);
    width = image.width();
    height = image.height();
  } else {
    width = size.width();
    height = size.height();
  }
  return video::DecodedSizeProblem(width, height);
}

std::optional<std::string> DecodeShownPart(const std::string& path, const FrameGeometry& geometry,
                                           RgbImage& shown) {
  PictureFile file;
  QImageReader reader;
  if (auto problem = OpenPicture(path, file, reader))
    return problem;
  reader.setAllocationLimit(kReaderAllocationMegabytes);
  const QSize size = reader.size();
  if (size.isValid()) {
    if (auto problem = video::DecodedSizeProblem(size.width(), size.height()))
      return problem;
  }
  if (size.isValid() &&
      (size.width() != geometry.sourceWidth || size.height() != geometry.sourceHeight))
    return "is " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
           " pixels, the series " + std::to_string(geometry.sourceWidth) + " x " +
           std::to_string(geometry.sourceHeight);
  const PixelRect read = SourceReadRect(geometry);
  const PixelRect part = ShownPart(geometry);
  // The readers crop and then scale; the JPEG reader does both while it
  // decodes, which costs a fraction of decoding the whole picture.
  if (read != PixelRect{0, 0, geometry.sourceWidth, geometry.sourceHeight})
    reader.setClipRect(ToQRect(read));
  if (read.width != part.width || read.height != part.height)
    reader.setScaledSize(QSize(part.width, part.height));
  // The reader forgets its format once it has read.
  const QByteArray format = reader.format();
  QImage image;
  if (!reader.read(&image))
    return ReaderReason(reader);
  if (auto cut = CutShort(file, format))
    return cut;
  if (image.width() != part.width || image.height() != part.height)
    return "decoded as " + std::to_string(image.width()) + " x " + std::to_string(image.height()) +
           " pixels instead of " + std::to_string(part.width) + " x " + std::to_string(part.height);
  shown = ToRgb(image);
  return std::nullopt;
}

std::optional<std::string> DecodeWholePicture(const std::string& path, int sourceWidth,
                                              int sourceHeight, int width, int height,
                                              std::span<std::uint8_t> rows, std::size_t stride) {
  const std::size_t rowBytes = static_cast<std::size_t>(std::max(width, 0)) * 3;
  if (width < 1 || height < 1 || stride < rowBytes ||
      rows.size() < stride * static_cast<std::size_t>(height - 1) + rowBytes)
    return "cannot be decoded into " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels here";
  QImageReader reader(QString::fromStdString(path));
  const QSize size = reader.size();
  if (size.isValid() && (size.width() != sourceWidth || size.height() != sourceHeight))
    return "is " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
           " pixels, the first picture " + std::to_string(sourceWidth) + " x " +
           std::to_string(sourceHeight);
  // The JPEG reader scales while it decodes, which costs a fraction of
  // decoding the whole picture.
  if (width != sourceWidth || height != sourceHeight)
    reader.setScaledSize(QSize(width, height));
  // Each thread decodes into a picture of its own kept from call to call:
  // the readers fill it in place when its size and format agree, which
  // spares a large allocation, and the zeroing of its fresh pages, a frame.
  thread_local QImage image;
  if (!reader.read(&image))
    return ReaderReason(reader);
  if (image.width() != width || image.height() != height)
    return "decoded as " + std::to_string(image.width()) + " x " + std::to_string(image.height()) +
           " pixels instead of " + std::to_string(width) + " x " + std::to_string(height);
  CopyBgrRows(image, rows.data(), stride);
  return std::nullopt;
}

}  // namespace cli
