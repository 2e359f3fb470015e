#include "tools/CliUsage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "base/NumberText.h"

namespace cli {
namespace {

constexpr std::array<CommandUsage, 9> kCommands{{
    {"sample", "sample DIR",
     R"(Writes the sample series into the folder DIR, made when missing: frames 0 to
60 of a synthetic take, DIR/take9_0000.bmp to DIR/take9_0060.bmp (320 x 240,
24-bit), recorded through the console's frame recorder, and DIR/truetracks.txt
with the true positions of its four targets. Each target is a bright 6 x 6 blob whose
bottom-left pixel is its position: it covers columns x to x+5 and rows y-5 to y,
rows counted from the top. Target 1 appears at frame 15, target 2 is hidden in
frames 30 to 39, and target 3 leaves the picture at frame 20, where its rows
become "1000 1000" and disable it. The recorder prints "Frame 20", "Frame 40"
and "Frame 60" on the way.
The series is recorded into a temporary folder inside DIR and moved into place
when whole. On failure (DIR is not a folder, a file cannot be written) DIR is
left as it was and the exit status is 1.
)"},
    {"render",
     "render ROOT FIRST LAST [OUTROOT] [--video FILE] [--tracks FILE] [--trails] [--markers] "
     "[--rate N] [--hypotheses HYP [--hyp-format points|mot|tracks] [--geometry FILE] "
     "[--threshold D]]",
     R"(Plays ROOT_FIRST.bmp to ROOT_LAST.bmp (names "%s_%04d.bmp") frame by frame
through the player's own playback step, and writes every frame shown, overlays
included, as OUTROOT_NNNN.bmp, NNNN being the number of the frame shown:
OUTROOT_0024.bmp shows ROOT_0024.bmp exactly as the player's picture shows it.
  --video FILE   also (or, without OUTROOT, only) encode the frames as the
                 video FILE at the rate of --rate, one picture per frame
                 number; a frame not shown holds the picture before it (black
                 before the first). FILE.mkv: FFV1, lossless, every picture
                 the frame file's bytes; FILE.mp4: H.264, yuv420p, constant
                 quality 18, index first so that it plays while loading
  --markers      paint a red marker at each target's position, as "Use
                 TrueTracks" does
  --trails       paint the green trails, as "Show Track" does
  --tracks FILE  the track file (with --trails, --markers or --threshold);
                 without it truetracks.txt is read from the current folder,
                 as the player reads it
  --rate N       the player's frame rate, 1 to 30 (default 10), and the
                 video's; frames are rendered as fast as they are read
  --hypotheses HYP  paint a tracker's output over the player's overlays, read
                 as evaluate reads it (--hyp-format, --geometry): a cyan ring
                 2 pixels wide around the 10 x 10 square a marker at the
                 hypothesis's position covers
  --threshold D  also mark each frame's errors as evaluate matches them
                 (truth from the track file): a magenta ring around a missed
                 truth object's marker, a yellow ring around a false
                 positive's cyan one
A frame file that cannot be opened or read (missing, not a regular file,
permission denied, a read error) is skipped and named, as is one whose header is still short or
without the "BM" signature after 3 tries; the next frame starts over black, as
a new READ would. A short pixel block shows over the frame before it.
Each output file is written under a temporary name and renamed when whole;
OUTROOT may not name the series being read. A file that cannot be written
stops the command with the system's reason; the frames written before it stay,
a video is not kept.
0 <= FIRST <= LAST, at most 100000 frames. Standard error shows a progress
bar on a terminal, a progress line at every tenth otherwise; the summary on
standard output gives the frames shown, not shown and the retries.
Exit status 1 when a frame was not shown or a file could not be read or
written, 0 otherwise.
)"},
    {"import",
     "import SOURCE OUTROOT [--first N] [--start K] [--fit | --center | --crop X,Y,W,H] "
     "[--jobs J] [--first-frame N] [--count C]",
     R"(Turns pictures into a series the program plays: OUTROOT_NNNN.bmp, numbered
from K (default 0), each a 320 x 240 frame file exactly as the recorder writes
it, and OUTROOT.geometry beside them, which records how source positions and
numbers map to the frames. OUTROOT's folder is made when it is missing.
SOURCE is a folder (every picture file in it, in natural order: img2.png
before img10.png; other files are ignored) or a printf-style pattern with one
integer conversion such as frames/%06d.jpg, read from number N (default: the
lowest number present) up to the first number without a file. Every format
the image readers know is read (PNG, JPEG, BMP, GIF, TIFF, WebP, ...), grey
and 16-bit included; transparency is composited onto black.
  --fit          (default) scale to the largest size that fits 320 x 240,
                 keeping the shape, and centre it on black
  --center       no scaling: the middle of the picture, or all of it on black
                 when it is smaller
  --crop X,Y,W,H take that rectangle of the source, then fit it
  --jobs J       decode pictures on J threads (default: one per core; a
                 video is decoded by the libraries on every core)
SOURCE may also be a video file (any other regular file: MP4, MKV, AVI, ...,
whatever FFmpeg's libraries open). Its frames, numbered from 1, become the
series in the same way, and OUTROOT.geometry also records the video's frame
rate and time base.
  --first-frame N  start at video frame N (default 1)
  --count C        write C frames (default: to the end, at most 100000); a
                   video that ends before them fails the command
Every frame the stream delivers is written, whatever length the container
declares. A video whose decoding breaks off, or that ends well before the
length its file records for the stream, fails the command (exit 1) once the
frames it held are written.
A progress bar shows on a terminal, progress lines otherwise. A picture that
cannot be read, is cut short or declares more than 8192 x 8192 pixels fails
the command (exit 1) with its name and the reason (a video of such frames
too); the frames written before it are complete (each file is written under
a temporary name and renamed), and the message names them. The command
refuses to write over its own sources. At most 100000 frames.
)"},
    {"mot2tracks", "mot2tracks GT OUTFILE [--geometry FILE] [--classes LIST] [--ids LIST]",
     R"(Turns MOTChallenge ground truth into a track file. GT holds rows
    frame,id,left,top,width,height[,conf[,class[,visibility[,...]]]]
(frames from 1; commas or white space between the fields). Rows with conf 0
are not targets and are skipped. A target's position is the centre of its
box, mapped through the series' geometry file into the 320 x 240 frame and
rounded; frame numbers map through it too. Without --geometry, positions and
frame numbers are taken as they stand.
  --geometry FILE  the .geometry file import wrote beside the series
  --classes LIST   keep only rows of these classes (comma-separated integers)
  --ids LIST       these target ids, in this order (at most 50); by default
                   the first 50 ids to appear, in order of their first frame
OUTFILE gets the count, the first frame, then one "x y" row per target per
frame up to the last frame with a box, "0 0" where a target has no box. A
position that would read as absent (0, 0) is written as (1, 0); coordinates
are clamped to -999..999, since above 999 a row disables its target. Targets
beyond 50 and frames outside 0 to 499 are dropped and counted in a warning.
A bad line fails the command naming FILE:LINE; OUTFILE is written whole
through a temporary file, or not at all.
)"},
    {"tracks2mot", "tracks2mot TRACKS OUTFILE [--geometry FILE] [--box W,H]",
     R"(Turns a track file into MOTChallenge rows: for every target and every frame
where it has a position, "frame,id,left,top,width,height,1,1,1" with a W x H
box (default 10,10, in frame pixels) centred on the position, all mapped back
to source coordinates and numbers through --geometry when given. Ids count
from 1 in the order of the track file's targets. The track file is read as
the program reads it; rows that disable a target are not positions and are
left out. mot2tracks with the same geometry gives back the track file.
)"},
    {"score", "score TRACKS MEASURED FROM TO [--csv]",
     R"(Loads the track file TRACKS (laid out like truetracks.txt) and the measured
path MEASURED, and prints, for every enabled track, the mean and the population
variance of the squared distances between path and track over the frames FROM
to TO (0 <= FROM <= TO <= 499), then the best match: the lowest mean over the
enabled tracks and its variance (1e+11 and 0 when no track matches).
MEASURED is text with one measured position per line:
    frame x y
  frame 0 to 499, x and y integers, each frame at most once; '#' starts a
  comment that runs to the end of the line; blank lines are ignored. A frame
  the file does not give counts as (0, 0), like a track's frame without a
  position.
  --csv   print "track,mean,variance" rows and a last row "best,MEAN,VARIANCE"
          instead of the table; the numbers are then exact, and a disabled
          track's fields are empty.
A track file that describes no targets is scored as such, with a warning.
)"},
    {"near", "near TRACKS X Y FRAME THRESHOLD",
     R"(Loads the track file TRACKS and tells whether a disabled target lies strictly
closer than THRESHOLD to the point (X, Y) at frame FRAME (0 to 499): prints
"near" or "not near". A track file that describes no targets gets a warning.
)"},
    {"check", "check ROOT FIRST LAST [--tracks FILE]",
     R"(Checks the frame files ROOT_FIRST.bmp to ROOT_LAST.bmp as the player reads
them and reports every missing file, unreadable file (not a regular file,
permission denied, a read error), bad signature (not "BM"), short header
(under 54 bytes) and short pixel block (under 230400 bytes). Then checks the
track file FILE, or truetracks.txt in the current folder when there is one,
with the loader's own reader: it reports rows the loader drops (targets beyond
the 50 kept, frames past 499 or below 0, an item that is not a number, a last
row with a single number) and notes every disabled target with the frame at
which it is disabled. Bytes quoted from the file that are not printable ASCII
are shown as \xNN.
0 <= FIRST <= LAST, at most 100000 frames. Exit status 0 when nothing is wrong
(notes do not count), 1 otherwise.
)"},
    {"evaluate",
     "evaluate TRUTH HYP --threshold D [--hyp-format points|mot|tracks] [--geometry FILE] "
     "[--from F] [--to T] [--csv | --json]",
     R"(Scores a tracker's output HYP against the track file TRUTH with the CLEAR MOT
metrics (Bernardin and Stiefelhagen 2008) and the identity metrics (Ristani et
al. 2016). The truth objects of a frame are the enabled targets whose position
there is not (0, 0). A truth object and a hypothesis correspond when they lie
at most D pixels apart.
Each frame, in order: a truth object keeps the hypothesis id it was last
matched to when that hypothesis is there, free and within D; the rest are
matched to make the most pairs at the least total distance. A match to another
id than the last one is an identity switch. An unmatched hypothesis closer
than D to a disabled target is ignored rather than a false positive.
  --threshold D    the largest distance of a match, in pixels (needed)
  --hyp-format     how HYP is laid out:
     points        (default) rows "frame,id,x,y", frames 0 to 499
     mot           MOTChallenge rows "frame,id,left,top,width,height,...",
                   placed as mot2tracks places ground truth: the box's
                   centre rounded to whole pixels, frame and centre as they
                   stand (or through --geometry); rows outside frames 0 to
                   499 are left out with a note
     tracks        a track file; the target's index is the id
                   Fields are separated by commas or white space; further
                   columns are ignored; '#' starts a comment.
  --geometry FILE  with mot: the .geometry file of an imported series; each
                   box centre and frame number is mapped into the series as
                   mot2tracks maps ground truth
  --from F, --to T the frames scored (0 to 499); without them, every frame in
                   which either side has an object
  --json           one JSON object: frames, gt, hypotheses, matches, fp, fn,
                   idsw, frag, ignored, mota, motp, idtp, idfp, idfn, idp, idr,
                   idf1, mt, pt, ml and per_target
  --csv            the same totals as a header line and a line of values
A ratio whose denominator is 0 is "-" in the table, null in JSON and empty in
CSV. A bad HYP line is a failure naming FILE:LINE (exit status 1).
)"},
}};

}  // namespace

std::span<const CommandUsage> Commands() {
  return kCommands;
}

const CommandUsage* FindCommand(std::string_view name) {
  const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                               [name](const CommandUsage& c) { return c.name == name; });
  return it == kCommands.end() ? nullptr : &*it;
}

