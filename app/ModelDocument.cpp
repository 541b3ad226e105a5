#include "app/ModelDocument.h"

#include <string>
#include <vector>

#include "app/Program.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoView.h"
#include "importers/ModelFile.h"
#include "standin/platform/TextEncoding.h"

namespace zem::app {

namespace {

std::string Names(const std::vector<std::wstring>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + ToUtf8(name);
  return text;
}

}  // namespace

// Opens the model (or the demo) as the host's document; false after
// telling why not.
bool OpenDocument(const CommandLine& line, std::ostream& err) {
  ModelReport report;
  const bool demo = line.command == CommandLine::Command::Demo;
  if (!(demo ? OpenDemoDocument(report) : OpenModelFile(line.models.front(), report))) {
    err << "zem-webgl: cannot read " << (demo ? std::string("the demo") : ToUtf8(line.models.front())) << ": "
        << ToUtf8(report.error) << "\n";
    return false;
  }
  if (line.quiet) return true;
  for (const auto& note : report.notes) err << "zem-webgl: note: " << ToUtf8(note) << "\n";
  CRhinoObjectIterator objects(*RhinoApp().ActiveDoc(), CRhinoObjectIterator::all_objects);
  if (!demo && !objects.First())
    err << "zem-webgl: warning: " << ToUtf8(line.models.front()) << " holds no objects; the page shows nothing\n";
  return true;
}

// Makes the named view active and gives it the named display mode; the
// exit code when one of them is not there, else kExitOk.
int ChooseViewAndMode(const CommandLine& line, CRhinoDoc& doc, std::ostream& err) {
  if (!line.view.empty()) {
    CRhinoView* view = doc.FindView(line.view.c_str());
    if (!view) {
      std::vector<std::wstring> names;
      for (int i = 0; i < doc.ViewCount(); ++i) names.push_back(doc.View(i)->Name());
      err << "zem-webgl: the model has no view '" << ToUtf8(line.view) << "' (it has: " << Names(names) << ")\n";
      return kExitUsage;
    }
    RhinoApp().SetActiveView(view);
  }
  CRhinoView* view = RhinoApp().ActiveView();
  if (!view) {
    err << "zem-webgl: the model has no view to export\n";
    return kExitFailed;
  }
  if (!line.displayMode.empty()) {
    const CDisplayPipelineAttributes* mode = FindDisplayMode(line.displayMode.c_str());
    if (!mode) {
      std::vector<std::wstring> names;
      for (int i = 0; i < DisplayModeCount(); ++i) names.push_back(DisplayModeAt(i).m_szEnglishName);
      err << "zem-webgl: unknown display mode '" << ToUtf8(line.displayMode) << "' (known: " << Names(names) << ")\n";
      return kExitUsage;
    }
    view->SetDisplayMode(*mode);
  }
  return kExitOk;
}

CloseDocumentAtEnd::~CloseDocumentAtEnd() { RhinoApp().CloseDocument(); }

}  // namespace zem::app
