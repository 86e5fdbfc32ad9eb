#pragma once
// The DXF group-code reader: fills the drawing model from a text DXF file in one pass over
// its group-code/value pairs.
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "base/texts.h"
#include "dxf/model.h"
#include "dxf/pair_scanner.h"

namespace tesmar {

// The progress bar the reader advances (about 50 steps); none when absent.
class IDxfProgress {
 public:
  virtual ~IDxfProgress() = default;
  virtual void SetMax(int max) = 0;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  // Asked between blocks of a few thousand pairs, from the thread that reads: true stops the
  // read at once.
  virtual bool Cancelled() const { return false; }
};

// Where the reader's failure messages go: the viewer shows them in message boxes owned by its
// window, tests and tools record them.
class IDxfReport {
 public:
  virtual ~IDxfReport() = default;
  // True when a parent window owns the message boxes; the messages about the file as a whole
  // (busy, cannot be read) are shown only then.
  virtual bool HasParentWindow() const = 0;
  // A modal message box with the text, the caption and an OK button.
  virtual void ShowMessage(std::u16string_view text, std::u16string_view caption) = 0;
};

inline constexpr std::u16string_view kDxfReportCaption = u"DxfReport";
inline constexpr std::u16string_view kDxfBusyStatus = u"busy";
inline constexpr std::u16string_view kDxfErrorStatus = u"error";
inline constexpr std::u16string_view kDxfCancelledStatus = u"cancelled";

// Empties the model and fills it from the file, decoding text in `encoding` (the ANSI code
// page or UTF-8, as the probes chose). Returns the value of $ACADVER, or empty.
// `status` is empty unless the read failed: "busy", "error", or "<line>:<code line>/<line>:
// <value line>" for a pair whose value does not convert (reading stops there and keeps what it
// has read), or "cancelled" when the progress asked to stop (the model is then left empty, with
// no message). Nothing is thrown; a missing file reads as an empty drawing without a message.
std::u16string ReadDxfFile(TDrawingModel& model, std::u16string_view fileName, IDxfProgress* progress,
                           IDxfReport* report, std::u16string& status, TextEncoding encoding);

// The same for a file already opened (and probed): `scanner` stands at its first pair, and the
// file is closed once read. `fileName` names it in the messages.
std::u16string ReadDxfFile(TDrawingModel& model, DxfPairScanner& scanner, std::u16string_view fileName,
                           IDxfProgress* progress, IDxfReport* report, std::u16string& status, TextEncoding encoding);

// The number of pairs between two steps of the progress bar for a file of `fileSize` bytes.
long long DxfProgressStep(unsigned long long fileSize);

}  // namespace tesmar
