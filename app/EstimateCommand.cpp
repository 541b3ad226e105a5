#include "app/EstimateCommand.h"

#include <string>
#include <vector>

#include "app/ExportDialogDriver.h"
#include "app/ModelDocument.h"
#include "app/Program.h"
#include "dialog/ZEM_WebGL_Dialog.h"
#include "standin/host/CRhinoApp.h"
#include "standin/platform/TextEncoding.h"

namespace zem::app {

int RunEstimateCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (const std::string problem = NamedFilesProblem(line); !problem.empty()) {
    err << "zem-webgl: " << problem << "\n";
    return kExitUsage;
  }
  CloseDocumentAtEnd closing;
  std::vector<std::wstring> read;
  if (!OpenDocument(line, err, &read)) return kExitFailed;
  if (const std::string clash = InputClash(line, nullptr, InputFiles(read, *RhinoApp().ActiveDoc())); !clash.empty()) {
    err << "zem-webgl: " << clash << "\n";
    return kExitUsage;
  }
  if (const int code = ChooseViewAndMode(line, *RhinoApp().ActiveDoc(), err); code != kExitOk) return code;
  ExportDialogDriver driver;
  // The first tick after the showing, and one more after the zip box had
  // its say.
  const DWORD ticks = ZEM_WebGL_Dialog::kFirstTickMs + ZEM_WebGL_Dialog::kTickMs + 50;
  // The page form changes the estimate: the dialog is told it as the export
  // tells it.
  ExportOptions unshown;
  unshown.compact = line.compact;
  bool shown = driver.Open(line.email, unshown) && driver.Perform(EstimateActions(line)) && driver.Idle(ticks);
  const std::wstring label = shown ? driver.SizeLabel() : std::wstring();
  if (shown && label.empty()) {
    err << "zem-webgl: the export dialog shows no size estimate\n";
    shown = false;
  }
  if (shown && !line.dialogPicture.empty()) shown = driver.SavePicture(line.dialogPicture);
  if (shown) shown = driver.Finish(false);
  if (!shown) {
    if (!driver.Problem().empty()) err << "zem-webgl: " << driver.Problem() << "\n";
    driver.CancelIfOpen();
    return kExitFailed;
  }
  out << ToUtf8(label) << "\n";
  return kExitOk;
}

}  // namespace zem::app
