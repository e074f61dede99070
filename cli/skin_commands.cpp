// skin compose / region: the skinned window's face at a size and the shape cut out of it, as the
// window makes them from its skin picture.
#include <iostream>
#include <optional>

#include "base/Numbers.h"
#include "cli/Cli.h"
#include "ui/skin/NineSlice.h"
#include "ui/skin/SkinPicture.h"
#include "ui/skin/SkinRegion.h"

namespace pspkvx::cli {
namespace {

struct SkinOptions {
  std::string picture;
  std::string slices;
  std::string size;
  std::string key;
  std::string output;
};

SkinOptions& Options() {
  static SkinOptions options;
  return options;
}

// "CX,TX,CY,TY".
SkinSlices ParseSlices(const std::string& text) {
  int values[4] = {};
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t end = i < 3 ? text.find(',', at) : text.size();
    const auto value =
        end == std::string::npos
            ? std::nullopt
            : ParseNumberIn<int>(std::string_view(text).substr(at, end - at), 1, kMaxSkinSize - 1);
    if (!value)
      throw CliError(kExitUsage,
                     "--slices takes four sizes CX,TX,CY,TY from 1 to 10000: \"" + text + "\"");
    values[i] = *value;
    at = end + 1;
  }
  return {values[0], values[1], values[2], values[3]};
}

// "WxH", each 1 to 10000.
std::pair<int, int> ParseSize(const std::string& text) {
  const size_t x = text.find('x');
  const auto width =
      x == std::string::npos
          ? std::nullopt
          : ParseNumberIn<int>(std::string_view(text).substr(0, x), 1, kMaxSkinSize - 1);
  const auto height =
      x == std::string::npos
          ? std::nullopt
          : ParseNumberIn<int>(std::string_view(text).substr(x + 1), 1, kMaxSkinSize - 1);
  if (!width || !height)
    throw CliError(kExitUsage, "--size takes WxH, each from 1 to 10000: \"" + text + "\"");
  return {*width, *height};
}

// "RRGGBB" as 0x00RRGGBB.
uint32_t ParseKey(const std::string& text) {
  const auto key = text.size() == 6 ? ParseNumber<uint32_t>(text, 16) : std::nullopt;
  if (!key)
    throw CliError(kExitUsage, "--key takes a colour RRGGBB in hexadecimal: \"" + text + "\"");
  return *key;
}

PixelImage LoadSkin(const std::string& path) {
  std::string error;
  std::optional<PixelImage> skin = LoadSkinPicture(path, error);
  if (!skin) throw CliError(kExitFailed, error);
  return std::move(*skin);
}

// The face the window shows at the size: composed, or the skin itself when the size is smaller
// than the skin (no face is composed then).
PixelImage FaceAt(const PixelImage& skin, const SkinSlices& slices, int width, int height,
                  bool& composed) {
  if (auto problem = SlicesProblem(skin, slices); !problem.empty())
    throw CliError(kExitUsage, "--slices do not fit the skin: " + problem);
  std::optional<PixelImage> face = ComposeFace(skin, slices, width, height);
  composed = face.has_value();
  if (!composed) return skin;
  return std::move(*face);
}

void Compose(const Context& context) {
  const SkinOptions& o = Options();
  const SkinSlices slices = ParseSlices(o.slices);
  const auto [width, height] = ParseSize(o.size);
  RequireOutputFile(o.output);
  const PixelImage skin = LoadSkin(o.picture);
  bool composed = false;
  const PixelImage face = FaceAt(skin, slices, width, height, composed);
  const std::vector<uint8_t> png = EncodeOpaquePng(face);
  if (png.empty() || !platform::ReplaceFileAtomically(o.output, png.data(), png.size()))
    throw CliError(kExitFailed, "cannot write " + o.output);
  if (context.json)
    PrintJson({{"file", o.output},
               {"width", face.width},
               {"height", face.height},
               {"composed", composed}});
  else
    std::cout << "wrote " << o.output << " (" << face.width << "x" << face.height
              << (composed ? ")" : ", the skin itself: the size is smaller than the skin)") << "\n";
}

void Region(const Context& context) {
  const SkinOptions& o = Options();
  const uint32_t key = ParseKey(o.key);
  if (o.size.empty() != o.slices.empty())
    throw CliError(kExitUsage, "--slices and --size go together");
  PixelImage face = LoadSkin(o.picture);
  if (!o.size.empty()) {
    const SkinSlices slices = ParseSlices(o.slices);
    const auto [width, height] = ParseSize(o.size);
    bool composed = false;
    face = FaceAt(face, slices, width, height, composed);
  }
  const std::vector<RegionRect> rectangles = RegionRectangles(face, key);
  if (context.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const RegionRect& r : rectangles)
      list.push_back({r.x0, r.y0, r.x1, r.y1});
    PrintJson({{"rectangles", list}, {"count", rectangles.size()}});
  } else {
    std::cout << rectangles.size() << " rectangles\n";
    for (const RegionRect& r : rectangles)
      std::cout << r.x0 << " " << r.y0 << " " << r.x1 << " " << r.y1 << "\n";
  }
}

}  // namespace

void RegisterSkinCommands(CLI::App& app, Context& context) {
  SkinOptions& o = Options();
  auto* skin = app.add_subcommand("skin", "The skinned window's face and shape from its skin");
  skin->require_subcommand(1);

  auto* compose = skin->add_subcommand(
      "compose",
      "The window's face at a size, composed from the skin by its slices, as an RGB PNG (the "
      "skin itself when the size is smaller than the skin)");
  compose->add_option("PICTURE", o.picture, "The skin picture (e.g. Dat/Dialog Graphic.bmp)")
      ->required();
  compose->add_option("--slices", o.slices, "CX,TX,CY,TY (the main window: 256,228,128,264)")
      ->required();
  compose->add_option("--size", o.size, "WxH")->required();
  compose->add_option("-o,--output", o.output, "The PNG to write")->required();
  AddJsonFlag(compose, context);
  compose->callback([&context] { Compose(context); });

  auto* region = skin->add_subcommand(
      "region",
      "The window's shape: one rectangle per row and run of pixels that are not the key colour");
  region->add_option("PICTURE", o.picture, "The skin picture")->required();
  region->add_option("--key", o.key, "The key colour RRGGBB (the main window: 0000FF)")->required();
  region->add_option("--slices", o.slices, "CX,TX,CY,TY, with --size: the face at that size");
  region->add_option("--size", o.size, "WxH (default: the skin itself)");
  AddJsonFlag(region, context);
  region->callback([&context] { Region(context); });
}

}  // namespace pspkvx::cli
