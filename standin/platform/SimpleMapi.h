#pragma once
// Simple MAPI, ANSI form: the records of a message and the function that
// hands it to the mail client. Callers reach MAPISendMail through
// LoadLibraryW("MAPI32.DLL") and GetProcAddress (Modules.h). Narrow texts are
// UTF-8, which stands in for the thread's ANSI code page.
//
// The client (MailClient.h) takes the message with the attachments' bytes,
// read during the call, so the files may go as soon as the call returns.
#include <cstdint>

#include "standin/platform/WinTypes.h"

using ULONG = std::uint32_t;
using FLAGS = ULONG;
using ULONG_PTR = std::uintptr_t;
using LHANDLE = ULONG_PTR;
using LPSTR = char*;
using LPVOID = void*;

struct MapiRecipDesc {
  ULONG ulReserved;
  ULONG ulRecipClass;  // MAPI_ORIG, MAPI_TO, MAPI_CC or MAPI_BCC
  LPSTR lpszName;
  LPSTR lpszAddress;  // may start with "SMTP:"
  ULONG ulEIDSize;
  LPVOID lpEntryID;
};
using lpMapiRecipDesc = MapiRecipDesc*;

struct MapiFileDesc {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;     // 0xFFFFFFFF: not placed in the note text
  LPSTR lpszPathName;  // the file to attach
  LPSTR lpszFileName;  // the name the recipient sees (its last part); null: the path's
  LPVOID lpFileType;
};
using lpMapiFileDesc = MapiFileDesc*;

struct MapiMessage {
  ULONG ulReserved;
  LPSTR lpszSubject;
  LPSTR lpszNoteText;
  LPSTR lpszMessageType;
  LPSTR lpszDateReceived;
  LPSTR lpszConversationID;
  FLAGS flFlags;
  lpMapiRecipDesc lpOriginator;
  ULONG nRecipCount;
  lpMapiRecipDesc lpRecips;
  ULONG nFileCount;
  lpMapiFileDesc lpFiles;
};
using lpMapiMessage = MapiMessage*;

using LPMAPISENDMAIL = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags,
                                 ULONG reserved);

// Recipient classes.
constexpr ULONG MAPI_ORIG = 0;
constexpr ULONG MAPI_TO = 1;
constexpr ULONG MAPI_CC = 2;
constexpr ULONG MAPI_BCC = 3;

// Flags of MAPISendMail.
constexpr FLAGS MAPI_LOGON_UI = 0x1;
constexpr FLAGS MAPI_NEW_SESSION = 0x2;
constexpr FLAGS MAPI_DIALOG = 0x8;

// Results.
constexpr ULONG SUCCESS_SUCCESS = 0;
constexpr ULONG MAPI_USER_ABORT = 1;
constexpr ULONG MAPI_E_USER_ABORT = 1;
constexpr ULONG MAPI_E_FAILURE = 2;
constexpr ULONG MAPI_E_LOGON_FAILURE = 3;
constexpr ULONG MAPI_E_LOGIN_FAILURE = 3;
constexpr ULONG MAPI_E_DISK_FULL = 4;
constexpr ULONG MAPI_E_INSUFFICIENT_MEMORY = 5;
constexpr ULONG MAPI_E_ACCESS_DENIED = 6;
constexpr ULONG MAPI_E_TOO_MANY_FILES = 9;
constexpr ULONG MAPI_E_TOO_MANY_RECIPIENTS = 10;
constexpr ULONG MAPI_E_ATTACHMENT_NOT_FOUND = 11;
constexpr ULONG MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;
constexpr ULONG MAPI_E_ATTACHMENT_WRITE_FAILURE = 13;
constexpr ULONG MAPI_E_UNKNOWN_RECIPIENT = 14;
constexpr ULONG MAPI_E_BAD_RECIPTYPE = 15;
constexpr ULONG MAPI_E_INVALID_MESSAGE = 17;
constexpr ULONG MAPI_E_TEXT_TOO_LARGE = 18;
constexpr ULONG MAPI_E_INVALID_RECIPS = 25;
constexpr ULONG MAPI_E_NOT_SUPPORTED = 26;

namespace zem {
// The "MAPISendMail" of "MAPI32.DLL". Reads every attachment during the
// call; a missing one answers MAPI_E_ATTACHMENT_NOT_FOUND, one that cannot be
// read MAPI_E_ATTACHMENT_OPEN_FAILURE, and nothing is handed over then.
ULONG MapiSendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags, ULONG reserved);
}  // namespace zem
