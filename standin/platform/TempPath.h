#pragma once
// The system's folder for temporary files, as the Windows call reports it:
// $TMPDIR when set and not empty, else /tmp, always ending in a separator.
#include "standin/platform/WinTypes.h"

// Copies the folder path with its terminating zero into buffer when it fits
// in bufferLength characters and answers its length without the zero;
// otherwise answers the length the buffer would need, zero included, and
// leaves the buffer alone.
DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer);
