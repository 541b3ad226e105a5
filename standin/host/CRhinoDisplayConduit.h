#pragma once
// A display conduit: code that the host runs inside each viewport frame for
// the channels it subscribes to, while it is enabled. A conduit is known to
// the host from construction to destruction.
#include "standin/platform/WinTypes.h"

class CRhinoDisplayPipeline;

class CRhinoDisplayConduit {
 public:
  using CSupportChannels = unsigned int;
  // Channels of a frame, in the order they run.
  enum : unsigned int {
    SC_PREDRAWOBJECTS = 0x0010,   // after the background, before the objects
    SC_POSTDRAWOBJECTS = 0x0200,  // after the objects
    SC_DRAWFOREGROUND = 0x1000,   // over everything, last
  };

  explicit CRhinoDisplayConduit(CSupportChannels channels, bool enabled = true);
  CRhinoDisplayConduit(const CRhinoDisplayConduit&) = delete;
  CRhinoDisplayConduit& operator=(const CRhinoDisplayConduit&) = delete;
  virtual ~CRhinoDisplayConduit();

  // Runs for one channel of one viewport frame; setting `terminate` stops
  // the conduits after this one in that channel.
  virtual bool ExecConduit(CRhinoDisplayPipeline& pipeline, UINT channel, bool& terminate) = 0;

  bool Enable();
  bool Disable();
  bool IsEnabled() const { return m_enabled; }
  CSupportChannels Channels() const { return m_channels; }

 private:
  CSupportChannels m_channels;
  bool m_enabled;
};
