#include "media/MediaBatch.h"

#include "media/CopyEngine.h"
#include "media/MediaTypes.h"
#include "media/PhotoConvert.h"

namespace pspkvx {

bool PhotoNeedsConversion(int photoMode, const std::string& path) {
  return photoMode != 0 || LowerExtension(path) != "jpg";
}

bool BatchStep::EndsBatch(int kind) const {
  if (conversionStopped) return true;
  if (!handled || converted || conversionFailed) return false;
  return kind == MediaVideo ? result != SendDone : result < 0;
}

BatchStep SendPageEntry(const MediaStick& stick, int kind, const MediaEntry& entry,
                        const std::string& subfolder, int photoMode, const ManualResetEvent* stop) {
  BatchStep step;
  if (entry.IsFolder()) return step;
  if (kind == MediaPhoto && PhotoNeedsConversion(photoMode, entry.path)) {
    PhotoOutcome outcome;
    step.handled = true;
    step.converted = true;
    step.result = ConvertPhoto(stick, entry.path, photoMode, subfolder, stop, &outcome);
    if (step.result == PhotoConverted || step.result == PhotoSkipped)
      step.destination = outcome.path;
    step.error = outcome.error;
    return step;
  }
  SendRequest request;
  request.kind = kind;
  request.entry = entry;
  request.stop = stop;
  if (kind == MediaVideo) {
    // Only MP4 files go as they are; the others are converted first.
    if (LowerExtension(entry.path) != "mp4") return step;
    request.avc = IsAvcMp4(stick.platform, entry.path);
  } else {
    request.subfolder = subfolder;
  }
  const SendOutcome sent = SendToStick(stick, request);
  step.handled = true;
  step.result = sent.result;
  step.destination = sent.destination;
  step.thumbnail = sent.thumbnail;
  return step;
}

}  // namespace pspkvx
