#include "video/VideoBatch.h"

#include "base/MessageBox.h"
#include "base/StringTable.h"
#include "media/CopyEngine.h"
#include "media/MediaTypes.h"

namespace pspkvx {

BatchStep ConvertForPspStep(const MediaStick& stick, const MediaEntry& entry,
                            const VideoConversion& conversion, EncoderProgress& progress) {
  if (entry.IsFolder()) return {};
  if (LowerExtension(entry.path) == "mp4")
    return SendPageEntry(stick, MediaVideo, entry, "", 0, conversion.stop);

  BatchStep step;
  step.handled = true;
  VideoConversion forPsp = conversion;
  forPsp.output.clear();
  const ConvertOutcome converted = ConvertVideo(&entry, forPsp, stick.window, progress);
  switch (converted.result) {
    case ConvertOk: {
      SendRequest request;
      request.kind = MediaVideo;
      request.entry = entry;
      request.stop = conversion.stop;
      request.avc = conversion.avc;
      request.convertedFile = converted.output;
      const SendOutcome sent = SendToStick(stick, request);
      step.result = sent.result;
      step.destination = sent.destination;
      step.thumbnail = sent.thumbnail;
      return step;
    }
    case ConvertCancelled:
      step.result = SendSkipped;
      step.conversionStopped = true;
      return step;
    case ConvertLaunchFailed:
      ShowMessage(stick.host, StringOf(IDS_ENCODER_NOT_STARTED));
      break;
    default:
      ShowMessage(stick.host, StringOf(IDS_VIDEO_UNSUPPORTED) + "\r\n" + entry.name);
      break;
  }
  step.result = SendFailed;
  step.conversionFailed = true;
  return step;
}

}  // namespace pspkvx
