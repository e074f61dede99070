// Converting a 12-megapixel photo to cover the PSP's screen (copy mode 3) onto a stick folder,
// against FreeImage doing the same on its own: load, rescale the whole picture with the box
// filter, cut the centre 480 x 272 out, save as a JPEG. The photos (4000 x 3000 and 3000 x
// 4000 JPEGs) are made once by the benchmark; both sides read them from the page cache and
// write into a temporary folder of the same volume, replacing the JPEG of the last iteration.
#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/AppConfig.h"
#include "media/MediaStick.h"
#include "media/PhotoConvert.h"
#include "media/PhotoSizes.h"
#include "platform/SimulatedPsp.h"
#include "psp/PspDrive.h"
#include "psp/PspStick.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it at the end of the program.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (fs::temp_directory_path() / "pspkvx-bench-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~BenchFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

// A photo-like JPEG: smooth gradients with fine grain, so it decodes like a camera's picture
// rather than a flat colour.
std::string MakePhoto(unsigned width, unsigned height) {
  const std::string path =
      Folder().path() + "/photo_" + std::to_string(width) + "x" + std::to_string(height) + ".jpg";
  if (fs::exists(path)) return path;
  FIBITMAP* bitmap = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24);
  uint32_t grain = 12345;
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      grain = grain * 1103515245u + 12345u;
      const int noise = static_cast<int>((grain >> 16) & 15) - 8;
      line[x * 3 + FI_RGBA_RED] = static_cast<BYTE>((x * 255 / width + noise) & 0xFF);
      line[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>((y * 255 / height + noise) & 0xFF);
      line[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(((x + y) * 127 / (width + height)) + 64);
    }
  }
  FreeImage_Save(FIF_JPEG, bitmap, path.c_str(), JPEG_QUALITYSUPERB);
  FreeImage_Unload(bitmap);
  return path;
}

// The photo of the benchmark's argument: 0 landscape, 1 portrait.
std::string Photo(const benchmark::State& state) {
  return state.range(0) ? MakePhoto(3000, 4000) : MakePhoto(4000, 3000);
}

struct OverwritingHost : pspkvx::IMessageBoxHost {
  int ShowMessageBox(const pspkvx::MessageBoxRequest&) override { return pspkvx::ResultYes; }
  void SetMessageShowing(bool) override {}
};

struct QuietWindow : pspkvx::IMediaWindow {
  void SetStatusText(const std::string&) override {}
  void SetProgress(int) override {}
  std::string ChooseSavePath(const std::string&) override { return ""; }
  std::string AskName(const std::string&, const std::string&) override { return ""; }
};

void BM_ConvertPhotoCover(benchmark::State& state) {
  const std::string photo = Photo(state);
  const std::string stick = Folder().path() + "/stick";
  fs::create_directories(stick);
  auto platform = pspkvx::platform::WithSimulatedPsp(pspkvx::platform::CreateSystemPlatform(),
                                                     stick, uint64_t(1) << 30);
  pspkvx::AppConfig config{};
  config.PspDriveLetter = pspkvx::platform::kSimulatedPspLetter;
  pspkvx::CPspDrive drive(*platform, config, pspkvx::platform::kOsNt);
  drive.Poll();
  pspkvx::PspStick files(*platform, drive);
  OverwritingHost host;
  QuietWindow window;
  const pspkvx::MediaStick media{*platform, drive, files, host, window};
  for (auto _ : state) {
    if (pspkvx::ConvertPhoto(media, photo, pspkvx::PhotoCover, "", nullptr) != 0)
      state.SkipWithError("not converted");
  }
}
BENCHMARK(BM_ConvertPhotoCover)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FreeImageRescaleCropSave(benchmark::State& state) {
  const std::string photo = Photo(state);
  const std::string out = Folder().path() + "/freeimage.jpg";
  for (auto _ : state) {
    FIBITMAP* loaded = FreeImage_Load(FIF_JPEG, photo.c_str(), JPEG_DEFAULT);
    const pspkvx::PhotoSize size = pspkvx::PhotoSizeFor(
        pspkvx::PhotoCover, FreeImage_GetWidth(loaded), FreeImage_GetHeight(loaded));
    FIBITMAP* scaled = FreeImage_Rescale(loaded, static_cast<int>(size.scaledWidth),
                                         static_cast<int>(size.scaledHeight), FILTER_BOX);
    FIBITMAP* cut =
        FreeImage_Copy(scaled, static_cast<int>(size.kept.left), static_cast<int>(size.kept.top),
                       static_cast<int>(size.kept.right), static_cast<int>(size.kept.bottom));
    if (!cut || !FreeImage_Save(FIF_JPEG, cut, out.c_str(), JPEG_DEFAULT))
      state.SkipWithError("not saved");
    FreeImage_Unload(cut);
    FreeImage_Unload(scaled);
    FreeImage_Unload(loaded);
  }
}
BENCHMARK(BM_FreeImageRescaleCropSave)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
