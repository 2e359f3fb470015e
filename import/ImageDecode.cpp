#include "import/ImageDecode.h"

#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace cli {
namespace {

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

}  // namespace

std::vector<std::string> PictureFileEndings() {
  std::vector<std::string> endings;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    endings.push_back(format.toLower().toStdString());
  return endings;
}

std::optional<std::string> ReadPictureSize(const std::string& path, int& width, int& height) {
  QImageReader reader(QString::fromStdString(path));
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) {
    // Some readers learn the size only by decoding; the reason is the
    // reader's either way.
    QImage image;
    if (!reader.read(&image))
      return ReaderReason(reader);
    width = image.width();
    height = image.height();
    return std::nullopt;
  }
  width = size.width();
  height = size.height();
  return std::nullopt;
}

std::optional<std::string> DecodeShownPart(const std::string& path, const FrameGeometry& geometry,
                                           RgbImage& shown) {
  QImageReader reader(QString::fromStdString(path));
  const QSize size = reader.size();
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
  QImage image;
  if (!reader.read(&image))
    return ReaderReason(reader);
  if (image.width() != part.width || image.height() != part.height)
    return "decoded as " + std::to_string(image.width()) + " x " + std::to_string(image.height()) +
           " pixels instead of " + std::to_string(part.width) + " x " + std::to_string(part.height);
  shown = ToRgb(image);
  return std::nullopt;
}

RgbImage CropAndScale(const RgbView& picture, const PixelRect& rect, int width, int height) {
  const bool inside = rect.x >= 0 && rect.y >= 0 && rect.width >= 1 && rect.height >= 1 &&
                      rect.x <= picture.width - rect.width &&
                      rect.y <= picture.height - rect.height;
  if (!inside || width < 1 || height < 1 || !IsWhole(picture) ||
      picture.stride > static_cast<std::size_t>(INT32_MAX))
    return {};
  // A view of the caller's rows, copied only by the crop and the scaling.
  const QImage view(picture.pixels.data(), picture.width, picture.height,
                    static_cast<qsizetype>(picture.stride), QImage::Format_RGB888);
  const QImage scaled = view.copy(ToQRect(rect))
                            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return ToRgb(scaled);
}

}  // namespace cli
