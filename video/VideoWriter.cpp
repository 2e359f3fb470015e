#include "video/VideoWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/InterruptCleanup.h"
#include "base/TemporaryFile.h"
#include "video/LibraryObjects.h"
#include "video/VideoError.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace video {
namespace {

// The output context with the file it writes to.
struct FormatFree {
  void operator()(AVFormatContext* format) const {
    if (format->pb != nullptr)
      avio_closep(&format->pb);
    avformat_free_context(format);
  }
};

// The constant quality of the shared form: visually lossless for ordinary
// pictures, enough to keep single-colour squares of 3 x 3 pixels distinct.
constexpr const char* kMp4Quality = "18";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::optional<VideoKind> KindOfVideoFile(std::string_view path) {
  if (EndsWith(path, ".mkv"))
    return VideoKind::LosslessMkv;
  if (EndsWith(path, ".mp4"))
    return VideoKind::SharedMp4;
  return std::nullopt;
}

std::string_view SupportedVideoExtensions() {
  return ".mkv (lossless FFV1) and .mp4 (H.264)";
}

struct VideoWriter::State {
  std::unique_ptr<AVFormatContext, FormatFree> format;
  CodecPtr codec;
  FramePtr frame;
  PacketPtr packet;
  ScalePtr scale;  // to yuv420p, for the shared form
  AVStream* stream = nullptr;
  VideoKind kind = VideoKind::LosslessMkv;
  FrameLayout layout = FrameLayout::BottomUpBgr;
  std::string path;
  std::string temporary;                                // empty once renamed or removed
  std::optional<base::RemovedOnInterrupt> interrupted;  // the temporary file
  int width = 0;
  int height = 0;
  int frames = 0;
  bool finished = false;

  ~State() {
    format.reset();  // closes the file before it is removed
    if (!temporary.empty())
      ::unlink(temporary.c_str());
  }

  std::string Problem(std::string_view what, int code) const {
    return "cannot write " + path + ": " + std::string(what) + ": " + ErrorText(code);
  }

  // Hands the frame (or, with nullptr, the end of the stream) to the encoder
  // and writes every packet it gives back.
  std::optional<std::string> Encode(AVFrame* input) {
    int result = avcodec_send_frame(codec.get(), input);
    if (result < 0)
      return Problem("encoding", result);
    while ((result = avcodec_receive_packet(codec.get(), packet.get())) >= 0) {
      av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      result = av_interleaved_write_frame(format.get(), packet.get());
      if (result < 0)
        return Problem("writing", result);
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF)
      return Problem("encoding", result);
    return std::nullopt;
  }
};

VideoWriter::VideoWriter() = default;
VideoWriter::~VideoWriter() = default;

int VideoWriter::FramesWritten() const {
  return m_state ? m_state->frames : 0;
}

std::optional<std::string> VideoWriter::Open(const std::string& path, int width, int height,
                                             int rate, FrameLayout layout) {
  m_state.reset();
  SilenceLibraryLog();
  const std::optional<VideoKind> kind = KindOfVideoFile(path);
  if (!kind)
    return path + ": a video file must end in " + std::string(SupportedVideoExtensions());
  // yuv420p halves both sizes, so the shared form needs even ones.
  const bool evenNeeded = *kind == VideoKind::SharedMp4;
  if (width <= 0 || height <= 0 || rate <= 0 || (evenNeeded && (width % 2 != 0 || height % 2 != 0)))
    return path + ": cannot make a video of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels at " + std::to_string(rate) + " frames a second";

  auto state = std::make_unique<State>();
  state->kind = *kind;
  state->layout = layout;
  state->path = path;
  state->width = width;
  state->height = height;

  // The temporary name is made unique on disk first, so two runs never share
  // it; the library then writes over the empty file.
  std::string temporary;
  const int fd = base::CreateTemporaryBeside(path, temporary, state->interrupted.emplace());
  if (fd < 0)
    return "cannot create a file beside " + path + ": " + std::strerror(errno);
  ::close(fd);
  state->temporary = temporary;

  const bool lossless = *kind == VideoKind::LosslessMkv;
  AVFormatContext* format = nullptr;
  int result = avformat_alloc_output_context2(&format, nullptr, lossless ? "matroska" : "mp4",
                                              temporary.c_str());
  if (result < 0 || format == nullptr)
    return state->Problem("the container", result);
  state->format.reset(format);

  const AVCodec* encoder =
      lossless ? avcodec_find_encoder(AV_CODEC_ID_FFV1) : avcodec_find_encoder_by_name("libx264");
  if (encoder == nullptr)
    return state->Problem(lossless ? "no FFV1 encoder" : "no H.264 encoder (libx264)",
                          AVERROR_ENCODER_NOT_FOUND);
  state->codec.reset(avcodec_alloc_context3(encoder));
  if (!state->codec)
    return state->Problem("memory", AVERROR(ENOMEM));
  AVCodecContext* codec = state->codec.get();
  codec->width = width;
  codec->height = height;
  codec->time_base = AVRational{1, rate};
  codec->framerate = AVRational{rate, 1};
  codec->pix_fmt = lossless ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
  codec->gop_size = lossless ? 1 : 2 * rate;
  codec->thread_count = 0;  // as many as the machine has cores
  if (!lossless) {
    codec->colorspace = AVCOL_SPC_SMPTE170M;
    codec->color_range = AVCOL_RANGE_MPEG;
  }
  if (format->oformat->flags & AVFMT_GLOBALHEADER)
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (lossless) {
    av_opt_set(codec->priv_data, "level", "3", 0);
  } else {
    av_opt_set(codec->priv_data, "crf", kMp4Quality, 0);
    av_opt_set(codec->priv_data, "preset", "medium", 0);
  }
  if ((result = avcodec_open2(codec, encoder, nullptr)) < 0)
    return state->Problem("the encoder", result);

  state->stream = avformat_new_stream(format, nullptr);
  if (state->stream == nullptr)
    return state->Problem("the stream", AVERROR(ENOMEM));
  state->stream->time_base = codec->time_base;
  state->stream->avg_frame_rate = codec->framerate;
  if ((result = avcodec_parameters_from_context(state->stream->codecpar, codec)) < 0)
    return state->Problem("the stream", result);

  state->frame.reset(av_frame_alloc());
  state->packet.reset(av_packet_alloc());
  if (!state->frame || !state->packet)
    return state->Problem("memory", AVERROR(ENOMEM));
  state->frame->format = codec->pix_fmt;
  state->frame->width = width;
  state->frame->height = height;
  if ((result = av_frame_get_buffer(state->frame.get(), 0)) < 0)
    return state->Problem("memory", result);
  if (!lossless) {
    // From blue-green-red the library converts without its general scaler.
    state->scale.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height,
                                      AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!state->scale)
      return state->Problem("the colour conversion", AVERROR(EINVAL));
  }

