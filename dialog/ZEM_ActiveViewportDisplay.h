#pragma once
// The export dialog's preview of what the page will show: a conduit that
// veils every viewport but the active one and, at each frame of the active
// viewport, counts the render meshes (M), their weighted triangles (T), the
// wire curves (C) and the points of their polylines (P) that the page would
// hold. A watcher of the active view redraws everything when another view
// becomes active, so the veil and the counts follow it.
#include "dialog/PreviewCounts.h"
#include "standin/host/CRhinoDisplayConduit.h"
#include "standin/host/CRhinoEventWatcher.h"

class ZEM_ActiveViewportDisplay : public CRhinoDisplayConduit {
 public:
  class ActiveViewEvent : public CRhinoEventWatcher {
   public:
    ~ActiveViewEvent() override;
    void OnSetActiveView(CRhinoView* view) override;
  };

  // Inactive until Activate; all counts 0.
  ZEM_ActiveViewportDisplay();
  ~ZEM_ActiveViewportDisplay() override;

  // Switches the veil and the counting on (and the watcher) and redraws.
  void Activate();
  // Switches the veil and the watcher off and redraws; the counts keep
  // their last values.
  void Deactivate();

  bool ExecConduit(CRhinoDisplayPipeline& pipeline, UINT channel, bool& terminate) override;

  // The counts of the active viewport's last frame.
  const zem::PreviewCounts& Counts() const { return m_counts; }
  // Stands for a frame's counting (the dialog's tests set counts without
  // drawing).
  void SetCounts(const zem::PreviewCounts& counts) { m_counts = counts; }

 private:
  zem::PreviewCounts m_counts;
  ActiveViewEvent m_watcher;
  bool m_counting = false;
};