void PrintProgramHelp(std::ostream& out) {
  out << "usage: korvane-cli COMMAND ARGUMENTS...\n"
         "       korvane-cli COMMAND --help\n\n"
         "The command-line companion of Korvane. It runs the program's own console,\n"
         "player and recorder code on an in-memory window system.\n\n"
         "Commands:\n";
  for (const CommandUsage& command : kCommands)
    out << "  korvane-cli " << command.synopsis << '\n';
  out << "\nInputs must be regular files; a file that cannot be used is named with the\n"
         "fault and the system's reason. A command that cannot write its files or its\n"
         "standard output fails.\n"
         "Exit status: 0 success, 1 failure (the message names the file), 2 usage error.\n";
}

void PrintCommandHelp(std::ostream& out, std::string_view command) {
  if (const CommandUsage* usage = FindCommand(command))
    out << "usage: korvane-cli " << usage->synopsis << "\n\n" << usage->help;
}

int UsageError(std::ostream& err, std::string_view command, std::string_view message) {
  err << "korvane-cli";
  if (!command.empty())
    err << ' ' << command;
  err << ": " << message << '\n';
  if (const CommandUsage* usage = FindCommand(command)) {
    err << "usage: korvane-cli " << usage->synopsis << '\n'
        << "Try 'korvane-cli " << command << " --help'.\n";
  } else {
    err << "Try 'korvane-cli --help'.\n";
  }
  return kExitUsage;
}

