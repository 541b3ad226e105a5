#pragma once
// What the exports of one process share, gathered in one object that lives
// as long as the process (in the CAD host, as long as the plug-in is
// loaded): the numbers that name the page's buffers, which go on from one
// export to the next (docs/page-format.md says what that means for a page);
// the cache of the texture image read last; and the listener that hears
// every export. Reached through Session() alone.
#include "capture/TextureImageCache.h"
#include "page/DataFunctions.h"

namespace zem {

class ExportListener;

class ExportSession {
 public:
  ExportSession() = default;
  ExportSession(const ExportSession&) = delete;
  ExportSession& operator=(const ExportSession&) = delete;

  // The mesh and curve buffer counters, never reset.
  BufferNumbers& Buffers() { return m_buffers; }
  // Texture images read, kept for the next material that uses the same file.
  TextureImageCache& TextureCache() { return m_textureCache; }
  // The listener of the exports that follow (null: none); Listen answers the
  // one it replaces. The listener must outlive its installation.
  ExportListener* Listener() const { return m_listener; }
  ExportListener* Listen(ExportListener* listener);

 private:
  BufferNumbers m_buffers;
  TextureImageCache m_textureCache;
  ExportListener* m_listener = nullptr;
};

// The one session of the process, made on first use and never destroyed.
ExportSession& Session();

}  // namespace zem
