// What one shown clip picture costs, part by part: decoding, conversion to
// RGBA, the upload into the 1024x1024 screen texture and the mipmap
// regeneration. The same run times the ffmpeg tool decoding the same clip and
// converting it to RGBA on one thread, as the reference for decode plus
// conversion.
//
// Run from the build folder under a display:
//   ./bench/video_bench [clip]
// Without an argument it plays Videos/Katzenvideo.mpg, or a 480x360 MPEG-2
// clip at 25 pictures/s that it makes with the tool when the game's clips
// are missing.
#include "monitor/VideoPlayback.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTextureSize = 1024;
constexpr int kRounds = 5;
constexpr int kToolPlays = 10;
constexpr const char* kGameClip = "Videos/Katzenvideo.mpg";

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds one shell command takes, median of kRounds runs; -1 on failure.
double timeCommand(const std::string& command) {
  std::vector<double> runs;
  for (int i = 0; i < kRounds; ++i) {
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0)
      return -1.0;
    runs.push_back(millisecondsSince(start));
  }
  return median(runs);
}

int countPictures(const std::string& clip) {
  const std::string command = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                              "stream=nb_read_frames -of default=noprint_wrappers=1:nokey=1 '" +
                              clip + "'";
  int pictures = 0;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    if (std::fscanf(pipe, "%d", &pictures) != 1)
      pictures = 0;
    pclose(pipe);
  }
  return pictures;
}

struct RoundCosts {
  int pictures = 0;
  double decode = 0.0, conversion = 0.0, upload = 0.0, mipmap = 0.0; // per shown picture, ms
};

// Plays the whole clip through the player's steps, without pacing. Decoding
// counts every step, also those that complete no picture; the GL parts end
// with glFinish so each is paid where it is measured.
RoundCosts playRound(VideoPlayback& video, const std::string& clip) {
  RoundCosts costs;
  if (!video.playVideo(clip.c_str()))
    return costs;
  for (;;) {
    Clock::time_point start = Clock::now();
    const VideoPlayback::DecodeResult result = video.decodeStep();
    costs.decode += millisecondsSince(start);
    if (result == VideoPlayback::DecodeResult::Stopped)
      break;
    if (result == VideoPlayback::DecodeResult::NoPicture)
      continue;
    start = Clock::now();
    if (!video.convertPicture())
      break;
    costs.conversion += millisecondsSince(start);
    start = Clock::now();
    video.uploadPicture();
    glFinish();
    costs.upload += millisecondsSince(start);
    start = Clock::now();
    video.regenerateMipmaps();
    glFinish();
    costs.mipmap += millisecondsSince(start);
    ++costs.pictures;
  }
  if (costs.pictures > 0) {
    costs.decode /= costs.pictures;
    costs.conversion /= costs.pictures;
    costs.upload /= costs.pictures;
    costs.mipmap /= costs.pictures;
  }
  return costs;
}

std::string benchClip(int argc, char** argv, fs::path& madeFolder) {
  if (argc > 1)
    return argv[1];
  if (fs::exists(kGameClip))
    return kGameClip;
  madeFolder = fs::temp_directory_path() / ("felidora_video_bench_" + std::to_string(getpid()));
  fs::create_directories(madeFolder);
  const std::string clip = (madeFolder / "clip.mpg").string();
  const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=480x360:rate=25:duration=12 "
                              "-c:v mpeg2video -q:v 4 '" +
                              clip + "'";
  if (std::system(command.c_str()) != 0)
    return "";
  return clip;
}

} // namespace

int main(int argc, char** argv) {
  if (!glfwInit()) {
    std::fprintf(stderr, "no GLFW (no DISPLAY?)\n");
    return 1;
  }
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  GLFWwindow* window = glfwCreateWindow(800, 600, "Felidora video bench", nullptr, nullptr);
  if (!window) {
    std::fprintf(stderr, "no OpenGL 3.3 core window\n");
    glfwTerminate();
    return 1;
  }
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  glewInit();
  glGetError();
  render::detectGl(); // the game's paths for this GL (the mip levels by region on a software one)

  fs::path madeFolder;
  const std::string clip = benchClip(argc, argv, madeFolder);
  int status = 0;
  if (clip.empty()) {
    std::fprintf(stderr, "could not make a clip with the ffmpeg tool\n");
    status = 1;
  } else {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<unsigned char> black(std::size_t(kTextureSize) * kTextureSize * 4, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glFinish();

    VideoPlayback video;
    video.setScreenTexture(texture, kTextureSize, kTextureSize);
    std::vector<double> decode, conversion, upload, mipmap;
    int shown = 0;
    playRound(video, clip); // warm-up: file cache, converter tables, shader for the mipmap blit
    for (int round = 0; round < kRounds; ++round) {
      const RoundCosts costs = playRound(video, clip);
      shown = costs.pictures;
      decode.push_back(costs.decode);
      conversion.push_back(costs.conversion);
      upload.push_back(costs.upload);
      mipmap.push_back(costs.mipmap);
    }

    // The tool's run over the clip played kToolPlays times, minus a run that
    // stops after one picture, leaves the per-picture work without process
    // start (hundreds of milliseconds here), probing and opening.
    const int pictures = countPictures(clip);
    const std::string tool = "ffmpeg -nostdin -v error -threads 1 -filter_threads 1";
    const std::string input = " -i '" + clip + "'";
    const std::string sink = " -pix_fmt rgba -f rawvideo -y /dev/null";
    const double toolAll = timeCommand(tool + " -stream_loop " + std::to_string(kToolPlays - 1) + input + sink);
    const double toolOne = timeCommand(tool + input + " -frames:v 1" + sink);
    const int toolPictures = pictures * kToolPlays;
    const double toolPerPicture =
        pictures > 0 && toolAll > 0 && toolOne > 0 ? (toolAll - toolOne) / (toolPictures - 1) : -1;

    const double ours = median(decode) + median(conversion);
    std::printf("clip %s: %d pictures, %d shown per play (the last stays in the decoder); texture %dx%d\n",
                clip.c_str(), pictures, shown, kTextureSize, kTextureSize);
    std::printf("per shown picture, median of %d plays:\n", kRounds);
    std::printf("  decode                 %7.3f ms\n", median(decode));
    std::printf("  conversion to RGBA     %7.3f ms\n", median(conversion));
    std::printf("  upload                 %7.3f ms\n", median(upload));
    std::printf("  mipmap regeneration    %7.3f ms\n", median(mipmap));
    std::printf("  decode + conversion    %7.3f ms\n", ours);
    std::printf("ffmpeg tool, one thread, decode + conversion to RGBA: %.3f ms per picture\n", toolPerPicture);
    std::printf("  (%d pictures %.1f ms, first picture only %.1f ms, median of %d runs each)\n", toolPictures, toolAll,
                toolOne, kRounds);
    if (toolPerPicture > 0) {
      const double ratio = ours / toolPerPicture;
      std::printf("ours / tool: %.2f (at most 1.5) %s\n", ratio, ratio <= 1.5 ? "ok" : "TOO SLOW");
    }
    std::printf("GL errors: %s\n", glGetError() == GL_NO_ERROR ? "none" : "some");
    glDeleteTextures(1, &texture);
  }

  if (!madeFolder.empty()) {
    std::error_code ignored;
    fs::remove_all(madeFolder, ignored);
  }
  glfwDestroyWindow(window);
  glfwTerminate();
  return status;
}
