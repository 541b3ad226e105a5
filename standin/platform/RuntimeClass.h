#pragma once
// The window library's run-time class record: a class name that code can
// compare at run time.

struct CRuntimeClass {
  const char* m_lpszClassName;
};