int Failure(std::ostream& err, std::string_view command, std::string_view message) {
  err << "korvane-cli " << command << ": " << message << '\n';
  return kExitFailure;
}

std::optional<std::string> ParseArgs(std::span<const std::string> args,
                                     std::span<const OptionRule> options, ParsedArgs& parsed) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    if (!arg.starts_with("--")) {
      parsed.positional.push_back(arg);
      continue;
    }
    const auto rule = std::find_if(options.begin(), options.end(),
                                   [&arg](const OptionRule& o) { return o.name == arg; });
    if (rule == options.end())
      return "unknown option " + arg;
    if (parsed.Has(arg))
      return arg + " is given twice";
    if (!rule->takesValue) {
      parsed.flags.insert(arg);
      continue;
    }
    if (i + 1 >= args.size())
      return arg + " needs a value";
    parsed.values.emplace(arg, args[++i]);
  }
  return std::nullopt;
}

std::optional<int> ReadCommandArgs(std::span<const std::string> args,
                                   std::span<const OptionRule> options, std::string_view command,
                                   std::ostream& out, std::ostream& err, ParsedArgs& parsed) {
  if (const auto error = ParseArgs(args, options, parsed))
    return UsageError(err, command, *error);
  if (parsed.help) {
    PrintCommandHelp(out, command);
    return kExitOk;
  }
  return std::nullopt;
}

std::optional<std::string> ParseFrameRange(std::string_view firstText, std::string_view lastText,
                                           std::string_view done, FrameRange& range) {
  const std::optional<int> first = ParseInt(firstText);
  const std::optional<int> last = ParseInt(lastText);
  if (!first || !last || *first < 0 || *last < *first || *last == INT_MAX)
    return "FIRST and LAST must be frames with 0 <= FIRST <= LAST";
  if (*last - *first >= kMaxSeriesFrames)
    return "at most " + std::to_string(kMaxSeriesFrames) + " frames can be " + std::string(done) +
           " at once";
  range = {*first, *last};
  return std::nullopt;
}

// from_chars takes a minus sign but no plus sign; a plus sign is allowed here
// in front of digits only.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() >= 2 && text[0] == '+' && text[1] != '-')
    text.remove_prefix(1);
  return text;
}

std::optional<int> ParseInt(std::string_view text) {
  text = WithoutPlus(text);
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end)
    return std::nullopt;
  return value;
}

std::optional<double> ParseDouble(std::string_view text) {
  return base::ParseFiniteNumber(WithoutPlus(text));
}

}  // namespace cli