  // The name is a file's, never a protocol's ("pipe:", "http:").
  if ((result = avio_open(&format->pb, ("file:" + temporary).c_str(), AVIO_FLAG_WRITE)) < 0)
    return state->Problem("opening", result);
  AVDictionary* options = nullptr;
  if (!lossless)
    av_dict_set(&options, "movflags", "+faststart", 0);
  result = avformat_write_header(format, &options);
  av_dict_free(&options);
  if (result < 0)
    return state->Problem("the header", result);
  m_state = std::move(state);
  return std::nullopt;
}

std::optional<std::string> VideoWriter::WriteFrame(std::span<const std::uint8_t> pixels) {
  if (!m_state || m_state->finished)
    return "no video is open";
  State& state = *m_state;
  const std::size_t rowBytes = static_cast<std::size_t>(state.width) * 3;
  if (pixels.size() < rowBytes * static_cast<std::size_t>(state.height))
    return "cannot write " + state.path + ": a frame is smaller than the video";
  AVFrame* frame = state.frame.get();
  if (const int result = av_frame_make_writable(frame); result < 0)
    return state.Problem("memory", result);

  // A bottom-up buffer's last row is the picture's top one; a negative
  // stride walks the rows from the top of the picture down.
  const bool topDown = state.layout == FrameLayout::TopDownBgr;
  const std::uint8_t* top =
      topDown ? pixels.data()
              : pixels.data() + rowBytes * static_cast<std::size_t>(state.height - 1);
  const std::ptrdiff_t step =
      topDown ? static_cast<std::ptrdiff_t>(rowBytes) : -static_cast<std::ptrdiff_t>(rowBytes);
  if (state.kind == VideoKind::LosslessMkv) {
    for (int y = 0; y < state.height; ++y) {
      const std::uint8_t* in = top + step * y;
      std::uint8_t* out = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
      for (int x = 0; x < state.width; ++x, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0;
      }
    }
  } else {
    const std::uint8_t* const source[1] = {top};
    const int sourceStride[1] = {static_cast<int>(step)};
    sws_scale(state.scale.get(), source, sourceStride, 0, state.height, frame->data,
              frame->linesize);
  }
  frame->pts = state.frames;
  if (auto problem = state.Encode(frame))
    return problem;
  ++state.frames;
  return std::nullopt;
}

std::optional<std::string> VideoWriter::Finish() {
  if (!m_state || m_state->finished)
    return "no video is open";
  State& state = *m_state;
  state.finished = true;
  if (auto problem = state.Encode(nullptr))
    return problem;
  if (const int result = av_write_trailer(state.format.get()); result < 0)
    return state.Problem("the end of the file", result);
  if (const int result = avio_closep(&state.format->pb); result < 0)
    return state.Problem("closing", result);
  if (std::rename(state.temporary.c_str(), state.path.c_str()) != 0)
    return "cannot write " + state.path + ": " + std::strerror(errno);
  state.temporary.clear();
  state.interrupted.reset();
  return std::nullopt;
}

}  // namespace video
